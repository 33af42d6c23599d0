#include "scan/modGlobal.h"

#include "platform/Controls.h"
#include "scan/MainForm.h"
#include "scan/ScanContext.h"
#include "scan/clsSettings.h"

namespace ostrevan {

void EnableFolderRekursiv(MainForm& form, const bool& enabled) {
    form.chk_FolderRekursiv.setEnabled(enabled);
}

ResultColumnWidths resultColumnWidths(double listWidthTwips) {
    constexpr double anzahl = 700;
    const double wide = (listWidthTwips - anzahl) / 2;
    return {anzahl, wide, wide};
}

void runSelectedScan(ScanContext& context, ScanProcedures& procedures) {
    std::string path = context.form.txt_SEDokument.text();
    if (context.Settings.Dokumentyp() == 1) {
        DocumentFileList files;
        std::int32_t count = 0;
        procedures.RekursivFolder(path, files, count);
        procedures.ReadReference(path, files, count);
    } else {
        procedures.GetFileReferenz();
    }
}

void btn_ReferenzView_Click(ScanContext& context, ScanProcedures& procedures) {
    MainForm& form = context.form;
    form.ListView1.clear();
    context.mousePointer.setPointer(MousePointer::Hourglass);
    try {
        runSelectedScan(context, procedures);
    } catch (...) {
        // Not trapped here, but the hourglass must not stay over the error message.
        context.mousePointer.setPointer(MousePointer::Default);
        throw;
    }
    context.mousePointer.setPointer(MousePointer::Default);
    const bool found = form.ListView1.count() > 0;
    form.btn_export.setEnabled(found);
    if (!found) {
        context.messageBox.show("Es konnten keine Referenzen gefunden werden.");
    }
}

void ModGlobalProcedures::GetFileReferenz() {
    ostrevan::GetFileReferenz(m_context);
}

} // namespace ostrevan
