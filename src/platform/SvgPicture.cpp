#include "platform/SvgPicture.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <map>
#include <memory>
#include <tuple>

namespace {

QByteArray ReadSvg(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QRgb GreyOf(QRgb colour, const SvgGreyTable &greys)
{
    for (const auto &[from, to] : greys)
        if (qRgb(qRed(from), qGreen(from), qBlue(from)) == qRgb(qRed(colour), qGreen(colour), qBlue(colour)))
            return to;
    const int grey = 128 + qGray(colour) / 2;
    return qRgb(grey, grey, grey);
}

void Draw(QSvgRenderer &renderer, QPainter &painter, const QRect &rect)
{
    if (renderer.isValid())
        renderer.render(&painter, rect);
}

// One picture in both looks, each parsed on first use.
class SvgPictureData
{
public:
    SvgPictureData(QString path, SvgGreyTable greys) : FPath(std::move(path)), FGreys(std::move(greys)) {}

    QSvgRenderer &Renderer(QIcon::Mode mode)
    {
        const bool grey = mode == QIcon::Disabled;
        std::unique_ptr<QSvgRenderer> &renderer = grey ? FDisabled : FNormal;
        if (!renderer) {
            const QByteArray svg = ReadSvg(FPath);
            renderer = std::make_unique<QSvgRenderer>(grey ? GreySvgColours(svg, FGreys) : svg);
        }
        return *renderer;
    }

    // Device pixels of the picture, kept per size, look and ratio: a toolbar
    // asks for the same few again at every paint.
    QPixmap Pixmap(const QSize &size, QIcon::Mode mode, qreal ratio)
    {
        const auto key = std::make_tuple(size.width(), size.height(), mode == QIcon::Disabled, ratio);
        auto found = FPixmaps.find(key);
        if (found != FPixmaps.end())
            return found->second;
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            Draw(Renderer(mode), painter, pixmap.rect());
        }
        pixmap.setDevicePixelRatio(ratio);
        return FPixmaps.emplace(key, pixmap).first->second;
    }

private:
    QString FPath;
    SvgGreyTable FGreys;
    std::unique_ptr<QSvgRenderer> FNormal;
    std::unique_ptr<QSvgRenderer> FDisabled;
    std::map<std::tuple<int, int, bool, qreal>, QPixmap> FPixmaps;
};

class SvgPictureEngine : public QIconEngine
{
public:
    explicit SvgPictureEngine(std::shared_ptr<SvgPictureData> data) : FData(std::move(data)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        Draw(FData->Renderer(mode), *painter, rect);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels already; scale is the ratio they are shown at.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        return FData->Pixmap(size, mode, scale);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    bool isNull() override { return !FData->Renderer(QIcon::Normal).isValid(); }
    QIconEngine *clone() const override { return new SvgPictureEngine(FData); }
    QString key() const override { return QStringLiteral("ZumoriaSvgPicture"); }

private:
    std::shared_ptr<SvgPictureData> FData;
};

} // namespace

QByteArray GreySvgColours(const QByteArray &svg, const SvgGreyTable &greys)
{
    // Colours of paint properties, as attributes (fill="#…") or in a style (fill: #…).
    static const QRegularExpression colour(QStringLiteral(
        R"(\b(?:fill|stroke|stop-color|flood-color|lighting-color|color)\s*[=:]\s*["']?\s*#([0-9A-Fa-f]{6})(?![0-9A-Fa-f]))"));
    const QString text = QString::fromUtf8(svg);
    QString grey;
    grey.reserve(text.size());
    qsizetype done = 0;
    for (const QRegularExpressionMatch &match : colour.globalMatch(text)) {
        grey += QStringView(text).mid(done, match.capturedStart(1) - done);
        grey += QColor(GreyOf(match.captured(1).toUInt(nullptr, 16), greys)).name().mid(1);
        done = match.capturedEnd(1);
    }
    grey += QStringView(text).mid(done);
    return grey.toUtf8();
}

QImage RenderSvgPicture(const QString &path, QSize size, qreal devicePixelRatio, const SvgGreyTable *greys)
{
    const QByteArray svg = ReadSvg(path);
    QSvgRenderer renderer(greys ? GreySvgColours(svg, *greys) : svg);
    if (!renderer.isValid() || size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(image.rect()));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

QIcon SvgPictureIcon(const QString &path, SvgGreyTable greys)
{
    return QIcon(new SvgPictureEngine(std::make_shared<SvgPictureData>(path, std::move(greys))));
}
