#pragma once

// Console stand-ins of the main window's controls, for the scan without a window. The scan
// procedures write them as they write the window's; rows are handed on as they are found
// and not kept, so that memory stays flat however many there are.

#include "platform/Controls.h"
#include "scan/MainForm.h"

#include <functional>
#include <iosfwd>
#include <optional>

namespace ostrevan {

class ConsoleLabel final : public Label {
public:
    // onRefresh, when given, is called at each repaint the scan asks for.
    explicit ConsoleLabel(std::function<void()> onRefresh = {})
        : m_onRefresh(std::move(onRefresh)) {}
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override { m_caption = caption; }
    void refresh() override;

private:
    std::string m_caption;
    std::function<void()> m_onRefresh;
};

class ConsoleTextField final : public TextField {
public:
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }

private:
    std::string m_text;
};

class ConsoleButton final : public Button {
public:
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }

private:
    bool m_enabled = false;
};

class ConsoleCheckBox final : public CheckBox {
public:
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    std::int16_t value() const override { return m_value; }
    void setValue(std::int16_t value) override { m_value = value; }

private:
    bool m_enabled = false;
    std::int16_t m_value = 0;
};

// The reference-type box; the command sets the reference type in the settings itself.
class ConsoleComboBox final : public ComboBox {
public:
    std::string text() const override { return {}; }
    void addItem(const std::string&) override {}
    std::int32_t listCount() const override { return 0; }
    std::string list(std::int32_t index) const override;
    std::int32_t listIndex() const override { return -1; }
    void setSelLength(std::int32_t) override {}
};

class ConsolePageControl final : public PageControl {
public:
    std::int16_t tab() const override { return m_tab; }
    void setTab(std::int16_t page) override;
    std::int16_t tabs() const override { return 3; }

private:
    std::int16_t m_tab = 0;
};

// A result row as the scan wrote it.
struct ConsoleRow {
    std::string number;
    std::string document;
    std::string reference;
};

// The result list: keeps only the row being written. A row is handed to onRow when its
// reference, the column the scan writes last, is set (or, lacking one, when the next row is
// added or finish() is called); after that it can be read but no longer changed (error 9).
// Rows before it cannot be read back (error 9).
class StreamingListView final : public ListView {
public:
    explicit StreamingListView(std::function<void(const ConsoleRow&)> onRow)
        : m_onRow(std::move(onRow)) {}
    void clear() override;
    std::int32_t count() const override { return m_count; }
    std::int32_t add(const std::string& text) override;
    void setText(std::int32_t row, int column, const std::string& text) override;
    std::string text(std::int32_t row, int column) const override;
    // Hands on the last row if it has not been.
    void finish();

private:
    const ConsoleRow& current(std::int32_t row) const;

    std::function<void(const ConsoleRow&)> m_onRow;
    std::optional<ConsoleRow> m_current;
    bool m_handedOn = false;
    std::int32_t m_count = 0;
};

// A message box is a message on standard error, "ostrevan-scan: " before each of its lines.
class ConsoleMessageBox final : public MessageBox {
public:
    explicit ConsoleMessageBox(std::ostream& err, std::function<void()> beforeMessage = {})
        : m_err(err), m_beforeMessage(std::move(beforeMessage)) {}
    void show(const std::string& text) override;
    int shown() const { return m_shown; }

private:
    std::ostream& m_err;
    std::function<void()> m_beforeMessage;
    int m_shown = 0;
};

class ConsoleMousePointer final : public MousePointer {
public:
    std::int16_t pointer() const override { return m_pointer; }
    void setPointer(std::int16_t pointer) override { m_pointer = pointer; }

private:
    std::int16_t m_pointer = Default;
};

// The controls of the main window that the scan writes, as console stand-ins.
struct ConsoleForm {
    ConsoleForm(std::function<void(const ConsoleRow&)> onRow, std::function<void()> onFileLooked);

    ConsoleLabel lbl_references;
    ConsoleLabel lbl_CheckRef;
    ConsoleTextField txt_SEDokument;
    ConsoleButton btn_Weiter;
    ConsoleButton btn_zurueck;
    ConsoleButton btn_export;
    ConsoleCheckBox chk_FolderRekursiv;
    ConsoleComboBox com_RefType;
    StreamingListView ListView1;
    ConsolePageControl SSTab1;
    MainForm form;
};

} // namespace ostrevan
