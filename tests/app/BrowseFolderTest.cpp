#include "app/modBrowseFolder.h"

#include "errors/modErrorhandler.h"
#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using fakes::FakeFolderChooser;

struct FolderValueCase {
    std::int16_t folder;
    std::int32_t value;
};

class FolderValues : public ::testing::TestWithParam<FolderValueCase> {};

TEST_P(FolderValues, MapToSpecialFolderNumbers) {
    modErrorhandler errors;
    EXPECT_EQ(GetFolderValue(errors, GetParam().folder), GetParam().value);
    EXPECT_EQ(errors.lastNumber(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, FolderValues,
                         ::testing::Values(FolderValueCase{0, 0}, FolderValueCase{1, 0},
                                           FolderValueCase{-5, 0}, FolderValueCase{-32768, 0},
                                           FolderValueCase{2, 2}, FolderValueCase{11, 11},
                                           FolderValueCase{12, 16}, FolderValueCase{20, 24},
                                           FolderValueCase{32763, 32767}));

TEST(GetFolderValue, OverflowsFrom32764On) {
    for (const std::int16_t folder : {std::int16_t{32764}, std::int16_t{32767}}) {
        modErrorhandler errors;
        try {
            GetFolderValue(errors, folder);
            ADD_FAILURE() << folder << " gave no error";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), err::Overflow) << folder;
            EXPECT_EQ(error.source(), "Tavrosk.modBrowseFolder.GetFolderValue(10)");
            EXPECT_EQ(error.description(), "Überlauf");
        }
        EXPECT_EQ(errors.lastSource(), "Tavrosk.modBrowseFolder.GetFolderValue(10)");
        EXPECT_EQ(errors.lastDescription(), "Überlauf");
        EXPECT_EQ(errors.lastNumber(), err::Overflow);
    }
}

TEST(GetFolderValue, ItsStampSurvivesTheTrapOfBrowseFolder) {
    // The folder browser's step 10 asks for a folder value; an overflow there passes through
    // the trap of BrowseFolder as GetFolderValue stamped it.
    modErrorhandler errors;
    try {
        try {
            GetFolderValue(errors, 32764);
        } catch (...) {
            raiseStamped(errors, "Tavrosk.modBrowseFolder.BrowseFolder(10)");
        }
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::Overflow);
        EXPECT_EQ(error.source(), "Tavrosk.modBrowseFolder.GetFolderValue(10)");
    }
    EXPECT_EQ(errors.lastSource(), "Tavrosk.modBrowseFolder.GetFolderValue(10)");
}

class BrowseFolderTest : public ::testing::Test {
protected:
    std::string browse() { return BrowseFolder(chooser, errors, "Bitte Verzeichnis wählen"); }

    FakeFolderChooser chooser;
    modErrorhandler errors;
};

TEST_F(BrowseFolderTest, ReturnsTheChosenFoldersPath) {
    chooser.choose("/home/jürgen/Zeichnungen 2024");
    EXPECT_EQ(browse(), "/home/jürgen/Zeichnungen 2024");
    EXPECT_EQ(chooser.askedFolders, std::vector<std::int32_t>{0}) << "the desktop";
    ASSERT_EQ(chooser.requests.size(), 1U);
    EXPECT_EQ(chooser.requests.front().title, "Bitte Verzeichnis wählen");
    ASSERT_TRUE(chooser.requests.front().root.has_value());
    EXPECT_EQ(chooser.requests.front().root->url, "file:///");
}

TEST_F(BrowseFolderTest, ReturnsNothingWhenCancelledOrTheChoiceHasNoPath) {
    EXPECT_EQ(browse(), "");
    chooser.chosen = FolderItem{"computer:///"};
    EXPECT_EQ(browse(), "");
    EXPECT_EQ(errors.lastNumber(), 0);
}

TEST_F(BrowseFolderTest, WithoutARootTheChooserOpensAtItsOwnTop) {
    chooser.knowsDesktop = false;
    chooser.choose("/srv");
    EXPECT_EQ(browse(), "/srv");
    ASSERT_EQ(chooser.requests.size(), 1U);
    EXPECT_FALSE(chooser.requests.front().root.has_value());
}

struct StepCase {
    const char* member;
    const char* source;
};

class BrowseFolderSteps : public BrowseFolderTest,
                          public ::testing::WithParamInterface<StepCase> {};

TEST_P(BrowseFolderSteps, AnErrorIsStampedWithTheStepInProgress) {
    chooser.failingMember = GetParam().member;
    chooser.failure = Error(err::PathNotFound);
    chooser.choose("/daten");
    try {
        browse();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 76);
        EXPECT_EQ(error.source(), GetParam().source);
        EXPECT_EQ(error.description(), "Pfad nicht gefunden");
    }
    EXPECT_EQ(errors.lastSource(), GetParam().source);
    EXPECT_EQ(errors.lastDescription(), "Pfad nicht gefunden");
    EXPECT_EQ(errors.lastNumber(), 76);
}

INSTANTIATE_TEST_SUITE_P(
    Members, BrowseFolderSteps,
    ::testing::Values(StepCase{"SpecialFolderLocation", "Tavrosk.modBrowseFolder.BrowseFolder(10)"},
                      StepCase{"BrowseForFolder", "Tavrosk.modBrowseFolder.BrowseFolder(30)"},
                      StepCase{"GetPathFromIDList", "Tavrosk.modBrowseFolder.BrowseFolder(40)"}),
    [](const auto& info) { return std::string(info.param.member); });

TEST_F(BrowseFolderTest, AnErrorOfAnotherComponentPassesUnchanged) {
    chooser.failingMember = "BrowseForFolder";
    chooser.failure = Error(-2147221164, "Shell32", "Klasse nicht registriert");
    try {
        browse();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), -2147221164);
        EXPECT_EQ(error.source(), "Shell32");
        EXPECT_EQ(error.description(), "Klasse nicht registriert");
    }
    EXPECT_EQ(errors.lastSource(), "");
    EXPECT_EQ(errors.lastNumber(), 0);
}

} // namespace
} // namespace ostrevan
