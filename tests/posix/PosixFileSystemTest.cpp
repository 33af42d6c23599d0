#include "platform/posix/PosixFileSystem.h"

#include "platform/Error.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace ostrevan {
namespace {

using test::TempFolder;

std::int32_t errorOf(const std::function<void()>& body) {
    const auto error = trapError(body);
    return error ? error->number() : 0;
}

template <class Item> std::vector<std::string> namesOf(const std::vector<Item>& items) {
    std::vector<std::string> names;
    for (const auto& item : items) {
        names.push_back(item.Name);
    }
    return names;
}

class PosixFileSystemTest : public ::testing::Test {
protected:
    PosixFileSystemTest() {
        m_types.add("par", "Solid Edge Part Document");
        m_types.add("asm", "Solid Edge Assembly Document");
        m_types.add("leer", "");
    }

    test::FakeFileTypes m_types;
    PosixFileSystem m_fs{m_types};
    TempFolder m_temp;
};

TEST_F(PosixFileSystemTest, GetFolderNormalisesThePath) {
    const std::string projekt = m_temp.folder("Projekt Größe/Unter");
    const Folder folder = m_fs.GetFolder(m_temp.path() + "/./Projekt Größe/Unter/../Unter/");
    EXPECT_EQ(folder.Path, projekt);
    EXPECT_EQ(folder.Name, "Unter");
    EXPECT_EQ(folder.Attributes & 16, 16);

    const Folder root = m_fs.GetFolder("/");
    EXPECT_EQ(root.Path, "/");
    EXPECT_EQ(root.Name, "");
}

TEST_F(PosixFileSystemTest, RelativePathsStartAtTheWorkingFolder) {
    const std::string here = m_temp.folder("hier");
    m_temp.file("hier/a.par");
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(here.c_str()), 0);
    const Folder folder = m_fs.GetFolder(".");
    const File file = m_fs.GetFile("a.par");
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(folder.Path, here);
    EXPECT_EQ(file.Path, here + "/a.par");
    EXPECT_EQ(file.ParentFolder, here);
}

TEST_F(PosixFileSystemTest, GetFolderRaises76ForWhatIsNoFolder) {
    const std::string file = m_temp.file("datei.txt");
    m_temp.link("kaputt", m_temp.at("fehlt"));
    m_temp.link("schleife", m_temp.at("schleife"));
    const std::string paths[] = {m_temp.at("fehlt"),    file, file + "/x", m_temp.at("kaputt"),
                                 m_temp.at("schleife"), ""};
    for (const auto& path : paths) {
        EXPECT_EQ(errorOf([&] { m_fs.GetFolder(path); }), 76) << path;
    }
}

TEST_F(PosixFileSystemTest, AttributesMarkHiddenFolders) {
    m_temp.folder("Sichtbar");
    m_temp.folder(".versteckt");
    m_temp.link(".verweis", m_temp.at("Sichtbar"));
    const auto subs = m_fs.SubFolders(m_fs.GetFolder(m_temp.path()));
    ASSERT_EQ(namesOf(subs), (std::vector<std::string>{".versteckt", ".verweis", "Sichtbar"}));
    // Writable for whoever runs the tests, so no read-only bit.
    EXPECT_EQ(subs[0].Attributes, 18);
    EXPECT_EQ(subs[1].Attributes, 18);
    EXPECT_EQ(subs[2].Attributes, 16);
    EXPECT_EQ(m_fs.GetFolder(m_temp.at(".versteckt")).Attributes, 18);
}

TEST_F(PosixFileSystemTest, FoldersTheUserMayNotWriteAreReadOnly) {
    ::chmod(m_temp.folder("Nur lesen").c_str(), 0555);
    ::chmod(m_temp.folder(".nur lesen").c_str(), 0555);
    m_temp.folder("Offen");
    test::expectUnprivileged([&]() -> std::string {
        const PosixFileSystem fs(m_types);
        std::string failures;
        for (const Folder& sub : fs.SubFolders(fs.GetFolder(m_temp.path()))) {
            const Folder direct = fs.GetFolder(sub.Path);
            if (direct.Attributes != sub.Attributes) {
                failures += sub.Name + ": GetFolder and SubFolders differ; ";
            }
            failures += sub.Name + "=" + std::to_string(sub.Attributes) + " ";
        }
        // "Offen" belongs to the tests' user, not to the unprivileged one.
        return failures == ".nur lesen=19 Nur lesen=17 Offen=17 " ? "" : failures;
    });
}

