#include "app/ViccPanel.h"

#include "app/JokeFile.h"
#include "platform/AppError.h"
#include "platform/JpegPicture.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

QFont MakeFont(const char *family, int pointSize, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSize(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
    return font;
}

// Draws a 1-pixel 3-D frame on r's edge and returns r shrunk by it.
QRect Frame3D(QPainter &p, QRect r, const QColor &topLeft, const QColor &bottomRight)
{
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    return r.adjusted(1, 1, -1, -1);
}

// The part of a line that can reach the panel's right edge: text is cut
// before it is laid out, so a line of megabytes costs no more than a short
// one. Twice the width in average characters leaves room for narrow glyphs.
QString VisiblePart(const QString &line, const QFontMetrics &metrics, int width)
{
    const int charWidth = qMax(1, metrics.averageCharWidth());
    const qsizetype keep = qsizetype(qMax(0, width) / charWidth) * 2 + 8;
    return line.size() > keep ? line.left(keep) : line;
}

} // namespace

TViccPanel::TViccPanel(QWidget *owner)
    : QWidget(owner),
      FFontHead(MakeFont("Comic Sans MS", 11, true)),
      FFontBottom(MakeFont("Comic Sans MS", 10, true)),
      FTextFont(MakeFont("Courier New", 10, false))
{
    FTextFont.setStyleHint(QFont::TypeWriter);
    FTextFont.setFixedPitch(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TViccPanel::SetFileName(const QString &value)
{
    if (value == FFileName)
        return;
    FFileName = value;
    Lines.clear();
    if (RegularFileExists(value))
        Lines = LoadTextFileLines(value);
    FSzerzo = Lines.isEmpty() ? QString() : Lines.takeFirst();
    update();
}

void TViccPanel::SetColorHead(ColorValue value)
{
    if (value == FColorHead)
        return;
    FColorHead = value;
    update();
}

void TViccPanel::SetColorBottom(ColorValue value)
{
    if (value == FColorBottom)
        return;
    FColorBottom = value;
    update();
}

void TViccPanel::SetColor(ColorValue value)
{
    if (value == FColor)
        return;
    FColor = value;
    update();
}

void TViccPanel::SetAlja(const QString &value)
{
    if (value == FAlja)
        return;
    FAlja = value;
    update();
}

void TViccPanel::SetDir(const QString &value)
{
    if (value == FDir)
        return;
    FDir = value;
    FPictures.reset();
    update();
}

void TViccPanel::TakeHeading()
{
    HeadingAndLines taken = TakeHeadingFrom(std::move(Lines));
    FSzerzo = std::move(taken.heading);
    Lines = std::move(taken.lines);
    update();
}

void TViccPanel::SetContent(const QString &heading, const QStringList &lines)
{
    FSzerzo = heading;
    Lines = lines;
    update();
}

void TViccPanel::ApplyLook(const PanelLook &look)
{
    SetColor(look.body);
    SetColorBottom(look.bottomStrip);
    SetColorHead(look.headStrip);
    if (FFontBottomColor != look.bottomText || FFontHeadColor != look.headText) {
        FFontBottomColor = look.bottomText;
        FFontHeadColor = look.headText;
        update();
    }
}

void TViccPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Paint(painter);
}

void TViccPanel::ShowSlice(qint64 offset, qint64 fullHeight)
{
    if (offset == FOffset && fullHeight == FFullHeight)
        return;
    FOffset = fullHeight < 0 ? 0 : offset;
    FFullHeight = fullHeight;
    update();
}

int TViccPanel::Row(qint64 y) const
{
    // Rows far outside the widget are held at a distance the painter takes
    // (its fixed-point coordinates end near 33 million).
    constexpr qint64 Far = qint64(1) << 22;
    return int(std::clamp<qint64>(y - FOffset, -Far, Far));
}

void TViccPanel::Paint(QPainter &p)
{
    QRect r(QPoint(0, Row(0)), QPoint(width() - 1, Row(FullHeight() - 1)));
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    r = Frame3D(p, r, light, shadow);  // outer bevel, raised
    r = Frame3D(p, r, shadow, light);  // inner bevel, lowered
    p.fillRect(r.intersected(rect()), ToQColor(FColor));
    PaintContent(p);
}

void TViccPanel::PaintContent(QPainter &p)
{
    const int W = width();
    const qint64 H = FullHeight();
    p.setPen(Qt::NoPen);

    p.fillRect(QRect(QPoint(2, Row(H - 23)), QPoint(W - 3, Row(H - 3))), ToQColor(FColorBottom));
    p.setFont(FFontBottom);
    p.setPen(ToQColor(FFontBottomColor));
    p.drawText(QRect(QPoint(2, Row(H - 22)), QPoint(W - 11, Row(H - 3))),
               Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, FAlja);

    p.fillRect(QRect(QPoint(2, Row(2)), QPoint(W - 3, Row(24))), ToQColor(FColorHead));
    p.setFont(FFontHead);
    p.setPen(ToQColor(FFontHeadColor));
    const QFontMetrics headMetrics(FFontHead);
    p.drawText(QPoint(6, Row(3 + headMetrics.ascent())), VisiblePart(FSzerzo, headMetrics, W));

    p.setFont(FTextFont);
    p.setPen(Qt::black);
    const QFontMetrics metrics(FTextFont);
    // Only rows inside the area being painted (at most the widget) are drawn.
    const QRect clip = p.clipBoundingRect().toAlignedRect();
    const QRect dirty = p.hasClipping() && !clip.isEmpty() ? clip.intersected(rect()) : rect();
    const auto outside = [&](qint64 y, qint64 h) {
        return y - FOffset > dirty.bottom() || y - FOffset + h < dirty.top();
    };
    qint64 offset = 0;
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        const QString &line = Lines.at(i);
        const qint64 y = 15 * qint64(i) + 30 + offset;
        // Without a picture folder (a fortune text) a ">>" line is text.
        if (!FDir.isEmpty() && IsPictureLine(line)) {
            offset = 0;
            const QString path = Pictures().PathOf(line);
            const std::optional<QSize> size =
                path.isEmpty() ? std::nullopt : PictureCache::Instance().Size(path);
            if (!size)
                continue;
            offset = size->height();
            if (outside(y, size->height()))
                continue;
            const QImage picture = PictureCache::Instance().Image(path);
            // A picture whose data turns out corrupt leaves an empty area.
            if (!picture.isNull())
                p.drawImage(QPoint((W - picture.width()) / 2, Row(y)), picture);
            continue;
        }
        if (outside(y, metrics.height()))
            continue;
        p.drawText(QPoint(6, Row(y + metrics.ascent())), VisiblePart(line, metrics, W));
    }
}

PictureNames &TViccPanel::Pictures()
{
    if (!FPictures)
        FPictures = std::make_shared<PictureNames>(FDir);
    return *FPictures;
}

void TViccPanel::SetPictureNames(std::shared_ptr<PictureNames> pictures)
{
    FPictures = std::move(pictures);
    if (FPictures && FPictures->Dir() != FDir) {
        FDir = FPictures->Dir();
        update();
    }
}

void TViccPanel::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        RunGuarded([&] { OnMouseDown(event); });
}

void TViccPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
}

void TViccPanel::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        RunGuarded([&] { OnMouseMove(event); });
}

void TViccPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        RunGuarded([&] { OnMouseUp(event); });
}
