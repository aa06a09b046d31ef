#include "ui/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <array>

namespace icons {

QIcon svgIcon(const QString& file) {
    // Qt's SVG icon engine (a plugin of the Qt SVG module) draws it afresh
    // for each size and pixel ratio, and caches what it drew.
    return QIcon(file);
}

namespace {

// The program icon's pictures, each read the first time a size near it is
// asked for. Read as PNG outright: neither the SVG engine nor the image-format
// plugins are loaded at start-up for them.
class ProgramIconEngine : public QIconEngine {
  public:
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        // The smallest picture at least as large, else the largest.
        const int wanted = qMax(size.width(), size.height());
        int index = 0;
        while (index + 1 < int(kSizes.size()) && kSizes[index] < wanted) {
            ++index;
        }
        QPixmap& picture = pictures_[index];
        if (picture.isNull()) {
            QImageReader reader(QStringLiteral(":/icons/program-%1.png").arg(kSizes[index]), "png");
            reader.setAutoDetectImageFormat(false);
            picture = QPixmap::fromImage(reader.read());
        }
        QPixmap scaled = picture.width() == wanted
                             ? picture
                             : picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Disabled) {
            QStyleOption option;
            scaled = QApplication::style()->generatedIconPixmap(mode, scaled, &option);
        }
        Q_UNUSED(state)
        return scaled;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        painter->drawPixmap(rect, picture);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(qMin(size.width(), size.height()), kSizes.back());
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int side : kSizes) {
            sizes.append(QSize(side, side));
        }
        return sizes;
    }
    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("quillomat-program"); }

  private:
    static constexpr std::array<int, 6> kSizes{16, 24, 32, 48, 64, 128};
    std::array<QPixmap, kSizes.size()> pictures_;
};

}  // namespace

QIcon programIcon() {
    return QIcon(new ProgramIconEngine);
}

QPixmap programPixmap(qreal devicePixelRatio) {
    return programIcon().pixmap(QSize(32, 32), devicePixelRatio);
}

QIcon aboutIcon() {
    return svgIcon(QStringLiteral(":/icons/about.svg"));
}

}  // namespace icons
