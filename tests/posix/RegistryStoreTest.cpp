// The store beyond the recorded cases: seeding, names, handles, icons, two processes sharing
// one store, read-only and unusable stores.

#include "platform/posix/RegistryStore.h"
#include "platform/Error.h"
#include "platform/RegistryFileTypes.h"
#include "platform/Text.h"
#include "platform/posix/RegistryChangeWatch.h"
#include "platform/posix/RegistryNames.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ostrevan {
namespace {

namespace fs = std::filesystem;

HKEY create(RegistryFunctions& registry, HKEY root, const char* path, std::int32_t* rc = nullptr) {
    HKEY key = 0;
    const std::int32_t result = registry.RegCreateKeyEx(
        root, path, 0, nullptr, 0, keyaccess::AllAccess, nullptr, &key, nullptr);
    if (rc != nullptr) {
        *rc = result;
    }
    return key;
}

std::int32_t setText(RegistryFunctions& registry, HKEY key, const char* name,
                     std::string_view text) {
    const std::string data = std::string(text) + '\0';
    return registry.RegSetValueEx(key, name, 0, regtype::Sz,
                                  reinterpret_cast<const unsigned char*>(data.data()),
                                  static_cast<std::uint32_t>(data.size()));
}

// The text of a value under HKEY_CURRENT_USER, or the error code as "#code".
std::string readText(RegistryFunctions& registry, const char* path, const char* name) {
    HKEY key = 0;
    if (const auto rc =
            registry.RegOpenKeyEx(hkey::CurrentUser, path, 0, keyaccess::ReadControlQuery, &key);
        rc != 0) {
        return "#" + std::to_string(rc);
    }
    std::array<char, 256> buffer{};
    std::uint32_t size = buffer.size();
    const auto rc = registry.RegQueryValueEx(
        key, name, nullptr, nullptr, reinterpret_cast<unsigned char*>(buffer.data()), &size);
    registry.RegCloseKey(key);
    return rc == 0 ? std::string(buffer.data()) : "#" + std::to_string(rc);
}

std::vector<std::string> valueNames(RegistryFunctions& registry, HKEY key) {
    std::vector<std::string> names;
    for (std::uint32_t i = 0;; ++i) {
        std::array<char, 64> name{};
        std::uint32_t length = name.size();
        if (registry.RegEnumValue(key, i, name.data(), &length, nullptr, nullptr, nullptr,
                                  nullptr) != 0) {
            return names;
        }
        names.emplace_back(name.data(), length);
    }
}

class RegistryStoreTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    std::string m_path = m_folder.at("Ablage für Schlüssel/registry.sqlite3");

    void SetUp() override { m_folder.folder("Ablage für Schlüssel"); }
};

TEST_F(RegistryStoreTest, NewStoreHoldsTheSolidEdgeFileTypes) {
    RegistryStore store(m_path);
    const RegistryFileTypes types(store);
    EXPECT_EQ(types.description("par"), "Solid Edge Part Document");
    EXPECT_EQ(types.description("PSM"), "Solid Edge Sheet Metal Document");
    for (const char* extension : {"asm", "dft", "pwd", "cfg"}) {
        ASSERT_TRUE(types.description(extension).has_value()) << extension;
        EXPECT_NE(types.description(extension)->find("Solid Edge"), std::string::npos) << extension;
    }
    EXPECT_EQ(types.description("txt"), std::nullopt);
    EXPECT_EQ(types.description(""), std::nullopt);
    EXPECT_EQ(readText(store, "Software", ""), "#2") << "nothing else is written";
}

TEST_F(RegistryStoreTest, SeedingHappensOnlyInANewStore) {
    {
        RegistryStore store(m_path);
        HKEY key = 0;
        ASSERT_EQ(store.RegOpenKeyEx(hkey::ClassesRoot, ".par", 0, keyaccess::AllAccess, &key), 0);
        ASSERT_EQ(store.RegDeleteValue(key, ""), 0);
    }
    RegistryStore reopened(m_path);
    EXPECT_EQ(RegistryFileTypes(reopened).description("par"), std::nullopt);
    EXPECT_EQ(RegistryFileTypes(reopened).description("dft"), "Solid Edge Draft Document");
}

