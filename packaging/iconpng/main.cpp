// Build step: draws an SVG icon as a square PNG.
// iconpng SVG-FILE SIZE PNG-FILE

#include "platform/qt/DesignLayout.h"

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "iconpng SVG-FILE SIZE PNG-FILE\n";
        return 2;
    }
    const QGuiApplication application(argc, argv);
    const int size = std::stoi(argv[2]);
    const QImage image = ostrevan::svgImage(QString::fromLocal8Bit(argv[1]), QSize(size, size));
    return !image.isNull() && image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
