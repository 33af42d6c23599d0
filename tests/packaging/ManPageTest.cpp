#include "packaging/manpage/ManPage.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

std::string page(std::string_view help) {
    return manPage({"ostrevan-probe", "etwas prüfen", "1.2.3", help});
}

TEST(ManPage, HeaderNameAndSynopsisComeFromTheSourceAndTheFirstParagraph) {
    const std::string text = page("Aufruf: ostrevan-probe [--json] DATEI...\n");
    EXPECT_EQ(text, ".TH OSTREVAN\\-PROBE 1 \"\" \"Ostrevan 1.2.3\" \"Ostrevan\"\n"
                    ".SH BEZEICHNUNG\nostrevan\\-probe \\- etwas prüfen\n"
                    ".SH ÜBERSICHT\n.nf\nostrevan\\-probe [\\-\\-json] DATEI...\n.fi\n");
}

TEST(ManPage, RunningTextHeadingsAndIndentedLinesEachKeepTheirShape) {
    const std::string text = page("Aufruf: p\n"
                                  "\n"
                                  "Zeigt etwas\n"
                                  "und mehr.\n"
                                  "\n"
                                  "Rückgabewerte:\n"
                                  "  0  gut\n"
                                  "  1  schlecht\n"
                                  "Danach Text.\n");
    const std::string body = text.substr(text.find(".SH BESCHREIBUNG"));
    EXPECT_EQ(body, ".SH BESCHREIBUNG\n"
                    ".PP\nZeigt etwas\nund mehr.\n"
                    ".SH RÜCKGABEWERTE\n.nf\n  0  gut\n  1  schlecht\n.fi\n"
                    ".PP\nDanach Text.\n");
}

TEST(ManPage, TroffSpecialsAreShownLiterally) {
    const std::string text = page("Aufruf: p\n\n.start\n'quote\nHKCU\\Software mit \\0\n");
    EXPECT_NE(text.find("\n\\&.start\n"), std::string::npos);
    EXPECT_NE(text.find("\n\\&'quote\n"), std::string::npos);
    EXPECT_NE(text.find("HKCU\\eSoftware mit \\e0\n"), std::string::npos);
}

TEST(ManPage, AHelpOfOneParagraphHasNoDescription) {
    EXPECT_EQ(page("Aufruf: p\n").find("BESCHREIBUNG"), std::string::npos);
    EXPECT_NE(page("").find(".SH ÜBERSICHT\n.nf\n.fi\n"), std::string::npos);
}

} // namespace
} // namespace ostrevan
