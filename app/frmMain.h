#pragma once

// The main window, a three-page wizard. Data flows one way: the selection page's handlers
// write the choice into Settings (clsSettings), "Anzeigen" hands the window's controls, as a
// MainForm of adapters, to the scan driver in scan/, which fills the result list; "Export"
// reads it back. The logic never sees a Qt type. Geometry is designed in twips.

#include "errors/modErrorhandler.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace ostrevan {

class Automation;
class FileDialog;
class FileSystem;
class FolderChooser;
class MessageBox;
class MousePointer;
class ResultListModel;
class Screen;
class Shell;
class clsSettings;
struct MainForm;
struct ScanContext;
class ScanProcedures;

// The outside services the window uses; the caller owns them and keeps them alive.
struct MainWindowServices {
    MessageBox& messageBox;
    MousePointer& mousePointer;
    const Screen& screen;
    const Automation& automation;
    const FileSystem& fileSystem;
    Shell& shell;
    FileDialog& fileDialog;
    FolderChooser& folderChooser;
    // The folder of the program's executable.
    std::string programFolder;
    // Ends the program with an exit code after an untrapped error.
    std::function<void(int)> endProgram;
};

class frmMain final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmMain)

public:
    // Loads the window: builds its controls and runs Form_Load.
    explicit frmMain(MainWindowServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    MainForm& form() { return *m_form; }
    clsSettings& Settings() { return *m_settings; }
    // The scan procedures "Anzeigen" runs; tests replace them.
    void setScanProcedures(std::unique_ptr<ScanProcedures> procedures);
    // The error routine's state: the last error the folder browser recorded.
    const modErrorhandler& errorhandler() const { return m_errorhandler; }

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Adapters;

    void buildBanner();
    void buildPages();
    void buildWelcomePage(QWidget& page);
    void buildSelectionPage(QWidget& page);
    void buildResultPage(QWidget& page);
    void buildButtonRow();
    void connectHandlers();
    // Runs a handler; an untrapped error shows the standard message and ends the program.
    void handle(void (frmMain::*handler)());

    void Form_Load();
    void Form_Activate();
    void btn_Weiter_Click();
    void btn_zurueck_Click();
    void btn_Abbruch_Click();
    void btn_ReferenzView_Click();
    void btn_export_Click();
    void btn_Help_Click();

    // Selection page, in SelectionHandlers.cpp.
    void btn_File_Click();
    void btn_Folder_Click();
    void chk_FolderRekursiv_Click();
    void com_RefType_Click();
    // txt_SEDokument_KeyPress and com_RefType_KeyPress: no typing reaches the two fields.
    void discardTyping();

    MainWindowServices m_services;
    modErrorhandler m_errorhandler;

    QStackedWidget* m_SSTab1 = nullptr;
    QPushButton* m_btn_Help = nullptr;
    QPushButton* m_btn_zurueck = nullptr;
    QPushButton* m_btn_Weiter = nullptr;
    QPushButton* m_btn_Abbruch = nullptr;
    QLineEdit* m_txt_SEDokument = nullptr;
    QPushButton* m_btn_File = nullptr;
    QPushButton* m_btn_Folder = nullptr;
    QCheckBox* m_chk_FolderRekursiv = nullptr;
    QComboBox* m_com_RefType = nullptr;
    QTableView* m_ListView1 = nullptr;
    ResultListModel* m_results = nullptr;
    QLabel* m_lbl_references = nullptr;
    QLabel* m_lbl_CheckRef = nullptr;
    QPushButton* m_btn_ReferenzView = nullptr;
    QPushButton* m_btn_export = nullptr;

    std::unique_ptr<Adapters> m_adapters;
    std::unique_ptr<MainForm> m_form;
    std::unique_ptr<clsSettings> m_settings;
    std::unique_ptr<ScanContext> m_context;
    std::unique_ptr<ScanProcedures> m_procedures;
};

} // namespace ostrevan