TEST_F(RegistryStoreTest, FileTypeDescriptionFollowsTheClass) {
    RegistryStore store(m_path);
    const HKEY extension = create(store, hkey::ClassesRoot, toWindows1252(".käse").c_str());
    ASSERT_EQ(setText(store, extension, "", toWindows1252("Käse.Datei")), 0);
    const RegistryFileTypes types(store);
    EXPECT_EQ(types.description("KÄSE"), std::nullopt) << "class without a key";
    const HKEY type = create(store, hkey::ClassesRoot, toWindows1252("KÄSE.DATEI").c_str());
    EXPECT_EQ(types.description("käse"), std::nullopt) << "class without a description";
    ASSERT_EQ(setText(store, type, "", toWindows1252("Käse-Datei (Emmentaler)")), 0);
    EXPECT_EQ(types.description("käse"), "Käse-Datei (Emmentaler)");
}

TEST(RegistryNames, FoldByTheCodePagesUpperCase) {
    EXPECT_EQ(foldRegistryName("abc\\xyz"), "ABC\\XYZ");
    EXPECT_EQ(foldRegistryName("\xE4pfel"), "\xC4PFEL");   // äpfel
    EXPECT_EQ(foldRegistryName("\xFF"), "\x9F");           // ÿ -> Ÿ
    EXPECT_EQ(foldRegistryName("\xDF\xB5?"), "\xDF\xB5?"); // ß, µ and ? stay
}

TEST_F(RegistryStoreTest, UmlautKeysAreOneKeyInEitherCase) {
    RegistryStore store(m_path);
    std::uint32_t disposition = 0;
    HKEY first = 0;
    HKEY second = 0;
    ASSERT_EQ(store.RegCreateKeyEx(hkey::CurrentUser, "Software\\\xC4rger", 0, nullptr, 0,
                                   keyaccess::AllAccess, nullptr, &first, &disposition),
              0);
    EXPECT_EQ(disposition, RegCreatedNewKey);
    ASSERT_EQ(store.RegCreateKeyEx(hkey::CurrentUser, "SOFTWARE\\\xE4RGER", 0, nullptr, 0,
                                   keyaccess::AllAccess, nullptr, &second, &disposition),
              0);
    EXPECT_EQ(disposition, RegOpenedExistingKey);
    std::array<char, 16> name{};
    std::uint32_t length = name.size();
    HKEY software = 0;
    ASSERT_EQ(store.RegOpenKeyEx(hkey::CurrentUser, "software", 0, keyaccess::AllAccess, &software),
              0);
    ASSERT_EQ(
        store.RegEnumKeyEx(software, 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr),
        0);
    EXPECT_EQ(std::string(name.data(), length), "\xC4rger") << "the first spelling stays";
    length = name.size();
    EXPECT_EQ(
        store.RegEnumKeyEx(software, 1, name.data(), &length, nullptr, nullptr, nullptr, nullptr),
        winerror::NoMoreItems);
}

TEST_F(RegistryStoreTest, ValuesKeepThePlaceTheyWereFirstWrittenAt) {
    RegistryStore store(m_path);
    const HKEY key = create(store, hkey::CurrentUser, "Software\\Order");
    for (const char* name : {"z", "a", "", "M"}) {
        ASSERT_EQ(setText(store, key, name, "1"), 0);
    }
    ASSERT_EQ(setText(store, key, "A", "replaced"), 0);
    EXPECT_EQ(valueNames(store, key), (std::vector<std::string>{"z", "a", "", "M"}));
    ASSERT_EQ(store.RegDeleteValue(key, "z"), 0);
    ASSERT_EQ(setText(store, key, "z", "again"), 0);
    EXPECT_EQ(valueNames(store, key), (std::vector<std::string>{"a", "", "M", "z"}));
    EXPECT_EQ(readText(store, "Software\\Order", "a"), "replaced");
}

