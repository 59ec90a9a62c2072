#include "app/ViccPanel.h"

#include "app/JokeFile.h"
#include "platform/AppError.h"
#include "platform/JpegPicture.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

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

void TViccPanel::Paint(QPainter &p)
{
    QRect r = rect();
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    r = Frame3D(p, r, light, shadow);  // outer bevel, raised
    r = Frame3D(p, r, shadow, light);  // inner bevel, lowered
    p.fillRect(r, ToQColor(FColor));
    PaintContent(p);
}

void TViccPanel::PaintContent(QPainter &p)
{
    const int W = width(), H = height();
    p.setPen(Qt::NoPen);

    p.fillRect(QRect(QPoint(2, H - 23), QPoint(W - 3, H - 3)), ToQColor(FColorBottom));
    p.setFont(FFontBottom);
    p.setPen(ToQColor(FFontBottomColor));
    p.drawText(QRect(QPoint(2, H - 22), QPoint(W - 11, H - 3)),
               Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, FAlja);

    p.fillRect(QRect(QPoint(2, 2), QPoint(W - 3, 24)), ToQColor(FColorHead));
    p.setFont(FFontHead);
    p.setPen(ToQColor(FFontHeadColor));
    const QFontMetrics headMetrics(FFontHead);
    p.drawText(QPoint(6, 3 + headMetrics.ascent()), VisiblePart(FSzerzo, headMetrics, W));

    p.setFont(FTextFont);
    p.setPen(Qt::black);
    const QFontMetrics metrics(FTextFont);
    const QRect dirty = p.clipBoundingRect().toAlignedRect();
    const bool clipped = p.hasClipping() && !dirty.isEmpty();
    int offset = 0;
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        const QString &line = Lines.at(i);
        const int y = int(15 * i) + 30 + offset;
        // Without a picture folder (a fortune text) a ">>" line is text.
        if (!FDir.isEmpty() && IsPictureLine(line)) {
            offset = 0;
            const QString path = PicturePathOf(FDir, line);
            const std::optional<QSize> size =
                path.isEmpty() ? std::nullopt : PictureCache::Instance().Size(path);
            if (!size)
                continue;
            offset = size->height();
            if (clipped && (y > dirty.bottom() || y + size->height() < dirty.top()))
                continue;
            const QImage picture = PictureCache::Instance().Image(path);
            // A picture whose data turns out corrupt leaves an empty area.
            if (!picture.isNull())
                p.drawImage(QPoint((W - picture.width()) / 2, y), picture);
            continue;
        }
        if (clipped && (y > dirty.bottom() || y + metrics.height() < dirty.top()))
            continue;
        p.drawText(QPoint(6, y + metrics.ascent()), VisiblePart(line, metrics, W));
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
