// ostrevan-reg on temporary stores: add, query, export, delete and import for every type, a
// Version 5.00 file as Windows writes it, and the exit statuses.

#include "tools/ostrevan-reg/RegCommand.h"

#include "platform/Text.h"
#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"
#include "tools/ostrevan-reg/RegKeys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace ostrevan::regtool {
namespace {

using namespace std::string_literals;

class RegCommandTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    std::string m_store = m_folder.at("Ablage/registry.sqlite3");
    std::ostringstream m_out;
    std::ostringstream m_err;
    std::vector<std::string> m_questions;
    bool m_answer = false;

    void SetUp() override { m_folder.folder("Ablage"); }

    int reg(std::vector<std::string> args, const std::string& store = "") {
        m_out.str("");
        m_err.str("");
        args.insert(args.begin(), {"--store", store.empty() ? m_store : store});
        Console console{m_out, m_err, [this](const std::string& question) {
                            m_questions.push_back(question);
                            return m_answer;
                        }};
        return runReg(args, console);
    }

    // The stored bytes of a value, "<fehlt>" when there is none.
    std::string data(const std::string& store, const std::string& key, const std::string& name) {
        const auto value = stored(store, key, name);
        return value ? value->data : "<fehlt>";
    }

    // The stored type and bytes of a value.
    std::optional<Value> stored(const std::string& store, const std::string& key,
                                const std::string& name) {
        RegistryStore registry(store);
        KeyContent content;
        if (readKey(registry, *parseKeyPath(key), &content) != 0) {
            return std::nullopt;
        }
        for (const Value& value : content.values) {
            if (value.name == toWindows1252(name)) {
                return value;
            }
        }
        return std::nullopt;
    }
};

struct TypedValue {
    const char* type;
    std::string data; // as given to /d
    std::uint32_t code;
    std::string bytes; // as stored
    std::string shown; // as query shows it
};

void PrintTo(const TypedValue& value, std::ostream* out) {
    *out << value.type;
}

class RegRoundTripTest : public RegCommandTest, public testing::WithParamInterface<TypedValue> {};

TEST_P(RegRoundTripTest, AddQueryExportDeleteImport) {
    const TypedValue& row = GetParam();
    const std::string key = "HKCU\\Software\\Prüfung";
    ASSERT_EQ(reg({"add", key, "/v", "Wert ä", "/t", row.type, "/d", row.data}), kDone)
        << m_err.str();
    const auto value = stored(m_store, key, "Wert ä");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, row.code);
    EXPECT_EQ(value->data, row.bytes);

    ASSERT_EQ(reg({"query", key, "/v", "wert Ä"}), kDone) << m_err.str();
    EXPECT_EQ(m_out.str(), "\nHKEY_CURRENT_USER\\Software\\Prüfung\n    Wert ä    " +
                               std::string(row.type) + "    " + row.shown + "\n\n");

    const std::string file = m_folder.at("Export ß.reg");
    ASSERT_EQ(reg({"export", key, file}), kDone) << m_err.str();
    ASSERT_EQ(reg({"delete", key, "/v", "Wert ä", "/f"}), kDone) << m_err.str();
    EXPECT_FALSE(stored(m_store, key, "Wert ä"));
    ASSERT_EQ(reg({"import", file}), kDone) << m_err.str();
    const auto imported = stored(m_store, key, "Wert ä");
    ASSERT_TRUE(imported);
    EXPECT_EQ(imported->type, row.code);
    EXPECT_EQ(imported->data, row.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegRoundTripTest,
    testing::Values(TypedValue{"REG_SZ", "Grüße \"aus\" C:\\Köln", 1,
                               "Gr\xFC\xDF"
                               "e \"aus\" C:\\K\xF6ln\0"s,
                               "Grüße \"aus\" C:\\Köln"},
                    TypedValue{"REG_EXPAND_SZ", "%HOME%\\bin", 2, "%HOME%\\bin\0"s, "%HOME%\\bin"},
                    TypedValue{"REG_BINARY", "00ff41", 3, "\0\xFF\x41"s, "00FF41"},
                    TypedValue{"REG_DWORD", "4294967295", 4, "\xFF\xFF\xFF\xFF"s, "0xffffffff"},
                    TypedValue{"REG_DWORD", "0x2A", 4, "\x2A\0\0\0"s, "0x2a"},
                    TypedValue{"REG_MULTI_SZ", "eins\\0zwei\\0drei", 7, "eins\0zwei\0drei\0\0"s,
                               "eins\\0zwei\\0drei"},
                    TypedValue{
                        "REG_BINARY",
                        "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"
                        "202122232425262728292a2b",
                        3,
                        "\0\1\2\3\4\5\6\7\x08\x09\x0a\x0b\x0c\x0d\x0e\x0f\x10\x11\x12\x13\x14"
                        "\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x20\x21\x22\x23\x24\x25\x26"
                        "\x27\x28\x29\x2a\x2b"s,
                        "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F"
                        "202122232425262728292A2B"}),
    [](const testing::TestParamInfo<TypedValue>& info) {
        return std::string(info.param.type).substr(4) + std::to_string(info.index);
    });