TEST_F(RegistryStoreTest, HandlesAndPaths) {
    RegistryStore store(m_path);
    const HKEY key = create(store, hkey::CurrentUser, "Software\\Handles");
    HKEY reader = 0;
    ASSERT_EQ(store.RegOpenKeyEx(hkey::CurrentUser, "Software\\Handles", 0,
                                 keyaccess::ReadControlQuery, &reader),
              0);
    std::array<char, 8> name{};
    std::uint32_t length = name.size();
    EXPECT_EQ(
        store.RegEnumKeyEx(reader, 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr),
        winerror::AccessDenied)
        << "no right to enumerate subkeys";
    HKEY child = 0;
    EXPECT_EQ(store.RegCreateKeyEx(reader, "Kind", 0, nullptr, 0, keyaccess::AllAccess, nullptr,
                                   &child, nullptr),
              winerror::AccessDenied)
        << "no right to create subkeys";
    EXPECT_EQ(store.RegCloseKey(reader), 0);
    EXPECT_EQ(store.RegCloseKey(reader), winerror::InvalidHandle);
    EXPECT_EQ(setText(store, reader, "x", "y"), winerror::InvalidHandle);
    EXPECT_EQ(store.RegCloseKey(hkey::CurrentUser), 0);
    EXPECT_EQ(store.RegOpenKeyEx(0x80000003, "", 0, keyaccess::ReadControlQuery, &child),
              winerror::InvalidHandle);
    EXPECT_EQ(store.RegCloseKey(key), 0);
}

TEST_F(RegistryStoreTest, AllOrNothingKeepsEveryWriteOrNone) {
    RegistryStore store(m_path);
    const auto steps = [&store](std::int32_t outcome) {
        return [&store, outcome] {
            const HKEY key = create(store, hkey::CurrentUser, "Software\\Ganz\\Tief");
            if (setText(store, key, "a", "1") != 0 || setText(store, key, "b", "2") != 0) {
                return winerror::CannotWrite;
            }
            store.RegCloseKey(key);
            return outcome;
        };
    };
    EXPECT_EQ(store.allOrNothing(steps(winerror::InvalidParameter)), winerror::InvalidParameter);
    HKEY key = 0;
    EXPECT_EQ(store.RegOpenKeyEx(hkey::CurrentUser, "Software\\Ganz", 0,
                                 keyaccess::ReadControlQuery, &key),
              winerror::FileNotFound)
        << "not even the key";

    EXPECT_EQ(store.allOrNothing([&] { return store.allOrNothing(steps(winerror::Success)); }),
              winerror::Success)
        << "one inside another is part of it";
    EXPECT_EQ(readText(store, "Software\\Ganz\\Tief", "a"), "1");
    RegistryStore other(m_path);
    EXPECT_EQ(readText(other, "Software\\Ganz\\Tief", "b"), "2") << "committed";
}

TEST_F(RegistryStoreTest, AllOrNothingReadsWhatAnotherCommittedBefore) {
    RegistryStore first(m_path);
    RegistryStore second(m_path);
    const HKEY key = create(second, hkey::CurrentUser, "Software\\Vorher");
    ASSERT_EQ(setText(second, key, "a", "1"), 0);
    EXPECT_EQ(readText(first, "Software\\Vorher", "a"), "1") << "now in the cache";
    ASSERT_EQ(setText(second, key, "a", "2"), 0);
    std::string seen;
    EXPECT_EQ(first.allOrNothing([&] {
        seen = readText(first, "Software\\Vorher", "a");
        return winerror::Success;
    }),
              winerror::Success);
    EXPECT_EQ(seen, "2");
}

TEST_F(RegistryStoreTest, OneViewReadsOneSnapshot) {
    RegistryStore reader(m_path);
    RegistryStore writer(m_path);
    const HKEY key = create(writer, hkey::CurrentUser, "Software\\Blick");
    ASSERT_EQ(setText(writer, key, "Wert", "alt"), 0);
    std::vector<std::string> seen;
    EXPECT_EQ(reader.oneView([&] {
        seen.push_back(readText(reader, "Software\\Blick", "Wert"));
        const bool written = setText(writer, key, "Wert", "neu") == 0;
        seen.push_back(written ? readText(reader, "Software\\Blick", "Wert") : "not written");
        return winerror::Success;
    }),
              winerror::Success);
    EXPECT_EQ(seen, (std::vector<std::string>{"alt", "alt"})) << "another's commit stays unseen";
    EXPECT_EQ(readText(reader, "Software\\Blick", "Wert"), "neu") << "until the view ends";
}