TEST_F(PosixFileSystemTest, ListingsAreSortedWithoutRegardToCase) {
    const std::string names[] = {"b.par", "A.par",       "ä.txt",       "Zeta",
                                 "a.PAR", "ß.dft",       " blank.asm",  "Ödland",
                                 "0.par", ".hidden.txt", "über uns.asm"};
    for (const auto& name : names) {
        m_temp.file(name);
        m_temp.folder("Ordner/" + name);
    }
    const std::vector<std::string> sorted{" blank.asm", ".hidden.txt",  "0.par", "A.par",
                                          "a.PAR",      "b.par",        "Zeta",  "ä.txt",
                                          "Ödland",     "über uns.asm", "ß.dft"};
    const Folder folder = m_fs.GetFolder(m_temp.path());
    std::vector<std::string> files = namesOf(m_fs.Files(folder));
    EXPECT_EQ(files, sorted);
    EXPECT_EQ(namesOf(m_fs.SubFolders(folder)), std::vector<std::string>{"Ordner"});
    EXPECT_EQ(namesOf(m_fs.SubFolders(m_fs.GetFolder(m_temp.at("Ordner")))), sorted);
}

TEST_F(PosixFileSystemTest, FilesCarryPathParentAndType) {
    m_temp.file("Maß Teil.par");
    const std::string folderPath = m_temp.folder("Ordner");
    const auto files = m_fs.Files(m_fs.GetFolder(m_temp.path()));
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0].Path, m_temp.at("Maß Teil.par"));
    EXPECT_EQ(files[0].ParentFolder, m_temp.path());
    EXPECT_EQ(files[0].Type, "Solid Edge Part Document");
    EXPECT_TRUE(m_fs.Files(m_fs.GetFolder(folderPath)).empty());
}

TEST_F(PosixFileSystemTest, TypeFallsBackToTheExtension) {
    struct Row {
        const char* name;
        const char* type;
    };
    const Row rows[] = {
        {"a.par", "Solid Edge Part Document"},
        {"B.PAR", "Solid Edge Part Document"},
        {"c.Asm", "Solid Edge Assembly Document"},
        {"notes.txt", "TXT-Datei"},
        {"README", "Datei"},
        {"ende.", "Datei"},
        {"archiv.tar.gz", "GZ-Datei"},
        {".bashrc", "BASHRC-Datei"},
        {"x.äpfel", "ÄPFEL-Datei"},
        {"y.leer", "LEER-Datei"},
    };
    for (const auto& row : rows) {
        const std::string path = m_temp.file(row.name);
        EXPECT_EQ(m_fs.GetFile(path).Type, row.type) << row.name;
    }
    for (const File& file : m_fs.Files(m_fs.GetFolder(m_temp.path()))) {
        EXPECT_EQ(file.Type, m_fs.GetFile(file.Path).Type) << file.Name;
    }
}

TEST_F(PosixFileSystemTest, SymbolicLinksAreFollowed) {
    const std::string target = m_temp.folder("Ziel");
    m_temp.file("Ziel/teil.par");
    m_temp.file("echt.asm");
    m_temp.link("verweis.par", m_temp.at("Ziel/teil.par"));
    m_temp.link("Verweis auf Ziel", target);
    m_temp.link("kaputt.par", m_temp.at("fehlt.par"));
    m_temp.link("kaputter Ordner", m_temp.at("fehlt"));
    m_temp.link("schleife.par", m_temp.at("schleife.par"));
    m_temp.link("Ziel/zurück", m_temp.path());
    ASSERT_EQ(::mkfifo(m_temp.at("rohr.par").c_str(), 0644), 0);

    const Folder top = m_fs.GetFolder(m_temp.path());
    const auto files = m_fs.Files(top);
    EXPECT_EQ(namesOf(files), (std::vector<std::string>{"echt.asm", "verweis.par"}));
    EXPECT_EQ(files[1].Path, m_temp.at("verweis.par"));
    EXPECT_EQ(files[1].Type, "Solid Edge Part Document");

    const auto subs = m_fs.SubFolders(top);
    ASSERT_EQ(namesOf(subs), (std::vector<std::string>{"Verweis auf Ziel", "Ziel"}));
    EXPECT_EQ(subs[0].Path, m_temp.at("Verweis auf Ziel"));
    EXPECT_EQ(subs[0].Identity, subs[1].Identity);
    EXPECT_EQ(m_fs.GetFolder(subs[0].Path).Identity, subs[1].Identity);
    EXPECT_EQ(namesOf(m_fs.Files(subs[0])), std::vector<std::string>{"teil.par"});

    // A link back up the tree names a folder already on the path.
    const auto inner = m_fs.SubFolders(subs[1]);
    ASSERT_EQ(namesOf(inner), std::vector<std::string>{"zurück"});
    EXPECT_EQ(inner[0].Identity, top.Identity);
    EXPECT_NE(subs[1].Identity, top.Identity);
}

