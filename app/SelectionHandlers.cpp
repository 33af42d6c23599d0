// The handlers of the selection page: "Datei", "Verzeichnis", the recursion check box and the
// reference-type box. The document field is written only by the two buttons.

#include "app/frmMain.h"

#include "app/modBrowseFolder.h"
#include "platform/Controls.h"
#include "platform/Error.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "scan/MainForm.h"
#include "scan/clsSettings.h"

#include <QComboBox>
#include <QLineEdit>

namespace ostrevan {
namespace {

const OpenFileRequest& documentRequest() {
    static const OpenFileRequest request{
        "SolidEdge Dokument wählen",
        ofn::OverwritePrompt | ofn::HideReadOnly | ofn::PathMustExist | ofn::FileMustExist |
            ofn::LongNames,
        "SolidEdge Dokumente|*.par;*.psm;*.asm;*.dft;*.pwd|Alle Dateien|*", true};
    return request;
}

bool isSolidEdgeType(const std::string& typeDescription) {
    return upperCase(typeDescription).find(upperCase("Solid Edge")) != std::string::npos;
}

} // namespace

void frmMain::discardTyping() {
    // Read-only fields refuse every edit, typed, pasted, dropped or offered by their menus,
    // and still take focus, navigation keys and copying.
    m_txt_SEDokument->setReadOnly(true);
    m_com_RefType->lineEdit()->setReadOnly(true);
}

void frmMain::btn_File_Click() {
    const std::optional<Error> error = trapError([this] {
        const std::string path = m_services.fileDialog.ShowOpen(documentRequest());
        if (!isSolidEdgeType(m_services.fileSystem.GetFile(path).Type)) {
            m_services.messageBox.show("Nur SolidEdge können gewählt werden.");
            return;
        }
        Settings().SetSettings(0);
        form().txt_SEDokument.setText(path);
    });
    if (error && error->number() != err::Cancelled) {
        m_services.messageBox.show(trapMessage("btn_File_Click() ", *error, "  "));
    }
}

void frmMain::btn_Folder_Click() {
    const std::optional<Error> error = trapError([this] {
        const std::string path =
            BrowseFolder(m_services.folderChooser, m_errorhandler, "Bitte Verzeichnis wählen");
        if (m_services.fileSystem.FolderExists(path)) {
            form().txt_SEDokument.setText(path);
            Settings().SetSettings(1);
        }
    });
    if (error) {
        m_services.messageBox.show(trapMessage("btn_Folder_Click() ", *error, " "));
    }
}

void frmMain::chk_FolderRekursiv_Click() {
    Settings().setRekurisv(form().chk_FolderRekursiv.value());
}

void frmMain::com_RefType_Click() {
    Settings().setReferenzTyp(textToInt32(leftText(form().com_RefType.text(), 1)));
}

} // namespace ostrevan
