// The result page's "Export" and the button row's "&Hilfe".

#include "app/frmMain.h"

#include "app/frmHelp.h"
#include "platform/ReportFolder.h"
#include "scan/ExportReference.h"

namespace ostrevan {

void frmMain::btn_export_Click() {
    ostrevan::btn_export_Click(*m_context, m_services.shell,
                               reportFolder(m_services.programFolder));
}

void frmMain::btn_Help_Click() {
    {
        frmHelp help(m_services.screen);
        help.exec();
    }
    // The help window is gone; the main window is active again.
    Form_Activate();
}

} // namespace ostrevan
