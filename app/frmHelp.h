#pragma once

// The help window: the maker's web site, the program's name and version and a notice. It is
// made for one showing and destroyed when closed, so every showing starts afresh. Geometry is
// designed in twips.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace ostrevan {

class Screen;

class frmHelp final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmHelp)

public:
    // Loads the window, parentless and application-modal: builds its controls and runs
    // Form_Load, which centres it on screen.
    explicit frmHelp(const Screen& screen);
    ~frmHelp() override;

private:
    void Form_Load(const Screen& screen);
    void btn_Abbruch_Click();

    QPushButton* m_btn_Abbruch = nullptr;
    QListWidget* m_List1 = nullptr;
};

} // namespace ostrevan