TEST_F(RegistryStoreTest, IconsOfPicturesAndOfNamedLocations) {
    RegistryStore store(m_path);
    const std::string svg = m_folder.file("Bilder ä/teil.svg", "<svg/>");
    const std::string library = m_folder.file("Bilder ä/icons.dll", "MZ");
    const std::string location = toWindows1252(library) + ",3";
    const HKEY icon = create(store, hkey::ClassesRoot, "Test.Class\\DefaultIcon");
    ASSERT_EQ(setText(store, icon, "", location), 0);
    const std::string svgBytes = toWindows1252(svg);
    const std::string libraryBytes = toWindows1252(library);
    const std::int32_t handle =
        store.ExtractIcon(store.GetModuleHandle(nullptr), svgBytes.c_str(), 0);
    EXPECT_GT(handle, 0);
    EXPECT_EQ(store.ExtractIcon(0, svgBytes.c_str(), 0), handle)
        << "the same pair, the same handle";
    EXPECT_EQ(store.ExtractIcon(0, svgBytes.c_str(), 1), 0);
    EXPECT_GT(store.ExtractIcon(0, libraryBytes.c_str(), 3), 0);
    EXPECT_NE(store.ExtractIcon(0, libraryBytes.c_str(), 3), handle);
    EXPECT_EQ(store.ExtractIcon(0, libraryBytes.c_str(), 2), 0);
    EXPECT_EQ(store.ExtractIcon(0, (libraryBytes + "x").c_str(), 3), 0) << "a missing file";
    EXPECT_EQ(store.ExtractIcon(0, "", 0), 0);
    EXPECT_GT(store.GetModuleHandle(nullptr), 0U);
}

