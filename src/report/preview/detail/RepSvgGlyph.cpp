#include "report/preview/detail/RepSvgGlyph.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <memory>

namespace {

QString GlyphPath(const QString &name)
{
    return QStringLiteral(":/report/preview/glyphs/%1.svg").arg(name);
}

class SvgGlyphEngine : public QIconEngine
{
public:
    explicit SvgGlyphEngine(const QString &name) : FName(name), FRenderer(std::make_shared<QSvgRenderer>(GlyphPath(name))) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels already; scale is the ratio they are shown at.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            FRenderer->render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        if (mode == QIcon::Disabled)
            Grey(image);
        QPixmap pm = QPixmap::fromImage(image);
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new SvgGlyphEngine(*this); }
    QString key() const override { return QStringLiteral("ZumoriaSvgGlyph"); }
    bool isNull() override { return !FRenderer->isValid(); }

private:
    // A disabled glyph: its ink turned to a light grey of the same shape.
    static void Grey(QImage &image)
    {
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int a = qAlpha(line[x]);
                const int g = 150 + qGray(qUnpremultiply(line[x])) * 90 / 255;
                line[x] = qPremultiply(qRgba(g, g, g, a));
            }
        }
    }

    QString FName;
    std::shared_ptr<QSvgRenderer> FRenderer;
};

} // namespace

QIcon SvgGlyph(const QString &name)
{
    Q_INIT_RESOURCE(ViewerGlyphs);
    if (!QFile::exists(GlyphPath(name)))
        return {};
    return QIcon(new SvgGlyphEngine(name));
}
