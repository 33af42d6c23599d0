#include "errors/ErrorReportMail.h"

#include "platform/Error.h"
#include "tests/errors/FakeRegistryFunctions.h"
#include "tests/errors/ThrowingShell.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using namespace fakes;

constexpr const char* kVersionKey = "Software\\Tavrosk\\SolidEdge";

const std::string kExampleBody =
    "Sehr geehrte Damen und Herren,%0D%0Aes tritt in der Anwendung Tavrosk   für Solid Edge "
    "folgende Fehlermeldung auf:%0D%0A%0D%0AFehlerbeschreibung:%0D%0AErr Desc%0D%0AModul%0D%0A"
    "%0D%0AWir haben folgendes System im Einsatz: %0D%0ABetriebssystem : %0D%0ASolid Edge "
    "Version : %0D%0ASolid Edge SP      : %0D%0A%0D%0AMit freundlichem Gruß";
const std::string kExampleUrl =
    "mailto:support@tavrosk.example?cc= &bcc= &subject=Tavrosk für Solid Edge  Fehlermeldung"
    "&body=" +
    kExampleBody;

// Splits the body at the line-break marker.
std::vector<std::string> bodyLines(const std::string& body) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at = body.find(kLineBreak); at != std::string::npos;
         at = body.find(kLineBreak, start)) {
        lines.push_back(body.substr(start, at - start));
        start = at + kLineBreak.size();
    }
    lines.push_back(body.substr(start));
    return lines;
}

TEST(MailUrl, WorkedExampleByteForByte) {
    const std::string subject = mailSubject("");
    EXPECT_EQ(subject, "Tavrosk für Solid Edge  Fehlermeldung");
    const std::string body = mailBody({"", "Err", "Desc", "Modul"});
    EXPECT_EQ(body, kExampleBody);
    EXPECT_EQ(mailUrl(subject, body), kExampleUrl);
}

TEST(MailUrl, VersionStandsInSubjectAndSecondLine) {
    EXPECT_EQ(mailSubject("ST10"), "Tavrosk für Solid Edge ST10 Fehlermeldung");
    const auto lines = bodyLines(mailBody({"ST10", "Err", "Desc", "Modul"}));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1],
              "es tritt in der Anwendung Tavrosk  ST10 für Solid Edge folgende Fehlermeldung auf:");
}

TEST(MailUrl, CcAndBccAreOneBlankEach) {
    const std::string url = mailUrl("S", "B");
    EXPECT_EQ(url, "mailto:support@tavrosk.example?cc= &bcc= &subject=S&body=B");
}

struct EncodingRow {
    const char* name;
    const char* text;
    const char* encoded;
};

class ReportTextEncoding : public ::testing::TestWithParam<EncodingRow> {};

TEST_P(ReportTextEncoding, EncodesOnlyTheFiveDelimiters) {
    EXPECT_EQ(encodeReportText(GetParam().text), GetParam().encoded);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReportTextEncoding,
    ::testing::Values(EncodingRow{"Empty", "", ""}, EncodingRow{"Percent", "100%", "100%25"},
                      EncodingRow{"Ampersand", "a&b", "a%26b"},
                      EncodingRow{"Question", "wie?", "wie%3F"}, EncodingRow{"Hash", "#5", "%235"},
                      EncodingRow{"Plus", "1+1", "1%2B1"},
                      EncodingRow{"AllInARow", "%&?#+", "%25%26%3F%23%2B"},
                      EncodingRow{"EncodedLooking", "%0D%0A", "%250D%250A"},
                      EncodingRow{"OthersUnchanged", "Größe: a, b = c/d;", "Größe: a, b = c/d;"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MailUrl, DelimitersInTheFieldsAndVersionAreEncodedEverywhere) {
    const ErrorReportTexts texts{"V&1", "-2147467259", "Datei a&b?c#d+e 100% fehlt",
                                 "Tavrosk.mod#1?x=1&y=2"};
    const std::string body = mailBody(texts);
    const auto lines = bodyLines(body);
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1], "es tritt in der Anwendung Tavrosk  V%261 für Solid Edge folgende "
                        "Fehlermeldung auf:");
    EXPECT_EQ(lines[4], "-2147467259 Datei a%26b%3Fc%23d%2Be 100%25 fehlt");
    EXPECT_EQ(lines[5], "Tavrosk.mod%231%3Fx=1%26y=2");
    EXPECT_EQ(mailSubject(texts.version), "Tavrosk für Solid Edge V%261 Fehlermeldung");

    const std::string url = mailUrl(mailSubject(texts.version), body);
    EXPECT_EQ(url.find('#'), std::string::npos);
    EXPECT_EQ(url.find('+'), std::string::npos);
    EXPECT_EQ(url.find('?'), url.find("?cc="));
    EXPECT_EQ(url.find("&body="), url.rfind("&body="));
}

