#pragma once

// The error dialog: apologises for an error, shows its source, number and description, and
// offers the e-mail report ("Senden") and the maker's web site. Geometry is designed in twips.

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace ostrevan {

class MessageBox;
class MousePointer;
class RegistryFunctions;
class Screen;
class Shell;
struct ErrorFields;

// The outside services the dialog uses; the caller owns them and keeps them alive.
struct ErrorDialogServices {
    MessageBox& messageBox;
    MousePointer& mousePointer;
    const Screen& screen;
    Shell& shell;
    // Read for the version text of the report.
    RegistryFunctions& registry;
    // Ends the program with an exit code after an untrapped error.
    std::function<void(int)> endProgram;
};

class frmErrorMessage final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmErrorMessage)

public:
    // Loads the dialog with its initial texts and centres it. Create it with new: unloading it
    // ("Abbruch" or the close box) destroys it.
    explicit frmErrorMessage(ErrorDialogServices services, QWidget* parent = nullptr);
    ~frmErrorMessage() override;

    // The three error fields, for whoever fills them.
    const ErrorFields& fields() const { return *m_fields; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Adapters;

    void buildBanner();
    void buildMessage();
    void buildErrorFrame();
    void buildFooter();
    void handle(void (frmErrorMessage::*handler)());

    void Form_Load();
    void btn_Command1_Click();
    void btn_errorSend_Click();
    void lblURL_Click();

    ErrorDialogServices m_services;

    QLabel* m_lbl_errSource = nullptr;
    QLabel* m_lbl_errNumber = nullptr;
    QLabel* m_lbl_errDescription = nullptr;
    QLabel* m_lblURL = nullptr;
    QPushButton* m_btn_errorSend = nullptr;
    QPushButton* m_btn_Command1 = nullptr;

    std::unique_ptr<Adapters> m_adapters;
    std::unique_ptr<ErrorFields> m_fields;
};

} // namespace ostrevan