TEST_F(RegCommandTest, QueryListsValuesThenSubkeysOrEverythingBelow) {
    ASSERT_EQ(reg({"add", "HKLM\\Software\\Tavrosk\\SolidEdge", "/v", "Version", "/d", "2024"}),
              kDone);
    ASSERT_EQ(reg({"add", "HKLM\\Software\\Tavrosk", "/ve", "/d", "Firma"}), kDone);
    ASSERT_EQ(reg({"add", "HKEY_LOCAL_MACHINE\\Software\\Tavrosk\\Andere"}), kDone);
    ASSERT_EQ(reg({"query", "hklm\\software\\tavrosk"}), kDone);
    EXPECT_EQ(m_out.str(), "\nHKEY_LOCAL_MACHINE\\software\\tavrosk\n"
                           "    (Standard)    REG_SZ    Firma\n\n"
                           "HKEY_LOCAL_MACHINE\\software\\tavrosk\\Andere\n"
                           "HKEY_LOCAL_MACHINE\\software\\tavrosk\\SolidEdge\n");
    ASSERT_EQ(reg({"query", "HKLM\\Software\\Tavrosk", "/s"}), kDone);
    EXPECT_EQ(m_out.str(), "\nHKEY_LOCAL_MACHINE\\Software\\Tavrosk\n"
                           "    (Standard)    REG_SZ    Firma\n"
                           "\nHKEY_LOCAL_MACHINE\\Software\\Tavrosk\\Andere\n"
                           "\nHKEY_LOCAL_MACHINE\\Software\\Tavrosk\\SolidEdge\n"
                           "    Version    REG_SZ    2024\n");
}

TEST_F(RegCommandTest, OverwritingAndDeletingAskUnlessForced) {
    ASSERT_EQ(reg({"add", "HKCU\\Software\\F", "/v", "x", "/d", "alt"}), kDone);
    m_answer = false;
    EXPECT_EQ(reg({"add", "HKCU\\Software\\F", "/v", "X", "/d", "neu"}), kFailed);
    ASSERT_EQ(m_questions.size(), 1U);
    EXPECT_EQ(data(m_store, "HKCU\\Software\\F", "x"), "alt\0"s);
    m_answer = true;
    EXPECT_EQ(reg({"add", "HKCU\\Software\\F", "/v", "x", "/d", "neu"}), kDone);
    EXPECT_EQ(data(m_store, "HKCU\\Software\\F", "x"), "neu\0"s);
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\F", "/v", "x"}), kDone);
    EXPECT_EQ(m_questions.size(), 3U);
    EXPECT_FALSE(stored(m_store, "HKCU\\Software\\F", "x"));
}