TEST_F(PosixFileSystemTest, ALinkWhoseTargetCannotBeLookedUpCostsTheFolderNothing) {
    m_temp.file("a.par");
    m_temp.folder("Unter");
    m_temp.link("kaputt.par", "/etc/passwd/x");                                  // ENOTDIR
    m_temp.link("zu lang.par", "/" + std::string(300, 'x'));                     // ENAMETOOLONG
    m_temp.link("zu lang", std::string(300, 'y') + "/" + std::string(300, 'z')); // ENAMETOOLONG
    m_temp.link("Datei als Ordner", m_temp.at("a.par") + "/innen");              // ENOTDIR
    const std::string closed = m_temp.folder("gesperrt");
    m_temp.file("gesperrt/b.par");
    m_temp.link("hinein.par", closed + "/b.par"); // EACCES for an unprivileged user
    m_temp.link("hinein", closed + "/innen");
    ::chmod(closed.c_str(), 0);
    test::expectUnprivileged([&]() -> std::string {
        const PosixFileSystem fs(m_types);
        const Folder top = fs.GetFolder(m_temp.path());
        std::string failures;
        const auto files = trapError([&] {
            if (namesOf(fs.Files(top)) != std::vector<std::string>{"a.par"}) {
                failures += "files other than a.par listed; ";
            }
            if (namesOf(fs.SubFolders(top)) != std::vector<std::string>{"gesperrt", "Unter"}) {
                failures += "sub-folders other than gesperrt and Unter listed; ";
            }
        });
        if (files) {
            failures += "the listing raised " + std::to_string(files->number()) + "; ";
        }
        return failures;
    });
}

TEST_F(PosixFileSystemTest, PseudoFileSystemsAreNeverEntered) {
    struct stat proc {};
    if (::stat("/proc/self", &proc) != 0) {
        GTEST_SKIP() << "no /proc on this system";
    }
    m_temp.folder("echt");
    m_temp.link("wurzel", "/");
    m_temp.link("prozesse", "/proc");
    m_temp.link("system", "/sys");
    const auto subs = m_fs.SubFolders(m_fs.GetFolder(m_temp.path()));
    EXPECT_EQ(namesOf(subs), (std::vector<std::string>{"echt", "wurzel"}));
    const Folder root = m_fs.GetFolder(m_temp.at("wurzel"));
    for (const std::string& name : namesOf(m_fs.SubFolders(root))) {
        EXPECT_NE(name, "proc");
        EXPECT_NE(name, "sys");
    }
}

