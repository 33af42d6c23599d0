#pragma once

#include "platform/FileDialog.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace ostrevan {

// The open-file dialog over QFileDialog: the desktop's native dialog where it has one, Qt's
// own otherwise; modal, over its owner. It opens in the folder of the last file chosen, at
// first in the user's home folder.
class QtFileDialog final : public FileDialog {
public:
    QtFileDialog();

    // The window the dialog is shown over; until set, or once it is gone, the dialog has none.
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::string ShowOpen(const OpenFileRequest& request) override;

private:
    QPointer<QWidget> m_owner;
    QString m_folder;
};

// The common dialog's filter "description|pattern;pattern|..." as Qt's name filters
// "description (pattern pattern)".
QStringList nameFilters(const std::string& filter);

} // namespace ostrevan
