#include "ui/ChooserIcons.h"

#include "ui/Palette16.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace chooser {

namespace {

using namespace palette16;

QPixmap blank() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The back of a folder: its tab and body, outlined.
void drawFolderBack(QPainter& p, const QColor& fill) {
    p.setPen(kBlack);
    p.setBrush(fill);
    p.drawPolygon(QPolygon(
        {QPoint(1, 3), QPoint(6, 3), QPoint(7, 4), QPoint(14, 4), QPoint(14, 13), QPoint(1, 13)}));
    p.setPen(kWhite);
    p.drawLine(2, 5, 13, 5);
    p.drawLine(2, 4, 2, 12);
}

}  // namespace

QIcon closedFolderIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap = blank();
        QPainter p(&pixmap);
        drawFolderBack(p, kYellow);
        p.setPen(kOlive);
        p.drawLine(3, 12, 13, 12);
        p.drawLine(13, 6, 13, 12);
        return QIcon(pixmap);
    }();
    return icon;
}

QIcon openedFolderIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap = blank();
        QPainter p(&pixmap);
        // Inside dark, the front flap swung down and forward.
        drawFolderBack(p, kOlive);
        p.setPen(kBlack);
        p.setBrush(kYellow);
        p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(4, 7), QPoint(15, 7), QPoint(12, 13)}));
        p.setPen(kWhite);
        p.drawLine(5, 8, 13, 8);
        return QIcon(pixmap);
    }();
    return icon;
}

QIcon driveIcon() {
    static const QIcon icon = [] {
        QPixmap pixmap = blank();
        QPainter p(&pixmap);
        p.setPen(kBlack);
        p.setBrush(kSilver);
        p.drawRect(1, 6, 13, 5);
        p.setPen(kWhite);
        p.drawLine(2, 7, 13, 7);
        p.setPen(kGrey);
        p.drawLine(2, 10, 13, 10);
        p.setPen(kGreen);
        p.drawPoint(11, 9);
        p.drawPoint(12, 9);
        return QIcon(pixmap);
    }();
    return icon;
}

}  // namespace chooser
