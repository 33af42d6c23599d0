#include "scan/modGlobal.h"

#include "platform/ReferenceComponent.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;

// Hands out a fixed list of references and writes progress into the label it is given.
class FakeComponent final : public ReferenceComponent {
public:
    explicit FakeComponent(std::vector<std::string> references, bool fail = false)
        : m_references(std::move(references)), m_fail(fail) {}

    void GetReferences(std::string& documentPath, std::vector<std::string>& references,
                       Label& status, std::int32_t& flags, std::int32_t& options,
                       std::string& timeStamp, std::unique_ptr<AutomationObject>& context,
                       std::int32_t& result) override {
        EXPECT_TRUE(references.empty());
        EXPECT_EQ(flags, 0);
        EXPECT_EQ(options, 0);
        EXPECT_FALSE(timeStamp.empty());
        EXPECT_EQ(context, nullptr);
        EXPECT_EQ(result, 0);
        status.setCaption("Lese " + documentPath);
        if (m_fail) {
            raise(err::BadFileFormat);
        }
        references = m_references;
    }

private:
    std::vector<std::string> m_references;
    bool m_fail;
};

class GetFileReferenzTest : public ::testing::Test {
protected:
    void serve(std::vector<std::string> references, bool fail = false) {
        automation.registerServer("QZVSEObject.Application", [references, fail] {
            return std::make_unique<FakeComponent>(references, fail);
        });
    }

    FakeForm fake;
    clsSettings settings{fake.form};
    FakeMessageBox messages;
    FakeMousePointer pointer;
    Automation automation;
    UnusedFileSystem fileSystem;
    ScanContext context{fake.form, settings, messages, pointer, automation, fileSystem};
};

TEST_F(GetFileReferenzTest, TypeZeroKeepsOnlyOutsideReferencesWithoutGaps) {
    fake.txt_SEDokument.value = "C:\\Data\\a.par";
    settings.setReferenzTyp(0);
    serve({"C:\\Data\\b.par", "C:\\Data\\Sub\\c.par", "D:\\Lib\\d.par", "e.par"});
    GetFileReferenz(context);
    EXPECT_EQ(fake.ListView1.rows, (std::vector<Row>{{"1", "C:\\Data\\a.par", "D:\\Lib\\d.par"},
                                                     {"2", "C:\\Data\\a.par", "e.par"}}));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(fake.lbl_references.caption(), "");
    EXPECT_EQ(fake.lbl_CheckRef.caption(), "");
}

TEST_F(GetFileReferenzTest, OtherTypesKeepEveryReferenceInOrder) {
    for (const std::int32_t type : {1, -1}) {
        fake.ListView1.rows.clear();
        fake.txt_SEDokument.value = "/daten/a.par";
        settings.setReferenzTyp(type);
        serve({"/daten/b.par", "/daten/sub/c.par", "/lib/d.par"});
        GetFileReferenz(context);
        ASSERT_EQ(fake.ListView1.rows.size(), 3u) << type;
        EXPECT_EQ(fake.ListView1.rows[0], (Row{"1", "/daten/a.par", "/daten/b.par"}));
        EXPECT_EQ(fake.ListView1.rows[2], (Row{"3", "/daten/a.par", "/lib/d.par"}));
    }
}

TEST_F(GetFileReferenzTest, TheFilterIgnoresCaseAndSiblingFoldersAreOutside) {
    fake.txt_SEDokument.value = "C:\\DATA\\a.par";
    settings.setReferenzTyp(0);
    serve({"c:\\data\\b.par", "C:\\DATA2\\c.par", "c:\\data\\sub\\d.par"});
    GetFileReferenz(context);
    EXPECT_EQ(fake.ListView1.rows,
              (std::vector<Row>{{"1", "C:\\DATA\\a.par", "C:\\DATA2\\c.par"}}));
}

TEST_F(GetFileReferenzTest, AnEmptyListAddsNothing) {
    fake.txt_SEDokument.value = "/daten/a.par";
    serve({});
    GetFileReferenz(context);
    EXPECT_TRUE(fake.ListView1.rows.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(GetFileReferenzTest, AMissingComponentIsReportedOnce) {
    fake.txt_SEDokument.value = "/daten/a.par";
    fake.lbl_references.setCaption("vorher");
    GetFileReferenz(context);
    EXPECT_EQ(
        messages.messages,
        (std::vector<std::string>{
            "GetFileReferenz() Objekterstellung durch ActiveX-Komponente nicht möglich 429"}));
    EXPECT_EQ(fake.lbl_references.caption(), "vorher");
}

TEST_F(GetFileReferenzTest, AFailingComponentLeavesWhatItWroteInTheLabel) {
    fake.txt_SEDokument.value = "/daten/a.par";
    serve({"/x.par"}, true);
    GetFileReferenz(context);
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"GetFileReferenz() Ungültiges Dateiformat 321"}));
    EXPECT_EQ(fake.lbl_references.caption(), "Lese /daten/a.par");
    EXPECT_TRUE(fake.ListView1.rows.empty());
}

TEST_F(GetFileReferenzTest, ARefusedRowEndsTheProcedureAndKeepsEarlierRows) {
    fake.txt_SEDokument.value = "/daten/a.par";
    settings.setReferenzTyp(1);
    fake.ListView1.failOnAdd = 2;
    serve({"/a/1.par", "/a/2.par", "/a/3.par"});
    GetFileReferenz(context);
    EXPECT_EQ(fake.ListView1.rows.size(), 1u);
    EXPECT_EQ(messages.messages,
              (std::vector<std::string>{"GetFileReferenz() Nicht genügend Speicher 7"}));
}

} // namespace
} // namespace ostrevan