// Forks before either side opens the store; the two then take turns through pipes. Each side
// closes the ends it does not use, so that a side that stops early ends the other's wait.
class Turns final {
public:
    Turns() {
        EXPECT_EQ(pipe(m_toChild.data()), 0);
        EXPECT_EQ(pipe(m_toParent.data()), 0);
    }
    ~Turns() {
        for (const int fd : {m_toChild[0], m_toChild[1], m_toParent[0], m_toParent[1]}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    Turns(const Turns&) = delete;
    Turns& operator=(const Turns&) = delete;
    void beParent() { closeEnds(m_toChild[0], m_toParent[1]); }
    void beChild() { closeEnds(m_toChild[1], m_toParent[0]); }
    void tellChild() { signal(m_toChild[1]); }
    void waitForChild() { wait(m_toParent[0]); }
    void tellParent() { signal(m_toParent[1]); }
    void waitForParent() { wait(m_toChild[0]); }

private:
    void closeEnds(int& a, int& b) {
        close(a);
        close(b);
        a = -1;
        b = -1;
    }
    static void signal(int fd) { (void)!write(fd, "x", 1); }
    static void wait(int fd) {
        char c = 0;
        (void)!read(fd, &c, 1);
    }
    std::array<int, 2> m_toChild{};
    std::array<int, 2> m_toParent{};
};

TEST_F(RegistryStoreTest, TwoProcessesShareTheStoreWhileBothAreOpen) {
    Turns turns;
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        turns.beChild();
        RegistryStore store(m_path);
        turns.waitForParent();
        const HKEY key = create(store, hkey::CurrentUser, "Software\\Geteilt");
        const bool written = setText(store, key, "Von", "Kind") == 0;
        turns.tellParent();
        turns.waitForParent();
        const bool seen = readText(store, "Software\\Geteilt", "Antwort") == "Eltern";
        // Ends without closing anything, as a crash would.
        std::_Exit(written && seen ? 0 : 1);
    }
    turns.beParent();
    {
        RegistryStore store(m_path);
        EXPECT_EQ(readText(store, "Software\\Geteilt", "Von"), "#2");
        turns.tellChild();
        turns.waitForChild();
        EXPECT_EQ(readText(store, "Software\\Geteilt", "Von"), "Kind");
        HKEY key = 0;
        ASSERT_EQ(store.RegOpenKeyEx(hkey::CurrentUser, "Software\\Geteilt", 0,
                                     keyaccess::AllAccess, &key),
                  0);
        ASSERT_EQ(setText(store, key, "Antwort", "Eltern"), 0);
        turns.tellChild();
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the child did not see the answer";
    }
    RegistryStore later(m_path);
    EXPECT_EQ(readText(later, "Software\\Geteilt", "Von"), "Kind");
    EXPECT_EQ(readText(later, "Software\\Geteilt", "Antwort"), "Eltern");
}

TEST_F(RegistryStoreTest, CachedReadsSeeEveryCommitOfAnotherConnection) {
    RegistryStore reader(m_path);
    RegistryStore writer(m_path);
    const HKEY key = create(writer, hkey::CurrentUser, "Software\\Zwei");
    for (const char* text : {"eins", "zwei", "drei"}) {
        ASSERT_EQ(setText(writer, key, "Wert", text), 0);
        EXPECT_EQ(readText(reader, "Software\\Zwei", "Wert"), text);
        EXPECT_EQ(readText(reader, "Software\\Zwei", "Wert"), text) << "served from the cache";
    }
    ASSERT_EQ(writer.RegDeleteValue(key, "Wert"), 0);
    EXPECT_EQ(readText(reader, "Software\\Zwei", "Wert"), "#2");
    EXPECT_EQ(RegistryFileTypes(reader).description("bib"), std::nullopt);
    const HKEY extension = create(writer, hkey::ClassesRoot, ".bib");
    ASSERT_EQ(setText(writer, extension, "", "SolidEdge.PartDocument"), 0);
    EXPECT_EQ(RegistryFileTypes(reader).description("bib"), "Solid Edge Part Document")
        << "a key that was missing a moment ago";
}

TEST(RegistryChangeWatch, WithoutAnIndexFileEveryLookIsAChange) {
    RegistryChangeWatch watch("/nonexistent/registry.sqlite3-shm");
    EXPECT_TRUE(watch.changed());
    EXPECT_TRUE(watch.changed());
}

TEST_F(RegistryStoreTest, AWatchFollowsAnIndexFileMadeAnew) {
    // Another program that is the last to close, or that makes the store, may replace the
    // file: an unchanged header in the old file says nothing about the new one.
    const std::string shm = m_folder.at("Ablage für Schlüssel/watched-shm");
    m_folder.file("Ablage für Schlüssel/watched-shm", std::string(136, '\x01'));
    RegistryChangeWatch watch(shm);
    EXPECT_TRUE(watch.changed()) << "nothing seen yet";
    EXPECT_FALSE(watch.changed());
    fs::remove(shm);
    m_folder.file("Ablage für Schlüssel/watched-shm", std::string(136, '\x01'));
    EXPECT_TRUE(watch.changed()) << "same bytes, another file";
    EXPECT_TRUE(watch.changed()) << "the new file's header is seen first now";
    EXPECT_FALSE(watch.changed());
}

TEST_F(RegistryStoreTest, ReadOnlyFileRefusesEveryWriteAndKeepsWhatItHolds) {
    {
        RegistryStore store(m_path);
        const HKEY key = create(store, hkey::CurrentUser, "Software\\Fest");
        ASSERT_EQ(setText(store, key, "Wert", "alt"), 0);
    }
    ASSERT_EQ(chmod(m_path.c_str(), 0444), 0);
    {
        RegistryStore store(m_path);
        EXPECT_EQ(readText(store, "Software\\Fest", "Wert"), "alt");
        HKEY key = 0;
        std::int32_t rc = 0;
        key = create(store, hkey::CurrentUser, "Software\\Fest", &rc);
        EXPECT_EQ(rc, 0) << "an existing key opens";
        EXPECT_EQ(setText(store, key, "Wert", "neu"), winerror::AccessDenied);
        EXPECT_EQ(setText(store, key, "Neu", "neu"), winerror::AccessDenied);
        EXPECT_EQ(store.RegDeleteValue(key, "Wert"), winerror::AccessDenied);
        create(store, hkey::CurrentUser, "Software\\Fest\\Kind", &rc);
        EXPECT_EQ(rc, winerror::AccessDenied);
        EXPECT_EQ(readText(store, "Software\\Fest", "Wert"), "alt");
    }
    ASSERT_EQ(chmod(m_path.c_str(), 0644), 0);
    RegistryStore store(m_path);
    EXPECT_EQ(readText(store, "Software\\Fest", "Wert"), "alt");
    EXPECT_EQ(readText(store, "Software\\Fest", "Neu"), "#2");
    EXPECT_EQ(readText(store, "Software\\Fest\\Kind", ""), "#2");
}

TEST_F(RegistryStoreTest, StoreOfAnotherUserCannotBeWritten) {
    {
        RegistryStore store(m_path);
        ASSERT_EQ(
            setText(store, create(store, hkey::CurrentUser, "Software\\Fremd"), "Wert", "alt"), 0);
    }
    ASSERT_EQ(chmod(m_folder.at("Ablage für Schlüssel").c_str(), 0755), 0);
    ASSERT_EQ(chmod(m_path.c_str(), 0644), 0);
    const std::string path = m_path;
    test::expectUnprivileged([path] {
        RegistryStore store(path);
        HKEY key = 0;
        if (const auto rc = store.RegOpenKeyEx(hkey::CurrentUser, "Software\\Fremd", 0,
                                               keyaccess::AllAccess, &key);
            rc != 0) {
            return "opening the key gave " + std::to_string(rc);
        }
        const std::int32_t rc = setText(store, key, "Wert", "neu");
        return rc == winerror::AccessDenied ? std::string() : "write gave " + std::to_string(rc);
    });
    RegistryStore store(m_path);
    EXPECT_EQ(readText(store, "Software\\Fremd", "Wert"), "alt");
}

struct UnusableStore {
    const char* name;
    std::int32_t code;
};

class UnusableStoreTest : public testing::TestWithParam<UnusableStore> {};

TEST_P(UnusableStoreTest, EveryOpenFailsWithACode) {
    const test::TempFolder folder;
    folder.file("kein Register.sqlite3", std::string(4096, 'x'));
    folder.folder("Ordner.sqlite3");
    RegistryStore store(folder.at(GetParam().name));
    HKEY key = 0;
    EXPECT_EQ(store.RegOpenKeyEx(hkey::ClassesRoot, ".par", 0, keyaccess::ReadControlQuery, &key),
              GetParam().code);
    EXPECT_EQ(create(store, hkey::CurrentUser, "Software"), 0U);
    std::uint32_t size = 0;
    EXPECT_EQ(store.RegQueryValueEx(hkey::LocalMachine, "", nullptr, nullptr, nullptr, &size),
              GetParam().code);
    const auto unreadable =
        trapError([&] { RegistryFileTypes(store, "Ablage").description("par"); });
    ASSERT_TRUE(unreadable) << "a broken store is no store without file types";
    EXPECT_EQ(unreadable->number(), GetParam().code);
    EXPECT_EQ(unreadable->description().rfind("Die Dateitypen-Registrierung Ablage kann nicht "
                                              "gelesen werden: ",
                                              0),
              0u)
        << unreadable->description();
    std::array<char, 256> text{};
    EXPECT_GT(store.FormatMessage(FormatMessageFromSystem, nullptr,
                                  static_cast<std::uint32_t>(GetParam().code), 0, text.data(),
                                  text.size(), nullptr),
              0U)
        << "the code has a text";
}

INSTANTIATE_TEST_SUITE_P(
    Stores, UnusableStoreTest,
    testing::Values(UnusableStore{"fehlt/ganz/registry.sqlite3", winerror::CannotOpen},
                    UnusableStore{"Ordner.sqlite3", winerror::CannotOpen},
                    UnusableStore{"kein Register.sqlite3", winerror::BadDatabase}));

TEST(RegistryMessages, AreTheGermanSystemTexts) {
    RegistryStore store("/nonexistent/registry.sqlite3");
    const std::vector<std::pair<std::uint32_t, std::string>> texts{
        {2, "Das System kann die angegebene Datei nicht finden."},
        {5, "Zugriff verweigert"},
        {6, "Das Handle ist ungültig."},
        {87, "Falscher Parameter."},
        {234, "Weitere Daten sind verfügbar."},
        {259, "Es sind keine Daten mehr verfügbar."},
    };
    for (const auto& [code, text] : texts) {
        std::array<char, 256> buffer{};
        const std::uint32_t stored = store.FormatMessage(FormatMessageFromSystem, nullptr, code, 0,
                                                         buffer.data(), buffer.size(), nullptr);
        EXPECT_EQ(std::string(buffer.data(), stored), toWindows1252(text) + "\r\n") << code;
    }
}

TEST(RegistryStorePath, LiesInTheConfigurationFolder) {
    EXPECT_TRUE(RegistryStore::defaultPath().ends_with("/Ostrevan/registry.sqlite3"));
}

} // namespace
} // namespace ostrevan
