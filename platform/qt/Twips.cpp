#include "platform/qt/Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace ostrevan {

double twipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double toTwips(int pixels) {
    return pixels * twipsPerPixel();
}

QRect twipsRect(double left, double top, double width, double height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

} // namespace ostrevan
