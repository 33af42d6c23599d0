#include "tests/app/SelectionWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace ostrevan::test {

SelectionWindow::SelectionWindow() {
    types.add("par", "Solid Edge Part Document");
    types.add("psm", "Solid Edge Sheet Metal Document");
    types.add("asm", "Solid Edge Assembly Document");
    types.add("txt", "Textdokument");
    window = std::make_unique<frmMain>(
        MainWindowServices{messages, pointer, screen, automation, fileSystem, shell, fileDialog,
                           folderChooser, temp.path(), [this](int code) {
                               exitCodes.push_back(code);
                           }});
}

void SelectionWindow::click(const char* name) {
    auto& button = child<QPushButton>(name);
    ASSERT_TRUE(button.isEnabled()) << name;
    QTest::mouseClick(&button, Qt::LeftButton);
}

bool SelectionWindow::enabled(const char* name) {
    return child<QWidget>(name).isEnabled();
}

bool SelectionWindow::checked() {
    return child<QCheckBox>("chk_FolderRekursiv").isChecked();
}

std::string SelectionWindow::documentField() {
    return child<QLineEdit>("txt_SEDokument").text().toStdString();
}

std::string SelectionWindow::comboText() {
    return child<QComboBox>("com_RefType").currentText().toStdString();
}

void SelectionWindow::toSelectionPage() {
    click("btn_Weiter");
}

void SelectionWindow::chooseDocument(const std::string& path) {
    fileDialog.chosen = path;
    click("btn_File");
}

void SelectionWindow::chooseFolder(const std::string& path) {
    folderChooser.choose(path);
    click("btn_Folder");
}

} // namespace ostrevan::test
