#pragma once

#include <cstdint>

namespace ostrevan {

struct MainForm;

// The three choices that steer a scan. -1 in a field: not set yet. Writing Dokumentyp also
// switches "&Weiter >" and the recursion check box of the main window, synchronously.
class clsSettings final {
public:
    explicit clsSettings(MainForm& form);

    std::int32_t Dokumentyp() const { return m_dokumentyp; }
    void setDokumentyp(std::int32_t vNewValue);
    std::int32_t Rekurisv() const { return m_rekurisv; }
    void setRekurisv(std::int32_t vNewValue) { m_rekurisv = vNewValue; }
    std::int32_t ReferenzTyp() const { return m_referenzTyp; }
    void setReferenzTyp(std::int32_t vNewValue) { m_referenzTyp = vNewValue; }

    // Takes over the selection page: 0 a document, 1 a folder.
    void SetSettings(const std::int32_t& Doktyp);

private:
    MainForm& m_form;
    std::int32_t m_dokumentyp = -1;
    std::int32_t m_rekurisv = -1;
    std::int32_t m_referenzTyp = -1;
};

} // namespace ostrevan
