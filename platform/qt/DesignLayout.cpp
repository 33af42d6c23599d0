#include "platform/qt/DesignLayout.h"

#include "platform/Controls.h"
#include "platform/Numbers.h"
#include "platform/qt/Twips.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>

namespace ostrevan {

Qt::WindowFlags fixedBorderFlags(Qt::WindowType kind) {
    // Without CustomizeWindowHint the window managers of X11 ignore the hints that follow.
    return kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
}

QPoint centredPosition(const Screen& screen, double clientWidthTwips, double clientHeightTwips) {
    const std::int32_t left =
        centredOffset(screen.widthTwips(), clientWidthTwips + kFrameWidthTwips);
    const std::int32_t top =
        centredOffset(screen.heightTwips(), clientHeightTwips + kFrameHeightTwips);
    return {toPixels(left), toPixels(top)};
}

QString qtText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

void addDesignFonts() {
    for (const char* file :
         {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
        QFontDatabase::addApplicationFont(QString::fromUtf8(file));
    }
}

QFont designFont(const char* family, double points, bool bold) {
    QFont made(QString::fromUtf8(family));
    made.setStyleHint(QFont::SansSerif);
    made.setPointSizeF(points);
    made.setBold(bold);
    return made;
}

QFont tahoma(double points, bool bold) {
    return designFont("Tahoma", points, bold);
}

QLabel* designLabel(QWidget& parent, const char* name, const QString& caption) {
    auto* made = new QLabel(caption, &parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setTextFormat(Qt::PlainText);
    made->setWordWrap(true);
    made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return made;
}

void fitOnOneLine(QLabel& label) {
    constexpr int narrowest = 50;
    label.setWordWrap(false);
    QFont font = label.font();
    const auto fits = [&] {
        return QFontMetrics(font).horizontalAdvance(label.text()) <= label.width();
    };
    for (int stretch = 99; stretch >= narrowest && !fits(); --stretch) {
        font.setStretch(stretch);
    }
    label.setFont(font);
}

QFrame* designRule(QWidget& parent, const char* name) {
    auto* frame = new QFrame(&parent);
    frame->setObjectName(QString::fromUtf8(name));
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

QPushButton* designButton(QWidget& parent, const char* name, const QString& caption) {
    auto* made = new QPushButton(caption, &parent);
    made->setObjectName(QString::fromUtf8(name));
    made->setAutoDefault(false);
    return made;
}

QImage svgImage(const QString& file, const QSize& size) {
    QSvgRenderer renderer(file);
    if (!renderer.isValid()) {
        return {};
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    return image;
}

QPixmap logo(const QSize& size) {
    return QPixmap::fromImage(svgImage(QStringLiteral(":/ostrevan/ostrevan.svg"), size));
}

} // namespace ostrevan
