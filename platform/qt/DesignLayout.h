#pragma once

// The pieces the windows are laid out with: the design's twips, its fonts and controls.

#include "platform/qt/Twips.h"

#include <QPoint>
#include <QString>

#include <string_view>

class QFont;
class QFrame;
class QImage;
class QLabel;
class QPixmap;
class QPushButton;
class QSize;
class QWidget;

namespace ostrevan {

class Screen;

// The frame of a fixed-border window with a title bar, in twips: the design's outer size is
// the client size plus this, and windows are centred by their outer size.
inline constexpr double kFrameWidthTwips = 90;
inline constexpr double kFrameHeightTwips = 405;

// A fixed border with a title bar and a close box, no minimise and no maximise button.
Qt::WindowFlags fixedBorderFlags(Qt::WindowType kind);

// The top-left corner, in pixels, that centres a window of the given client size in twips.
QPoint centredPosition(const Screen& screen, double clientWidthTwips, double clientHeightTwips);

QString qtText(std::string_view utf8);

// Makes the design's Tahoma known to the program where the system keeps it only as a file:
// Debian's fonts-wine installs Tahoma's metrics for Wine, outside the fonts the desktop lists.
void addDesignFonts();
// A font of the design; a family the system lacks falls back to its sans font.
QFont designFont(const char* family, double points, bool bold = false);
QFont tahoma(double points, bool bold = false);

// A static label: plain text (markup shows as typed), wrapped, top-left.
QLabel* designLabel(QWidget& parent, const char* name, const QString& caption);
// A one-line label laid out for the narrow fonts of Windows: where the font here is wider,
// the text is narrowed to fit instead of wrapping or being cut. Call once font, text and
// geometry are set.
void fitOnOneLine(QLabel& label);
// An empty frame drawn as a horizontal rule.
QFrame* designRule(QWidget& parent, const char* name);
QPushButton* designButton(QWidget& parent, const char* name, const QString& caption);

// An SVG file drawn at the given size; a null image when the file is no SVG.
QImage svgImage(const QString& file, const QSize& size);
// The program's logo drawn at the given size.
QPixmap logo(const QSize& size);

// Sets a widget's geometry from twips and hands it back.
template <class Widget>
Widget* place(Widget* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

} // namespace ostrevan