TEST(MailUrl, AFieldCannotAddLines) {
    const auto lines = bodyLines(mailBody({"", "Err", "Zeile%0D%0Azwei", "Modul"}));
    EXPECT_EQ(lines.size(), 13u);
}

TEST(WebUrl, PutsTheSchemeInFrontUnlessItIsExactlyThere) {
    EXPECT_EQ(webUrl("www.tavrosk.example"), "http://www.tavrosk.example");
    EXPECT_EQ(webUrl("http://www.tavrosk.example"), "http://www.tavrosk.example");
    EXPECT_EQ(webUrl("HTTP://x"), "http://HTTP://x") << "the comparison is case-sensitive";
    EXPECT_EQ(webUrl("https://x"), "http://https://x");
    EXPECT_EQ(webUrl(""), "http://");
}

struct VersionRow {
    const char* name;
    void (*prepare)(FakeRegistryFunctions&);
    const char* version;
};

class VersionText : public ::testing::TestWithParam<VersionRow> {};

TEST_P(VersionText, ReadsTheValueOrLeavesItEmpty) {
    FakeRegistryFunctions registry;
    GetParam().prepare(registry);
    EXPECT_EQ(versionText(registry), GetParam().version);
    EXPECT_EQ(registry.openHandles(), 0) << "the key is closed after an error too";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VersionText,
    ::testing::Values(
        VersionRow{"Text", [](auto& r) { r.addText(kVersionKey, "Version", "ST10"); }, "ST10"},
        // Windows-1252 in the store, UTF-8 in the program.
        VersionRow{"TextWithUmlaut", [](auto& r) { r.addText(kVersionKey, "Version", "V20 \xDC"); },
                   "V20 Ü"},
        VersionRow{"WholeNumber", [](auto& r) { r.addDword(kVersionKey, "Version", 20); }, "20"},
        VersionRow{"KeyMissing", [](auto&) {}, ""},
        VersionRow{"ValueMissing", [](auto& r) { r.addText(kVersionKey, "Other", "1"); }, ""},
        VersionRow{"OpenDenied",
                   [](auto& r) {
                       r.addText(kVersionKey, "Version", "ST10");
                       r.openFailsWith = winerror::AccessDenied;
                   },
                   ""},
        VersionRow{"DataReadFails",
                   [](auto& r) {
                       r.addText(kVersionKey, "Version", "ST10");
                       r.dataReadFailsWith = winerror::CannotRead;
                   },
                   ""},
        // A list of texts cannot be converted to one text.
        VersionRow{"ListOfTexts",
                   [](auto& r) { r.addMultiText(kVersionKey, "Version", std::string("a\0b", 3)); },
                   ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A label whose caption cannot be read.
class BrokenLabel final : public Label {
public:
    std::string caption() const override { raise(err::OutOfMemory); }
    void setCaption(const std::string&) override {}
    void refresh() override {}
};

class SendClick : public ::testing::Test {
protected:
    SendClick() {
        number.setCaption("Err");
        description.setCaption("Desc");
        source.setCaption("Modul");
    }
    FakeLabel number;
    FakeLabel description;
    FakeLabel source;
    ErrorFields fields{number, description, source};
    FakeRegistryFunctions registry;
    FakeShell shell;
};

TEST_F(SendClick, HandsTheWorkedExampleToTheShellWithTheDefaultVerb) {
    btn_errorSend_Click(fields, registry, shell);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0], " " + kExampleUrl);
}

TEST_F(SendClick, TwiceHandsTheUrlOnTwice) {
    btn_errorSend_Click(fields, registry, shell);
    btn_errorSend_Click(fields, registry, shell);
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0], shell.calls[1]);
}