TEST_F(RegCommandTest, ExitStatuses) {
    EXPECT_EQ(reg({"query", "HKCU\\Software\\Fehlt"}), kFailed);
    EXPECT_NE(m_err.str().find("nicht gefunden"), std::string::npos);
    ASSERT_EQ(reg({"add", "HKCU\\Software\\Da"}), kDone);
    EXPECT_EQ(reg({"query", "HKCU\\Software\\Da", "/v", "fehlt"}), kFailed);
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Da", "/v", "fehlt", "/f"}), kFailed);
    EXPECT_EQ(reg({"delete", "HKCU\\Software\\Da", "/f"}), kUsage) << "keys are not deleted";
    EXPECT_EQ(reg({}), kUsage);
    EXPECT_EQ(reg({"zeige", "HKCU"}), kUsage);
    EXPECT_EQ(reg({"query"}), kUsage);
    EXPECT_EQ(reg({"query", "HKXY\\Software"}), kUsage);
    EXPECT_EQ(reg({"add", "HKCU\\Software\\Da", "/v", "d", "/t", "REG_DWORD", "/d", "zwölf"}),
              kUsage);
    EXPECT_EQ(reg({"add", "HKCU\\Software\\Da", "/v", "d", "/t", "REG_DWORD", "/d", "4294967296"}),
              kUsage);
    EXPECT_EQ(reg({"add", "HKCU\\Software\\Da", "/v", "b", "/t", "REG_BINARY", "/d", "0"}), kUsage);
    EXPECT_EQ(reg({"add", "HKCU\\Software\\Da", "/v", "x", "/t", "REG_WORT"}), kUsage);
    EXPECT_EQ(reg({"/?"}), kDone);
    EXPECT_NE(m_out.str().find("query"), std::string::npos);
}

TEST_F(RegCommandTest, AReadOnlyStoreRefusesWithStatusOne) {
    ASSERT_EQ(reg({"add", "HKCU\\Software\\Fest", "/v", "x", "/d", "alt"}), kDone);
    ASSERT_EQ(chmod(m_store.c_str(), 0444), 0);
    EXPECT_EQ(reg({"add", "HKCU\\Software\\Fest", "/v", "x", "/d", "neu", "/f"}), kFailed);
    EXPECT_EQ(m_err.str(), "FEHLER: Zugriff verweigert\n");
    EXPECT_EQ(reg({"query", "HKCU\\Software\\Fest", "/v", "x"}), kDone);
    chmod(m_store.c_str(), 0644);
}

// A file as regedit on Windows writes it: UTF-16LE with a byte-order mark, CR LF, text types in
// UTF-16 bytes, long hex data continued over lines.
std::string windowsExport() {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\.par]\r\n"
        "@=\"SolidEdge.PartDocument\"\r\n"
        "\"Content Type\"=\"application/x-solidedge-part\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Übertrag]\r\n"
        "\"Größe\"=\"Straße €\"\r\n"
        "\"Pfad\"=hex(2):25,00,55,00,53,00,45,00,52,00,50,00,52,00,4f,00,46,00,49,00,4c,00,\\\r\n"
        "  45,00,25,00,5c,00,e4,00,00,00\r\n"
        "\"Liste\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
        "\"Zahl\"=dword:0000002a\r\n"
        "\"Roh\"=hex:00,01,fe\r\n"
        "\"Alt\"=-\r\n\r\n";
    const std::vector<std::uint8_t> utf16 = toUtf16Le(text);
    return "\xFF\xFE"s + std::string(utf16.begin(), utf16.end());
}

TEST_F(RegCommandTest, ImportsAVersion5FileAsWindowsWritesIt) {
    ASSERT_EQ(reg({"add", "HKCU\\Software\\Übertrag", "/v", "Alt", "/d", "weg"}), kDone);
    const std::string file = m_folder.file("Von Windows.reg", windowsExport());
    ASSERT_EQ(reg({"import", file}), kDone) << m_err.str();
    const std::string key = "HKCU\\Software\\Übertrag";
    EXPECT_EQ(data(m_store, key, "Größe"), "Stra\xDF"
                                           "e \x80\0"s);
    EXPECT_EQ(stored(m_store, key, "Pfad").value_or(Value{}).type, regtype::ExpandSz);
    EXPECT_EQ(data(m_store, key, "Pfad"), "%USERPROFILE%\\\xE4\0"s);
    EXPECT_EQ(data(m_store, key, "Liste"), "a\0b\0\0"s);
    EXPECT_EQ(data(m_store, key, "Zahl"), "\x2A\0\0\0"s);
    EXPECT_EQ(data(m_store, key, "Roh"), "\0\1\xFE"s);
    EXPECT_FALSE(stored(m_store, key, "Alt")) << "=- deletes";
    EXPECT_EQ(data(m_store, "HKCR\\.par", ""), "SolidEdge.PartDocument\0"s);
}

