#include "ui/Icons.h"

#include <QImageReader>

namespace icons {

QIcon programIcon() {
    // Pictures drawn from the SVG at build time, read once, as PNG outright:
    // the windows' icon needs neither the SVG engine nor the image-format
    // plugins at start-up.
    static const QIcon icon = [] {
        QIcon pictures;
        for (const int size : {16, 24, 32, 48, 64, 128}) {
            QImageReader reader(QStringLiteral(":/icons/program-%1.png").arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            pictures.addPixmap(QPixmap::fromImage(reader.read()));
        }
        return pictures;
    }();
    return icon;
}

QPixmap programPixmap(qreal devicePixelRatio) {
    return programIcon().pixmap(QSize(32, 32), devicePixelRatio);
}

}  // namespace icons
