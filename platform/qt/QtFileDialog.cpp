#include "platform/qt/QtFileDialog.h"

#include "platform/Error.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace ostrevan {

QtFileDialog::QtFileDialog() : m_folder(QDir::homePath()) {}

std::string QtFileDialog::ShowOpen(const OpenFileRequest& request) {
    QFileDialog dialog(m_owner.data(), QString::fromStdString(request.title), m_folder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & ofn::FileMustExist) != 0 ? QFileDialog::ExistingFile
                                                                 : QFileDialog::AnyFile);
    dialog.setNameFilters(nameFilters(request.filter));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString chosen = dialog.selectedFiles().constFirst();
        m_folder = QFileInfo(chosen).absolutePath();
        return chosen.toStdString();
    }
    if (request.cancelError) {
        raise(err::Cancelled);
    }
    return {};
}

QStringList nameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

} // namespace ostrevan