TEST_F(RegCommandTest, AFaultyFileWritesNothing) {
    const std::string file = m_folder.file(
        "kaputt.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Halb]\r\n\"a\"=\"1\"\r\n"
                      "\"b\"=dword:xyz\r\n");
    EXPECT_EQ(reg({"import", file}), kFailed);
    EXPECT_NE(m_err.str().find("Zeile 5"), std::string::npos) << m_err.str();
    EXPECT_EQ(reg({"query", "HKCU\\Software\\Halb"}), kFailed) << "not even the key";
    for (const std::string& bad :
         {"Kein Kopf\r\n"s, "REGEDIT4\r\n[-HKEY_CURRENT_USER\\Software]\r\n"s,
          "REGEDIT4\r\n[HKXY\\A]\r\n"s, "REGEDIT4\r\n\"a\"=\"1\"\r\n"s}) {
        EXPECT_EQ(reg({"import", m_folder.file("schlecht.reg", bad)}), kFailed) << bad;
    }
    EXPECT_EQ(reg({"import", m_folder.at("gibt es nicht.reg")}), kFailed);
}

// levels levels named "e", each after a separator.
std::string deepPath(int levels) {
    std::string path;
    for (int i = 0; i < levels; ++i) {
        path += "\\e";
    }
    return path;
}

struct LateFault {
    const char* name;
    std::string line;
    std::string reason; // part of the message
};

void PrintTo(const LateFault& fault, std::ostream* out) {
    *out << fault.name;
}

class RegLateFaultTest : public RegCommandTest, public testing::WithParamInterface<LateFault> {};

// Many sound lines first, then the fault: nothing of the file is stored, and the message
// names the faulty line.
TEST_P(RegLateFaultTest, NothingIsStoredAndTheLineIsNamed) {
    std::string file = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < 50; ++i) {
        file +=
            "[HKEY_CURRENT_USER\\Software\\Halb\\K" + std::to_string(i) + "]\r\n\"v\"=\"1\"\r\n";
    }
    file += GetParam().line + "\r\n\"w\"=\"2\"\r\n";
    EXPECT_EQ(reg({"import", m_folder.file("spät kaputt.reg", file)}), kFailed);
    EXPECT_NE(m_err.str().find("Zeile 103: "), std::string::npos) << m_err.str();
    EXPECT_NE(m_err.str().find(GetParam().reason), std::string::npos) << m_err.str();
    EXPECT_EQ(reg({"query", "HKCU\\Software\\Halb"}), kFailed) << "not even the first key";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RegLateFaultTest,
    testing::Values(
        LateFault{"LevelOver255", "[HKEY_CURRENT_USER\\Software\\" + std::string(256, 'x') + "]",
                  "255 Zeichen"},
        LateFault{"EmptyLevel", "[HKCU\\a\\\\b]", "leere Ebene"},
        LateFault{"LeadingSeparator", "[HKCU\\\\a]", "beginnt mit"},
        LateFault{"Over512Levels", "[HKCU" + deepPath(513) + "]", "512 Ebenen"},
        LateFault{"LongValueName", "\"" + std::string(16384, 'n') + "\"=\"1\"", "16383 Zeichen"}),
    [](const testing::TestParamInfo<LateFault>& info) { return std::string(info.param.name); });

TEST_F(RegCommandTest, TheDeepestKeyIsAddedExportedImportedAndListed) {
    const std::string deepest = "HKCU" + deepPath(512);
    EXPECT_EQ(reg({"add", deepest + "\\e"}), kFailed) << "513 levels";
    EXPECT_EQ(m_err.str(), "FEHLER: Falscher Parameter.\n");
    ASSERT_EQ(reg({"add", deepest, "/v", "tief", "/d", "unten"}), kDone) << m_err.str();
    const std::string file = m_folder.at("tief.reg");
    ASSERT_EQ(reg({"export", "HKCU\\e", file}), kDone) << m_err.str();
    const std::string other = m_folder.at("andere.sqlite3");
    ASSERT_EQ(reg({"import", file}, other), kDone) << m_err.str();
    EXPECT_EQ(data(other, deepest, "tief"), "unten\0"s);
    ASSERT_EQ(reg({"query", "HKCU\\e", "/s"}, other), kDone) << m_err.str();
    const std::string listed = m_out.str();
    std::size_t keys = 0;
    for (std::size_t at = listed.find("\nHKEY_CURRENT_USER"); at != std::string::npos;
         at = listed.find("\nHKEY_CURRENT_USER", at + 1)) {
        ++keys;
    }
    EXPECT_EQ(keys, 512U);
    EXPECT_TRUE(listed.ends_with("    tief    REG_SZ    unten\n"));
}

