#include "scan/modGlobal.h"

#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;

// Records the calls and adds rows as a real procedure would.
class RecordingProcedures final : public ScanProcedures {
public:
    RecordingProcedures(FakeForm& fake, FakeMessageBox& messages)
        : m_fake(fake), m_messages(messages) {}

    void GetFileReferenz() override {
        calls.push_back("GetFileReferenz");
        addRows(singleRows);
    }
    void RekursivFolder(std::string& path, DocumentFileList& files, std::int32_t& count) override {
        calls.push_back("RekursivFolder " + path + " " + std::to_string(count));
        if (folderFails) {
            m_messages.show("RekursivFolder() Pfad nicht gefunden 76");
            return;
        }
        files = {"", path + "/a.par", path + "/b.asm"};
        count = 2;
    }
    void ReadReference(std::string& path, DocumentFileList& files, std::int32_t& count) override {
        calls.push_back("ReadReference " + path + " " + std::to_string(count) + " " +
                        std::to_string(files.size()));
        addRows(folderRows);
    }

    std::vector<std::string> calls;
    int singleRows = 0;
    int folderRows = 0;
    bool folderFails = false;

private:
    void addRows(int rows) {
        for (int i = 1; i <= rows; ++i) {
            m_fake.ListView1.add(std::to_string(i));
        }
    }
    FakeForm& m_fake;
    FakeMessageBox& m_messages;
};

class ScanDriver : public ::testing::Test {
protected:
    FakeForm fake;
    clsSettings settings{fake.form};
    FakeMessageBox messages;
    FakeMousePointer pointer;
    Automation automation;
    UnusedFileSystem fileSystem;
    ScanContext context{fake.form, settings, messages, pointer, automation, fileSystem};
    RecordingProcedures procedures{fake, messages};
};

TEST_F(ScanDriver, FolderScanRunsBothProceduresAndEnablesExport) {
    fake.txt_SEDokument.value = "/daten/projekt";
    fake.ListView1.add("alt");
    settings.setDokumentyp(1);
    procedures.folderRows = 3;
    btn_ReferenzView_Click(context, procedures);
    EXPECT_EQ(fake.ListView1.clears, 1);
    EXPECT_EQ(procedures.calls, (std::vector<std::string>{"RekursivFolder /daten/projekt 0",
                                                          "ReadReference /daten/projekt 2 3"}));
    EXPECT_EQ(fake.ListView1.count(), 3);
    EXPECT_TRUE(fake.btn_export.isEnabled);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
}

TEST_F(ScanDriver, NothingFoundShowsTheMessageAndDisablesExport) {
    settings.setDokumentyp(0);
    procedures.singleRows = 2;
    btn_ReferenzView_Click(context, procedures);
    EXPECT_TRUE(fake.btn_export.isEnabled);

    procedures.singleRows = 0;
    btn_ReferenzView_Click(context, procedures);
    EXPECT_EQ(fake.ListView1.count(), 0);
    EXPECT_FALSE(fake.btn_export.isEnabled);
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"Es konnten keine Referenzen gefunden werden."}));
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0, 11, 0}));
}

TEST_F(ScanDriver, NothingChosenRunsTheSingleDocumentScan) {
    ASSERT_EQ(settings.Dokumentyp(), -1);
    btn_ReferenzView_Click(context, procedures);
    EXPECT_EQ(procedures.calls, (std::vector<std::string>{"GetFileReferenz"}));
}

TEST_F(ScanDriver, ReadReferenceRunsAfterAFailedCollection) {
    settings.setDokumentyp(1);
    procedures.folderFails = true;
    btn_ReferenzView_Click(context, procedures);
    ASSERT_EQ(procedures.calls.size(), 2u);
    EXPECT_EQ(procedures.calls[1], "ReadReference  0 0");
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"RekursivFolder() Pfad nicht gefunden 76",
                                        "Es konnten keine Referenzen gefunden werden."}));
}

TEST_F(ScanDriver, AnUntrappedErrorStillRestoresThePointer) {
    class Throwing final : public ScanProcedures {
        void GetFileReferenz() override { raise(err::OutOfMemory); }
        void RekursivFolder(std::string&, DocumentFileList&, std::int32_t&) override {}
        void ReadReference(std::string&, DocumentFileList&, std::int32_t&) override {}
    } throwing;
    const auto error = trapError([&] { btn_ReferenzView_Click(context, throwing); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 7);
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
}

TEST(ResultColumns, WidthsFollowTheListWidth) {
    const ResultColumnWidths design = resultColumnWidths(10100);
    EXPECT_DOUBLE_EQ(design.anzahl, 700);
    EXPECT_DOUBLE_EQ(design.dokument, 4700);
    EXPECT_DOUBLE_EQ(design.referenz, 4700);
    EXPECT_DOUBLE_EQ(resultColumnWidths(10101).dokument, 4700.5);
}

} // namespace
} // namespace ostrevan
