#include "platform/qt/QtServices.h"

#include "platform/Error.h"
#include "platform/qt/QtText.h"
#include "platform/qt/Twips.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QUrl>

namespace ostrevan {

void QtMessageBox::show(const std::string& text) {
    QMessageBox box(
        QMessageBox::NoIcon,
        QString::fromUtf8(kProgramName.data(), static_cast<qsizetype>(kProgramName.size())),
        shownText(text), QMessageBox::Ok, m_parent);
    // Names and error texts show as typed, never as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtMousePointer::setPointer(std::int16_t pointer) {
    if (pointer == m_pointer) {
        return;
    }
    if (m_pointer != Default) {
        QGuiApplication::restoreOverrideCursor();
    }
    if (pointer == Hourglass) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    m_pointer = pointer == Hourglass ? Hourglass : Default;
}

double QtScreen::widthTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? toTwips(screen->geometry().width()) : 0.0;
}

double QtScreen::heightTwips() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? toTwips(screen->geometry().height()) : 0.0;
}

bool QtShell::execute(const std::string& /*verb: the desktop has only "open"*/,
                      const std::string& file) {
    const QString text = QString::fromStdString(file);
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const bool isUrl = scheme.match(text).hasMatch() && !text.startsWith(QLatin1Char('/'));
    const QUrl url = isUrl ? QUrl(text, QUrl::TolerantMode) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

} // namespace ostrevan
