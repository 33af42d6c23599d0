#include "platform/CachedFileTypes.h"

#include "platform/Error.h"
#include "platform/posix/PosixFileSystem.h"
#include "tests/support/FakeFileTypes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

TEST(CachedFileTypes, AsksTheStoreOncePerExtensionWhateverItsCase) {
    test::FakeFileTypes store;
    store.add("par", "Solid Edge Part Document");
    const CachedFileTypes cache(store);
    for (const char* extension : {"par", "PAR", "Par", "txt", "TXT", "par", "txt"}) {
        (void)cache.description(extension);
    }
    EXPECT_EQ(store.asked(), (std::vector<std::string>{"par", "txt"}));
    EXPECT_EQ(cache.description("pAR"), "Solid Edge Part Document");
    EXPECT_EQ(cache.description("Txt"), std::nullopt);
    EXPECT_EQ(store.asked().size(), 2U);
}

TEST(CachedFileTypes, UpperCasesUmlautsForTheKey) {
    test::FakeFileTypes store;
    store.add("äpfel", "Obst");
    const CachedFileTypes cache(store);
    EXPECT_EQ(cache.description("ÄPFEL"), "Obst");
    EXPECT_EQ(cache.description("äpfel"), "Obst");
    EXPECT_EQ(store.asked().size(), 1U);
}

TEST(CachedFileTypes, AFailedQuestionIsAskedAgain) {
    test::FakeFileTypes store;
    store.add("asm", "Solid Edge Assembly Document");
    store.failOnce("asm");
    const CachedFileTypes cache(store);
    const auto error = trapError([&] { (void)cache.description("asm"); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), 57);
    EXPECT_EQ(cache.description("asm"), "Solid Edge Assembly Document");
    EXPECT_EQ(store.asked().size(), 2U);
}

TEST(CachedFileTypes, AFolderOfManyFilesCostsOneQuestionPerExtension) {
    const test::TempFolder temp;
    const char* extensions[] = {"par", "PAR", "asm", "Dft", "txt", "cfg"};
    for (int i = 0; i < 600; ++i) {
        temp.file("teil " + std::to_string(i) + "." + extensions[i % 6]);
    }
    test::FakeFileTypes store;
    store.add("par", "Solid Edge Part Document");
    const PosixFileSystem fs(store);
    const auto files = fs.Files(fs.GetFolder(temp.path()));
    ASSERT_EQ(files.size(), 600U);
    EXPECT_EQ(store.asked().size(), 5U);
    fs.Files(fs.GetFolder(temp.path()));
    EXPECT_EQ(store.asked().size(), 10U) << "a registry change shows at the next listing";
    int parts = 0;
    for (const File& file : files) {
        parts += file.Type == "Solid Edge Part Document" ? 1 : 0;
    }
    EXPECT_EQ(parts, 200);
    // Each spelling of an extension has the type the file would have on its own.
    for (const File& file : files) {
        EXPECT_EQ(file.Type, FileSystem::TypeOf(store, file.Name)) << file.Name;
    }
}

} // namespace
} // namespace ostrevan
