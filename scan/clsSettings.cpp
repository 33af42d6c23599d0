#include "scan/clsSettings.h"

#include "platform/Controls.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "scan/MainForm.h"

namespace ostrevan {

clsSettings::clsSettings(MainForm& form) : m_form(form) {}

void clsSettings::setDokumentyp(std::int32_t vNewValue) {
    m_dokumentyp = vNewValue;
    m_form.btn_Weiter.setEnabled(true);
    m_form.chk_FolderRekursiv.setEnabled(vNewValue == 1);
}

void clsSettings::SetSettings(const std::int32_t& Doktyp) {
    setRekurisv(m_form.chk_FolderRekursiv.value());
    setDokumentyp(Doktyp);
    if (Doktyp == 1) {
        setReferenzTyp(roundToInt32(leadingNumber(leftText(m_form.com_RefType.text(), 1))));
    }
}

} // namespace ostrevan