TEST_F(SendClick, ReadsTheVersionAndTheCurrentCaptions) {
    registry.addText(kVersionKey, "Version", "ST10 & mehr");
    number.setCaption("53");
    description.setCaption("Datei nicht gefunden");
    source.setCaption("Tavrosk.modBrowseFolder.BrowseFolder(20)");
    btn_errorSend_Click(fields, registry, shell);
    ASSERT_EQ(shell.calls.size(), 1u);
    const std::string& url = shell.calls[0];
    EXPECT_NE(url.find("&subject=Tavrosk für Solid Edge ST10 %26 mehr Fehlermeldung&body="),
              std::string::npos)
        << url;
    EXPECT_NE(url.find("Tavrosk  ST10 %26 mehr für Solid Edge"), std::string::npos) << url;
    EXPECT_NE(url.find("%0D%0A53 Datei nicht gefunden%0D%0A"
                       "Tavrosk.modBrowseFolder.BrowseFolder(20)%0D%0A"),
              std::string::npos)
        << url;
}

TEST_F(SendClick, AFailingRegistryReadLeavesTheVersionEmpty) {
    registry.addText(kVersionKey, "Version", "ST10");
    registry.openFailsWith = winerror::AccessDenied;
    btn_errorSend_Click(fields, registry, shell);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(shell.calls[0], " " + kExampleUrl);
}

TEST_F(SendClick, AFieldThatCannotBeReadIsSkipped) {
    BrokenLabel broken;
    const ErrorFields withBroken{number, broken, source};
    btn_errorSend_Click(withBroken, registry, shell);
    ASSERT_EQ(shell.calls.size(), 1u);
    EXPECT_NE(shell.calls[0].find("%0D%0AErr %0D%0AModul%0D%0A"), std::string::npos)
        << shell.calls[0];
}

TEST_F(SendClick, AFailingShellIsAbsorbed) {
    ThrowingShell throwing;
    EXPECT_NO_THROW(btn_errorSend_Click(fields, registry, throwing));
    EXPECT_EQ(throwing.calls.size(), 1u);
}

TEST(WebLinkClick, OpensTheSiteUnderTheHourglass) {
    FakeMousePointer pointer;
    FakeShell shell;
    lblURL_Click(pointer, shell);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"Open http://www.tavrosk.example"});
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
}

TEST(WebLinkClick, RestoresThePointerWhenTheShellFails) {
    FakeMousePointer pointer;
    ThrowingShell shell;
    EXPECT_NO_THROW(lblURL_Click(pointer, shell));
    EXPECT_EQ(shell.calls.size(), 1u);
    EXPECT_EQ(pointer.history, (std::vector<std::int16_t>{11, 0}));
}

// Fails on setting the hourglass only.
class NoHourglassPointer final : public MousePointer {
public:
    std::int16_t pointer() const override { return Default; }
    void setPointer(std::int16_t pointer) override {
        if (pointer == Hourglass) {
            raise(err::InternalError);
        }
        defaults += 1;
    }
    int defaults = 0;
};

TEST(WebLinkClick, OpensTheSiteWhenTheHourglassFails) {
    NoHourglassPointer pointer;
    FakeShell shell;
    lblURL_Click(pointer, shell);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"Open http://www.tavrosk.example"});
    EXPECT_EQ(pointer.defaults, 1);
}

} // namespace
} // namespace ostrevan