TEST_F(RegCommandTest, ExportBringsEveryKeyBelowToAnotherStore) {
    ASSERT_EQ(
        reg({"add", "HKCU\\Software\\Baum\\Ast\\Zweig", "/v", "z", "/t", "REG_DWORD", "/d", "7"}),
        kDone);
    ASSERT_EQ(reg({"add", "HKCU\\Software\\Baum", "/v", "w", "/d", "Wurzel"}), kDone);
    const std::string file = m_folder.at("baum.reg");
    ASSERT_EQ(reg({"export", "HKCU\\Software\\Baum", file}), kDone);
    m_answer = false;
    EXPECT_EQ(reg({"export", "HKCU\\Software\\Baum", file}), kFailed) << "an existing file is kept";
    EXPECT_EQ(reg({"export", "HKCU\\Software\\Baum", file, "/y"}), kDone);
    const std::string other = m_folder.at("andere.sqlite3");
    ASSERT_EQ(reg({"import", file}, other), kDone) << m_err.str();
    EXPECT_EQ(data(other, "HKCU\\Software\\Baum\\Ast\\Zweig", "z"), "\7\0\0\0"s);
    EXPECT_EQ(data(other, "HKCU\\Software\\Baum", "w"), "Wurzel\0"s);
}

TEST_F(RegCommandTest, ExportWritesNoFileThroughALinkAndReplacesNoPipe) {
    ASSERT_EQ(reg({"add", "HKCU\\Software\\Baum", "/v", "w", "/d", "Wurzel"}), kDone);
    const std::string victim = m_folder.file("Opfer/wichtig.txt", "wertvoll");
    const std::string file = m_folder.at("out.reg");
    m_folder.link("out.reg.part", victim);
    ASSERT_EQ(reg({"export", "HKCU\\Software\\Baum", file}), kDone) << m_err.str();
    EXPECT_NE(test::readBytes(file).find("Wurzel"), std::string::npos);

    const std::string link = m_folder.link("verweis.reg", victim);
    const std::string pipe = m_folder.at("rohr.reg");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    for (const std::string& target : {link, pipe}) {
        EXPECT_EQ(reg({"export", "HKCU\\Software\\Baum", target, "/y"}), kFailed) << target;
        EXPECT_NE(m_err.str().find("keine gewöhnliche Datei"), std::string::npos) << m_err.str();
    }
    EXPECT_EQ(test::readBytes(victim), "wertvoll");
    struct stat info {};
    ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

// The program itself: exit statuses as a shell sees them, data in the terminal's encoding.
TEST_F(RegCommandTest, TheProgramReportsThroughItsExitStatus) {
    const auto run = [this](const std::string& arguments, const std::string& output) {
        const std::string command = "LC_ALL=C.UTF-8 '" + std::string(OSTREVAN_REG_BINARY) +
                                    "' --store '" + m_store + "' " + arguments + " > '" + output +
                                    "' 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string output = m_folder.at("ausgabe.txt");
    EXPECT_EQ(run("add 'HKCU\\Software\\Prog' /v Gruß /d 'Grüße' /f", output), kDone);
    EXPECT_EQ(run("query 'HKCU\\Software\\Prog' /v gruß", output), kDone);
    EXPECT_NE(test::readBytes(output).find("    Gruß    REG_SZ    Grüße"), std::string::npos)
        << test::readBytes(output);
    EXPECT_EQ(run("query 'HKCU\\Software\\Fehlt'", output), kFailed);
    EXPECT_EQ(run("query", output), kUsage);

    const std::string full = "LC_ALL=C.UTF-8 '" + std::string(OSTREVAN_REG_BINARY) + "' --store '" +
                             m_store + "' query 'HKCU\\Software\\Prog' >/dev/full 2>'" + output +
                             "'";
    const int status = std::system(full.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kFailed) << "output that cannot be written is no success";
    EXPECT_EQ(test::readBytes(output),
              "ostrevan-reg: Die Ausgabe konnte nicht geschrieben werden: Datenträger voll\n");
}

} // namespace
} // namespace ostrevan::regtool
