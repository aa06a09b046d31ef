#include "ui/Icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <utility>

namespace icons {
namespace {

// Renders its SVG file afresh for each size asked (device pixels), through
// the pixmap cache, so list rows do not render it again on every paint.
class SvgIconEngine : public QIconEngine {
  public:
    explicit SvgIconEngine(QString file)
        : file_(std::move(file)), valid_(QSvgRenderer(file_).isValid()) {}

    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("QuillomatSvgIconEngine"); }
    bool isNull() override { return !valid_; }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        Q_UNUSED(state);
        if (size.isEmpty()) {
            return QPixmap();
        }
        const QString cacheKey = QStringLiteral("quillomat-svg:%1:%2x%3:%4")
                                     .arg(file_)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(int(mode));
        QPixmap rendered;
        if (QPixmapCache::find(cacheKey, &rendered)) {
            return rendered;
        }
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QSvgRenderer renderer(file_);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        rendered = QPixmap::fromImage(std::move(image));
        if (mode == QIcon::Disabled && qApp != nullptr) {
            QStyleOption option;
            option.palette = QApplication::palette();
            rendered = QApplication::style()->generatedIconPixmap(mode, rendered, &option);
        }
        QPixmapCache::insert(cacheKey, rendered);
        return rendered;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        QPixmap picture = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, picture);
    }

  private:
    SvgIconEngine(const SvgIconEngine& other) = default;

    QString file_;
    bool valid_;
};

}  // namespace

QIcon svgIcon(const QString& file) {
    return QIcon(new SvgIconEngine(file));
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
