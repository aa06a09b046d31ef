#include "ui/Icons.h"

namespace icons {

QIcon svgIcon(const QString& file) {
    // Qt's SVG icon engine (a plugin of the Qt SVG module) draws it afresh
    // for each size and pixel ratio, and caches what it drew.
    return QIcon(file);
}

QIcon programIcon() {
    return svgIcon(QStringLiteral(":/icons/quillomat.svg"));
}

QPixmap programPixmap(qreal devicePixelRatio) {
    return programIcon().pixmap(QSize(32, 32), devicePixelRatio);
}

QIcon aboutIcon() {
    return svgIcon(QStringLiteral(":/icons/about.svg"));
}

}  // namespace icons
