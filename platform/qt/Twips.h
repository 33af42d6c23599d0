#pragma once

#include <QRect>

namespace ostrevan {

// Twips (1440 per inch) are the windows' design unit: 15 twips a pixel at 96 dpi, scaled for
// the primary screen's logical dpi.
double twipsPerPixel();
int toPixels(double twips);
double toTwips(int pixels);
// left, top, width, height in twips.
QRect twipsRect(double left, double top, double width, double height);

} // namespace ostrevan
