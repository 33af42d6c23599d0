#pragma once

// Plain fakes of the platform's control and service interfaces, backed by members that tests
// read and preset. Each records what the logic did to it.

#include "platform/Automation.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/FolderChooser.h"
#include "platform/Shell.h"
#include "scan/MainForm.h"

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ostrevan::fakes {

class FakeLabel final : public Label {
public:
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override {
        m_caption = caption;
        captions.push_back(caption);
    }
    void refresh() override { refreshed.push_back(m_caption); }

    std::vector<std::string> captions;  // every caption set, in order
    std::vector<std::string> refreshed; // the caption at each repaint

private:
    std::string m_caption;
};

class FakeTextField final : public TextField {
public:
    std::string text() const override { return value; }
    void setText(const std::string& text) override { value = text; }
    std::string value;
};

class FakeButton final : public Button {
public:
    explicit FakeButton(bool initiallyEnabled = true) : isEnabled(initiallyEnabled) {}
    bool enabled() const override { return isEnabled; }
    void setEnabled(bool enabled) override { isEnabled = enabled; }
    bool isEnabled;
};

class FakeCheckBox final : public CheckBox {
public:
    bool enabled() const override { return isEnabled; }
    void setEnabled(bool enabled) override { isEnabled = enabled; }
    std::int16_t value() const override { return checked; }
    void setValue(std::int16_t value) override { checked = value; }
    bool isEnabled = false;
    std::int16_t checked = 1;
};

class FakeComboBox final : public ComboBox {
public:
    std::string text() const override { return editText; }
    void addItem(const std::string& item) override { items.push_back(item); }
    std::int32_t listCount() const override { return static_cast<std::int32_t>(items.size()); }
    std::string list(std::int32_t index) const override {
        return items.at(static_cast<std::size_t>(index));
    }
    std::int32_t listIndex() const override { return selected; }
    void setSelLength(std::int32_t length) override { selLength = length; }

    std::string editText = "0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen";
    std::vector<std::string> items;
    std::int32_t selected = -1;
    std::int32_t selLength = -1;
};

struct Row {
    std::string number;
    std::string document;
    std::string reference;
    bool operator==(const Row&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << '{' << row.number << ", " << row.document << ", " << row.reference << '}';
}

class FakeListView final : public ListView {
public:
    void clear() override {
        rows.clear();
        ++clears;
    }
    std::int32_t count() const override { return static_cast<std::int32_t>(rows.size()); }
    std::int32_t add(const std::string& text) override {
        if (failOnAdd == count() + 1) {
            raise(err::OutOfMemory);
        }
        rows.push_back({text, {}, {}});
        return count();
    }
    void setText(std::int32_t row, int column, const std::string& text) override {
        Row& target = rows.at(static_cast<std::size_t>(row - 1));
        (column == 0 ? target.number : column == 1 ? target.document : target.reference) = text;
    }
    std::string text(std::int32_t row, int column) const override {
        const Row& source = rows.at(static_cast<std::size_t>(row - 1));
        return column == 0 ? source.number : column == 1 ? source.document : source.reference;
    }

    std::vector<Row> rows;
    int clears = 0;
    std::int32_t failOnAdd = 0; // the row whose add raises 7; 0 never
};

class FakePageControl final : public PageControl {
public:
    std::int16_t tab() const override { return page; }
    void setTab(std::int16_t value) override { page = value; }
    std::int16_t tabs() const override { return 3; }
    std::int16_t page = 0;
};

class FakeMessageBox final : public MessageBox {
public:
    void show(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

class FakeMousePointer final : public MousePointer {
public:
    std::int16_t pointer() const override { return history.empty() ? Default : history.back(); }
    void setPointer(std::int16_t pointer) override { history.push_back(pointer); }
    std::vector<std::int16_t> history;
};

class FakeScreen final : public Screen {
public:
    FakeScreen(double width, double height) : m_width(width), m_height(height) {}
    double widthTwips() const override { return m_width; }
    double heightTwips() const override { return m_height; }

private:
    double m_width;
    double m_height;
};

class FakeShell final : public Shell {
public:
    bool execute(const std::string& verb, const std::string& file) override {
        calls.push_back(verb + " " + file);
        return succeed;
    }
    std::vector<std::string> calls;
    bool succeed = true;
};

// Answers with a preset path; an empty one is a cancel.
class FakeFileDialog final : public FileDialog {
public:
    std::string ShowOpen(const OpenFileRequest& request) override {
        requests.push_back(request);
        if (chosen.empty() && request.cancelError) {
            raise(err::Cancelled);
        }
        return chosen;
    }
    std::string chosen;
    std::vector<OpenFileRequest> requests;
};

// Places are "file://" + path; any other URL has no file-system path. Chooses the preset
// place, none being a cancel. failingMember names the member that raises failure instead.
class FakeFolderChooser final : public FolderChooser {
public:
    std::optional<FolderItem> SpecialFolderLocation(std::int32_t folder) const override {
        askedFolders.push_back(folder);
        failIn("SpecialFolderLocation");
        if (folder != 0 || !knowsDesktop) {
            return std::nullopt;
        }
        return FolderItem{"file:///"};
    }
    std::optional<FolderItem> BrowseForFolder(const BrowseInfo& info) override {
        requests.push_back(info);
        failIn("BrowseForFolder");
        return chosen;
    }
    std::string GetPathFromIDList(const FolderItem& item) const override {
        failIn("GetPathFromIDList");
        const std::string scheme = "file://";
        return item.url.starts_with(scheme) ? item.url.substr(scheme.size()) : std::string();
    }

    void choose(const std::string& path) { chosen = FolderItem{"file://" + path}; }

    std::optional<FolderItem> chosen;
    bool knowsDesktop = true;
    std::string failingMember;
    Error failure{err::OutOfMemory};
    std::vector<BrowseInfo> requests;
    mutable std::vector<std::int32_t> askedFolders;

private:
    void failIn(const char* member) const {
        if (failingMember == member) {
            throw failure;
        }
    }
};

// The main window's controls as fakes, in the state the window has after loading.
struct FakeForm {
    FakeLabel lbl_references;
    FakeLabel lbl_CheckRef;
    FakeTextField txt_SEDokument;
    FakeButton btn_Weiter;
    FakeButton btn_zurueck{false};
    FakeButton btn_export{false};
    FakeCheckBox chk_FolderRekursiv;
    FakeComboBox com_RefType;
    FakeListView ListView1;
    FakePageControl SSTab1;

    MainForm form{lbl_references, lbl_CheckRef,       txt_SEDokument, btn_Weiter, btn_zurueck,
                  btn_export,     chk_FolderRekursiv, com_RefType,    ListView1,  SSTab1};
};

// A file system that must not be touched: every member raises 5. Tests needing files use
// the real backend on a temporary folder.
class UnusedFileSystem final : public FileSystem {
public:
    Folder GetFolder(const std::string&) const override { raise(err::InvalidCall); }
    std::vector<File> Files(const Folder&) const override { raise(err::InvalidCall); }
    std::vector<Folder> SubFolders(const Folder&) const override { raise(err::InvalidCall); }
    File GetFile(const std::string&) const override { raise(err::InvalidCall); }
    bool FileExists(const std::string&) const override { raise(err::InvalidCall); }
    bool FolderExists(const std::string&) const override { raise(err::InvalidCall); }
    std::unique_ptr<TextStream> OpenTextFile(const std::string&, int, bool, int) const override {
        raise(err::InvalidCall);
    }
};

} // namespace ostrevan::fakes
