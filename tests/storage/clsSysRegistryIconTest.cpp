// FileToIconHandle: which icon file and index each registry layout leads to, and the handles
// the store's icon stand-in gives for them.

#include "storage/clsSysRegistry.h"

#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/posix/RegistryStore.h"
#include "tests/support/TempFolder.h"
#include "tests/storage/RegistryProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace ostrevan {
namespace {

using namespace std::string_literals;
using Icon = std::pair<std::string, std::int32_t>;

class FileToIconHandleTest : public testing::Test {
protected:
    test::TempFolder m_folder;
    RegistryStore m_store{m_folder.at("registry.sqlite3")};
    test::RegistryProbe m_probe{m_store};
    clsSysRegistry m_registry{m_probe};

    void TearDown() override { EXPECT_EQ(m_probe.openHandles(), 0) << "a key was left open"; }

    // A default value under HKEY_CLASSES_ROOT; texts are UTF-8 and stored with their NUL.
    void set(const std::string& key, const std::string& text, std::uint32_t type = regtype::Sz) {
        HKEY handle = 0;
        ASSERT_EQ(m_store.RegCreateKeyEx(hkey::ClassesRoot, toWindows1252(key).c_str(), 0, nullptr,
                                         0, keyaccess::AllAccess, nullptr, &handle, nullptr),
                  0);
        const std::string data = toWindows1252(text) + '\0';
        ASSERT_EQ(m_store.RegSetValueEx(handle, "", 0, type,
                                        reinterpret_cast<const unsigned char*>(data.data()),
                                        static_cast<std::uint32_t>(data.size())),
                  0);
        m_store.RegCloseKey(handle);
    }

    // The icon file and index the member handed to the shell.
    Icon iconFor(const std::string& file, std::int32_t index = 0) {
        m_registry.FileToIconHandle(file, index);
        EXPECT_FALSE(m_probe.icons().empty()) << "no icon was asked for";
        return m_probe.icons().empty() ? Icon() : m_probe.icons().back();
    }
};

TEST_F(FileToIconHandleTest, LocationWithACommaNamesFileAndIndex) {
    set(".bib", "Bib.Klasse");
    set("Bib.Klasse\\DefaultIcon", "C:\\Programme\\Bücher\\icons.dll,3");
    EXPECT_EQ(iconFor("Regal.bib", 9), Icon("C:\\Programme\\B\xFC"
                                            "cher\\icons.dll",
                                            3));
    set("Bib.Klasse\\DefaultIcon", "x.dll,-7");
    EXPECT_EQ(iconFor("Regal.bib"), Icon("x.dll", -7)) << "a negative index passes on";
    setenv("OSTREVAN_ICONS", "/opt/bilder", 1);
    set("Bib.Klasse\\DefaultIcon", "%OSTREVAN_ICONS%/a.dll,2", regtype::ExpandSz);
    EXPECT_EQ(iconFor("Regal.bib"), Icon("/opt/bilder/a.dll", 2)) << "expanded before the split";
}

TEST_F(FileToIconHandleTest, LocationWithoutCommaOrClassIdUsesTheFileItself) {
    set(".bib", "Bib.Klasse");
    set("Bib.Klasse\\DefaultIcon", "5");
    EXPECT_EQ(iconFor("/daten/alt.archiv.bib", 8), Icon("/daten/alt.archiv.bib", 5));
    set("Bib.Klasse\\DefaultIcon", "%1");
    EXPECT_EQ(iconFor("/daten/a.bib", 8), Icon("/daten/a.bib", 0)) << "text that is no number";
}

TEST_F(FileToIconHandleTest, LocationWithoutCommaFollowsTheClassId) {
    set(".bib", "Bib.Klasse");
    set("Bib.Klasse\\DefaultIcon", "egal");
    set("Bib.Klasse\\CLSID", "{1234}");
    set("CLSID\\{1234}\\InProcServer32", "/usr/lib/bib.so");
    EXPECT_EQ(iconFor("a.bib", 2), Icon("/usr/lib/bib.so", 2)) << "the server's library, iIcon";
    set("CLSID\\{1234}\\DefaultIcon", "/usr/lib/bilder.so,4");
    EXPECT_EQ(iconFor("a.bib", 2), Icon("/usr/lib/bilder.so", 4));
}

TEST_F(FileToIconHandleTest, WithoutDefaultIconTheServerIsTheIconFile) {
    set(".bib", "Bib.Klasse");
    EXPECT_EQ(m_registry.FileToIconHandle("a.bib"), 0);
    EXPECT_TRUE(m_probe.icons().empty()) << "no class id, no icon asked for";
    set("Bib.Klasse\\CLSID", "{99}");
    EXPECT_EQ(iconFor("a.bib", 6), Icon("", 6));
    set("CLSID\\{99}\\InProcServer32", "/usr/lib/bib.so");
    EXPECT_EQ(iconFor("a.bib"), Icon("/usr/lib/bib.so", 0));
    set("CLSID\\{99}\\LocalServer32", "\"/opt/bib\" -automation,1");
    EXPECT_EQ(iconFor("a.bib", 1), Icon("\"/opt/bib\" -automation,1", 1)) << "used whole";
}

TEST_F(FileToIconHandleTest, UnknownTypesGiveZero) {
    EXPECT_EQ(m_registry.FileToIconHandle("bild.unbekannt"), 0);
    EXPECT_EQ(m_registry.FileToIconHandle("ohnepunkt"), 0);
    set(".ohnepunkt", "Ohne.Punkt");
    set("Ohne.Punkt\\DefaultIcon", "lib.so,1");
    EXPECT_EQ(iconFor("ohnepunkt"), Icon("lib.so", 1)) << "a name without dot is its extension";
}

TEST_F(FileToIconHandleTest, AnIndexThatIsNoNumberIsTheMembersError) {
    set(".bib", "Bib.Klasse");
    set("Bib.Klasse\\DefaultIcon", "lib.so,erstes");
    const auto error = trapError([&] { m_registry.FileToIconHandle("a.bib"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), err::TypeMismatch);
    EXPECT_EQ(error->source(), "cSysRegistry:ExtensionToIconHandle");
}

TEST_F(FileToIconHandleTest, ErrorTwoNamesTheUnknownType) {
    set(".bib", "Bib.Klasse");
    m_probe.fail("RegQueryValueEx", winerror::FileNotFound, 2);
    const auto error = trapError([&] { m_registry.FileToIconHandle("x.y.bib"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), winerror::FileNotFound);
    EXPECT_EQ(error->description(), "bib ist ein unbekannter Dateityp.");
    EXPECT_EQ(error->source(), "cSysRegistry:GetRegistryValue");
}

TEST_F(FileToIconHandleTest, HandlesComeFromTheStore) {
    const std::string picture = m_folder.file("Bilder/Teil ä.svg", "<svg/>");
    set(".bib", "Bib.Klasse");
    set("Bib.Klasse\\DefaultIcon", picture + ",0");
    const std::int32_t handle = m_registry.FileToIconHandle("a.bib");
    EXPECT_GT(handle, 0);
    EXPECT_EQ(m_registry.FileToIconHandle("b.bib"), handle);
    set("Bib.Klasse\\DefaultIcon", picture + ",1");
    EXPECT_EQ(m_registry.FileToIconHandle("a.bib"), 0) << "a picture has one icon";
    EXPECT_EQ(iconFor("Zeichnung.par").second, 0) << "the seeded Solid Edge types name an icon";
    EXPECT_NE(m_probe.icons().back().first.find("solidedge-part"), std::string::npos);
}

} // namespace
} // namespace ostrevan
