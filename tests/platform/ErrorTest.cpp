#include "platform/Error.h"

#include <gtest/gtest.h>

#include <new>
#include <system_error>

namespace ostrevan {
namespace {

TEST(Error, NumberAloneTakesProgramSourceAndGermanText) {
    const Error error(53);
    EXPECT_EQ(error.number(), 53);
    EXPECT_EQ(error.source(), "Ostrevan");
    EXPECT_EQ(error.description(), "Datei nicht gefunden");
}

TEST(Error, TableHoldsTheRuntimeTexts) {
    const std::pair<int, const char*> rows[] = {
        {5, "Unzulässiger Prozeduraufruf oder ungültiges Argument"},
        {6, "Überlauf"},
        {7, "Nicht genügend Speicher"},
        {9, "Index außerhalb des gültigen Bereichs"},
        {13, "Typen unverträglich"},
        {57, "Fehler beim Geräte-E/A"},
        {61, "Datenträger voll"},
        {70, "Zugriff verweigert"},
        {75, "Fehler beim Zugriff auf Pfad/Datei"},
        {76, "Pfad nicht gefunden"},
        {91, "Objektvariable oder With-Blockvariable nicht festgelegt"},
        {321, "Ungültiges Dateiformat"},
        {424, "Objekt erforderlich"},
        {429, "Objekterstellung durch ActiveX-Komponente nicht möglich"},
        {12345, "Anwendungs- oder objektdefinierter Fehler"},
    };
    for (const auto& [number, text] : rows) {
        EXPECT_EQ(errorDescription(number), text) << number;
    }
}

TEST(Error, CaughtErrorMapsStandardExceptions) {
    const auto mapped = [](auto&& thrower) {
        try {
            thrower();
        } catch (...) {
            return caughtError().number();
        }
        return 0;
    };
    EXPECT_EQ(mapped([] { throw std::bad_alloc(); }), 7);
    EXPECT_EQ(mapped([] { throw std::system_error(ENOENT, std::generic_category()); }), 53);
    EXPECT_EQ(mapped([] { throw std::system_error(EACCES, std::generic_category()); }), 70);
    EXPECT_EQ(mapped([] { throw std::system_error(ENOSPC, std::generic_category()); }), 61);
    EXPECT_EQ(mapped([] { throw std::logic_error("x"); }), 51);
    EXPECT_EQ(mapped([] { throw 42; }), 51);
    EXPECT_EQ(mapped([] { raise(6, "Quelle", "Text"); }), 6);
}

TEST(Error, TrapErrorKeepsSourceAndDescription) {
    const auto error = trapError([] { raise(424, "cSysRegistry:HasKey", "Beschreibung"); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->source(), "cSysRegistry:HasKey");
    EXPECT_EQ(error->description(), "Beschreibung");
    EXPECT_FALSE(trapError([] {}).has_value());
}

TEST(Error, MessagesHaveTheirLayout) {
    EXPECT_EQ(trapMessage("GetFileReferenz() ", Error(429), " "),
              "GetFileReferenz() Objekterstellung durch ActiveX-Komponente nicht möglich 429");
    EXPECT_EQ(trapMessage("btn_File_Click() ", Error(-5, "x", "Neg"), "  "),
              "btn_File_Click() Neg  -5");
    EXPECT_EQ(standardErrorMessage(Error(13)), "Laufzeitfehler '13':\n\nTypen unverträglich");
}

} // namespace
} // namespace ostrevan
