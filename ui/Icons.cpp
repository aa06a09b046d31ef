#include "ui/Icons.h"

#include "ui/Palette16.h"

#include <QPainter>
#include <QPolygon>

namespace icons {
namespace {

using namespace palette16;

QPixmap page() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    // The sheet with a folded corner.
    const QPolygon sheet(
        {QPoint(5, 2), QPoint(20, 2), QPoint(26, 8), QPoint(26, 29), QPoint(5, 29)});
    p.setPen(kBlack);
    p.setBrush(kWhite);
    p.drawPolygon(sheet);
    p.setBrush(kGrey);
    p.drawPolygon(QPolygon({QPoint(20, 2), QPoint(20, 8), QPoint(26, 8)}));
    // Lines of text.
    p.setPen(kTeal);
    for (int y = 12; y <= 26; y += 3) {
        p.drawLine(8, y, 22, y);
    }
    return pixmap;
}

}  // namespace

QPixmap programPixmap() {
    QPixmap pixmap = page();
    QPainter p(&pixmap);
    // A quill laid across the page, nib at the lower left.
    p.setPen(kBlack);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(9, 25), QPoint(27, 3), QPoint(30, 4), QPoint(13, 25)}));
    p.setPen(kOlive);
    p.drawLine(10, 25, 28, 4);
    p.setPen(kNavy);
    p.drawLine(7, 28, 9, 25);
    return pixmap;
}

QIcon programIcon() {
    return QIcon(programPixmap());
}

QIcon aboutIcon() {
    QPixmap pixmap = page();
    QPainter p(&pixmap);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawEllipse(QPoint(15, 9), 2, 2);
    p.drawRect(13, 13, 5, 12);
    return QIcon(pixmap);
}

}  // namespace icons
