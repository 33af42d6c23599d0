#include "scan/clsSettings.h"

#include "tests/support/Fakes.h"

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

using fakes::FakeForm;

TEST(clsSettings, NewInstanceReadsMinusOne) {
    FakeForm fake;
    const clsSettings settings(fake.form);
    EXPECT_EQ(settings.Dokumentyp(), -1);
    EXPECT_EQ(settings.Rekurisv(), -1);
    EXPECT_EQ(settings.ReferenzTyp(), -1);
}

TEST(clsSettings, DokumentypEnablesWeiterAndTheCheckBoxOnlyForAFolder) {
    const std::pair<std::int32_t, bool> rows[] = {{0, false}, {1, true}, {-1, false}, {5, false}};
    for (const auto& [value, checkBoxEnabled] : rows) {
        FakeForm fake;
        fake.btn_Weiter.isEnabled = false;
        fake.chk_FolderRekursiv.isEnabled = !checkBoxEnabled;
        clsSettings settings(fake.form);
        settings.setDokumentyp(value);
        EXPECT_EQ(settings.Dokumentyp(), value);
        EXPECT_TRUE(fake.btn_Weiter.isEnabled) << value;
        EXPECT_EQ(fake.chk_FolderRekursiv.isEnabled, checkBoxEnabled) << value;
    }
}

TEST(clsSettings, SetSettingsForAFolderTakesTheReferenceTypeFromTheComboText) {
    const std::pair<const char*, std::int32_t> rows[] = {
        {"1 - Alle Referenzen anzeigen", 1},
        {"0 - Referenzen ausserhalb des gwählten Verzeichnis anzeigen", 0},
        {"x - kein Typ", 0},
        {"", 0},
    };
    for (const auto& [text, expected] : rows) {
        FakeForm fake;
        fake.com_RefType.editText = text;
        fake.chk_FolderRekursiv.checked = 0;
        clsSettings settings(fake.form);
        const std::int32_t folder = 1;
        settings.SetSettings(folder);
        EXPECT_EQ(settings.ReferenzTyp(), expected) << text;
        EXPECT_EQ(settings.Rekurisv(), 0);
        EXPECT_EQ(settings.Dokumentyp(), 1);
        EXPECT_EQ(folder, 1);
    }
}

TEST(clsSettings, SetSettingsForADocumentKeepsTheReferenceType) {
    FakeForm fake;
    fake.com_RefType.editText = "1 - Alle Referenzen anzeigen";
    clsSettings settings(fake.form);
    settings.SetSettings(0);
    EXPECT_EQ(settings.ReferenzTyp(), -1);
    EXPECT_EQ(settings.Rekurisv(), 1);
    settings.setReferenzTyp(0);
    settings.SetSettings(0);
    EXPECT_EQ(settings.ReferenzTyp(), 0);
    EXPECT_FALSE(fake.chk_FolderRekursiv.isEnabled);
}

} // namespace
} // namespace ostrevan