TEST_F(PosixFileSystemTest, ExistenceFollowsLinks) {
    const std::string file = m_temp.file("a b.par");
    const std::string folder = m_temp.folder("Ä Ordner");
    const std::string fileLink = m_temp.link("zur Datei", file);
    const std::string folderLink = m_temp.link("zum Ordner", folder);
    const std::string broken = m_temp.link("kaputt", m_temp.at("fehlt"));
    const std::string loop = m_temp.link("schleife", m_temp.at("schleife"));
    const std::string pipe = m_temp.at("rohr");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    struct Row {
        std::string path;
        bool file;
        bool folder;
    };
    const Row rows[] = {
        {file, true, false},        {folder, false, true},
        {fileLink, true, false},    {folderLink, false, true},
        {broken, false, false},     {loop, false, false},
        {pipe, false, false},       {m_temp.at("fehlt"), false, false},
        {"", false, false},         {folder + "/", false, true},
        {file + "/", false, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(m_fs.FileExists(row.path), row.file) << row.path;
        EXPECT_EQ(m_fs.FolderExists(row.path), row.folder) << row.path;
    }
}

TEST_F(PosixFileSystemTest, GetFileRaises53ForWhatIsNoFile) {
    const std::string folder = m_temp.folder("Ordner");
    m_temp.link("kaputt.par", m_temp.at("fehlt.par"));
    const std::string paths[] = {m_temp.at("fehlt.par"), folder, m_temp.at("kaputt.par"),
                                 m_temp.at("fehlt/a.par"), ""};
    for (const auto& path : paths) {
        EXPECT_EQ(errorOf([&] { m_fs.GetFile(path); }), 53) << path;
    }
    const std::string linked = m_temp.link("Ordner/verweis.par", m_temp.file("echt.par"));
    const File file = m_fs.GetFile(linked);
    EXPECT_EQ(file.Path, linked);
    EXPECT_EQ(file.Name, "verweis.par");
    EXPECT_EQ(file.ParentFolder, folder);
}

TEST_F(PosixFileSystemTest, NamesThatAreNoUtf8KeepTheirBytes) {
    const std::string names[] = {"\xE4rger.txt", "bad\xFF.par", "\xC3(.asm", "\xFF\xFE"};
    for (const auto& name : names) {
        m_temp.file(name);
        m_temp.folder("Ordner/" + name);
    }
    const auto files = m_fs.Files(m_fs.GetFolder(m_temp.path()));
    ASSERT_EQ(files.size(), 4U);
    for (const File& file : files) {
        EXPECT_EQ(file.Path, m_temp.at(file.Name));
        EXPECT_TRUE(m_fs.FileExists(file.Path));
        EXPECT_EQ(m_fs.GetFile(file.Path).Name, file.Name);
    }
    std::vector<std::string> types;
    for (const File& file : files) {
        types.push_back(file.Name + "=" + file.Type);
    }
    std::sort(types.begin(), types.end());
    EXPECT_EQ(types, (std::vector<std::string>{"bad\xFF.par=Solid Edge Part Document",
                                               "\xC3(.asm=Solid Edge Assembly Document",
                                               "\xE4rger.txt=TXT-Datei", "\xFF\xFE=Datei"}));
    const auto subs = m_fs.SubFolders(m_fs.GetFolder(m_temp.at("Ordner")));
    ASSERT_EQ(subs.size(), 4U);
    EXPECT_EQ(namesOf(subs), namesOf(files));
    for (const Folder& sub : subs) {
        EXPECT_EQ(m_fs.GetFolder(sub.Path).Name, sub.Name);
    }
}

TEST_F(PosixFileSystemTest, LongestNamesWork) {
    // 255 bytes, the most a name may hold: 125 two-byte characters and ".parx".
    std::string name;
    for (int i = 0; i < 125; ++i) {
        name += "Ä";
    }
    name += ".parx";
    ASSERT_EQ(name.size(), 255U);
    m_temp.file(name);
    const std::string sub = m_temp.folder(name.substr(0, 250));
    const auto files = m_fs.Files(m_fs.GetFolder(m_temp.path()));
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(files[0].Name, name);
    EXPECT_EQ(files[0].Type, "PARX-Datei");
    EXPECT_EQ(m_fs.GetFolder(sub).Name, name.substr(0, 250));
}

TEST_F(PosixFileSystemTest, ListingAFolderThatHasGoneRaises76) {
    const Folder folder = m_fs.GetFolder(m_temp.folder("weg"));
    ASSERT_EQ(::rmdir(folder.Path.c_str()), 0);
    EXPECT_EQ(errorOf([&] { m_fs.Files(folder); }), 76);
    EXPECT_EQ(errorOf([&] { m_fs.SubFolders(folder); }), 76);
}

TEST_F(PosixFileSystemTest, TheRegistrysErrorsPassThrough) {
    m_temp.file("a.par");
    m_types.failOnce("par");
    EXPECT_EQ(errorOf([&] { m_fs.Files(m_fs.GetFolder(m_temp.path())); }), 57);
}

TEST_F(PosixFileSystemTest, DeniedFoldersRaise70) {
    const std::string closed = m_temp.folder("gesperrt");
    m_temp.file("gesperrt/innen/a.par");
    ::chmod(closed.c_str(), 0);
    test::expectUnprivileged([&]() -> std::string {
        const PosixFileSystem fs(m_types);
        std::string failures;
        const auto expect = [&](const char* name, std::int32_t wanted,
                                const std::function<void()>& body) {
            const std::int32_t number = errorOf(body);
            if (number != wanted) {
                failures += std::string(name) + " gave " + std::to_string(number) + "; ";
            }
        };
        const Folder folder = fs.GetFolder(closed);
        expect("Files", 70, [&] { fs.Files(folder); });
        expect("SubFolders", 70, [&] { fs.SubFolders(folder); });
        expect("GetFolder below", 70, [&] { fs.GetFolder(closed + "/innen"); });
        expect("GetFile below", 70, [&] { fs.GetFile(closed + "/innen/a.par"); });
        if (fs.FolderExists(closed + "/innen") || fs.FileExists(closed + "/innen/a.par")) {
            failures += "what cannot be reached exists; ";
        }
        // The folder around it still lists, with the closed folder in it.
        if (fs.SubFolders(fs.GetFolder(m_temp.path())).size() != 1) {
            failures += "the parent lost its sub-folder; ";
        }
        return failures;
    });
}

} // namespace
} // namespace ostrevan
