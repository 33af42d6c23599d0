#include "errors/modErrorhandler.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

const std::string kBrowse = "Tavrosk.modBrowseFolder.BrowseFolder(40)";

struct StampingCase {
    const char* name;
    std::string source;
    bool stamped;
};

class MessageErrorStamping : public ::testing::TestWithParam<StampingCase> {};

TEST_P(MessageErrorStamping, StampsOnlyTheProgramsOwnErrors) {
    const StampingCase& row = GetParam();
    modErrorhandler errors;
    Error error(76, row.source, "Pfad nicht gefunden");
    errors.MessageError(error, kBrowse, "neue Beschreibung");

    if (row.stamped) {
        EXPECT_EQ(error.source(), kBrowse);
        EXPECT_EQ(error.description(), "neue Beschreibung");
        EXPECT_EQ(errors.lastSource(), kBrowse);
        EXPECT_EQ(errors.lastDescription(), "neue Beschreibung");
        EXPECT_EQ(errors.lastNumber(), 76);
    } else {
        EXPECT_EQ(error.source(), row.source);
        EXPECT_EQ(error.description(), "Pfad nicht gefunden");
        EXPECT_EQ(errors.lastSource(), "");
        EXPECT_EQ(errors.lastDescription(), "");
        EXPECT_EQ(errors.lastNumber(), 0);
    }
    EXPECT_EQ(error.number(), 76) << "the number never changes";
}

INSTANTIATE_TEST_SUITE_P(
    Sources, MessageErrorStamping,
    ::testing::Values(
        StampingCase{"ProgramName", "Ostrevan", true},
        StampingCase{"AllCapitals", "OSTREVAN", true}, StampingCase{"AllSmall", "ostrevan", true},
        StampingCase{"MixedCase", "oStReVaN", true},
        StampingCase{"Registry", "cSysRegistry:QueryValue", false},
        StampingCase{"AutomationServer", "RevisionManager.Application", false},
        StampingCase{"StampedBefore", "Tavrosk.modBrowseFolder.GetFolderValue(10)", false},
        StampingCase{"Empty", "", false}, StampingCase{"NameWithBlank", "Ostrevan ", false},
        StampingCase{"NamePrefix", "Ostrevan.exe", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageError, KeepsTheLastRecordedErrorWhenTheNextIsNotStamped) {
    modErrorhandler errors;
    Error first(6);
    errors.MessageError(first, "Tavrosk.modBrowseFolder.GetFolderValue(10)", "Überlauf");
    Error foreign(429, "QZVSEObject.Application", "nicht registriert");
    errors.MessageError(foreign, kBrowse, "nicht registriert");

    EXPECT_EQ(errors.lastSource(), "Tavrosk.modBrowseFolder.GetFolderValue(10)");
    EXPECT_EQ(errors.lastDescription(), "Überlauf");
    EXPECT_EQ(errors.lastNumber(), 6);

    Error second(-2147024894, "Ostrevan", "Das System kann die Datei nicht finden.");
    errors.MessageError(second, kBrowse, second.description());
    EXPECT_EQ(errors.lastSource(), kBrowse) << "every stamped error overwrites the record";
    EXPECT_EQ(errors.lastDescription(), "Das System kann die Datei nicht finden.");
    EXPECT_EQ(errors.lastNumber(), -2147024894);
    EXPECT_EQ(second.description(), "Das System kann die Datei nicht finden.");
}

Error stampedBy(modErrorhandler& errors, const std::string& source, auto&& body) {
    try {
        try {
            body();
        } catch (...) {
            raiseStamped(errors, source);
        }
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "nothing was raised";
    return Error(0);
}

TEST(RaiseStamped, RaisesTheErrorAgainWithItsNewSource) {
    modErrorhandler errors;
    const Error raised = stampedBy(errors, kBrowse, [] { raise(err::PathNotFound); });
    EXPECT_EQ(raised.number(), 76);
    EXPECT_EQ(raised.source(), kBrowse);
    EXPECT_EQ(raised.description(), "Pfad nicht gefunden");
    EXPECT_EQ(errors.lastSource(), kBrowse);
    EXPECT_EQ(errors.lastNumber(), 76);
}

TEST(RaiseStamped, TheInnerProceduresStampSurvivesTheOuterTrap) {
    modErrorhandler errors;
    const std::string inner = "Tavrosk.modBrowseFolder.GetFolderValue(10)";
    const Error raised = stampedBy(errors, kBrowse, [&] {
        try {
            raise(err::Overflow);
        } catch (...) {
            raiseStamped(errors, inner);
        }
    });
    EXPECT_EQ(raised.number(), 6);
    EXPECT_EQ(raised.source(), inner);
    EXPECT_EQ(raised.description(), "Überlauf");
    EXPECT_EQ(errors.lastSource(), inner) << "the outer call records nothing";
    EXPECT_EQ(errors.lastDescription(), "Überlauf");
    EXPECT_EQ(errors.lastNumber(), 6);
}

} // namespace
} // namespace ostrevan
