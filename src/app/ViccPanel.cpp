#include "app/ViccPanel.h"

#include "app/JokeFile.h"
#include "app/LineWrap.h"
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

// Found text on the jokes, and the match the reader is at.
const QColor FoundColor(255, 255, 0);
const QColor CurrentFoundColor(255, 150, 50);

} // namespace

TViccPanel::TViccPanel(QWidget *owner)
    : QWidget(owner),
      FFontHead(MakeFont("Comic Sans MS", 11, true)),
      FFontBottom(MakeFont("Comic Sans MS", 10, true)),
      FTextFont(LineFont())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

QFont TViccPanel::LineFont()
{
    QFont font = MakeFont("Courier New", 10, false);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
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
    ContentChanged();
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
    ContentChanged();
}

void TViccPanel::SetContent(const QString &heading, const QStringList &lines)
{
    FSzerzo = heading;
    Lines = lines;
    ContentChanged();
}

void TViccPanel::ContentChanged()
{
    FRows.clear();
    update();
}

void TViccPanel::SetWrapColumns(int columns)
{
    if (columns == FWrapColumns)
        return;
    FWrapColumns = columns;
    ContentChanged();
}

void TViccPanel::SetFoundText(std::vector<LineMatch> matches, int current)
{
    if (matches == FFound && current == FCurrentFound)
        return;
    FFound = std::move(matches);
    FCurrentFound = current;
    update();
}

const std::vector<int> &TViccPanel::RowsOf(qsizetype i)
{
    static const std::vector<int> oneRow{0};
    const QString &line = Lines.at(i);
    if (FWrapColumns <= 0 || line.size() <= FWrapColumns)
        return oneRow;
    auto it = FRows.find(i);
    if (it == FRows.end())
        it = FRows.emplace(i, WrapRows(line, FWrapColumns)).first;
    return it->second;
}

template <class TextRow, class Picture>
void TViccPanel::LayOut(TextRow &&textRow, Picture &&picture)
{
    qint64 offset = 0;
    qint64 extraRows = 0;
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        const QString &line = Lines.at(i);
        const qint64 y = 15 * (qint64(i) + extraRows) + 30 + offset;
        // Without a picture folder (a fortune text) a ">>" line is text.
        if (!FDir.isEmpty() && IsPictureLine(line)) {
            offset = 0;
            const QString path = Pictures().PathOf(line);
            const std::optional<QSize> size =
                path.isEmpty() ? std::nullopt : PictureCache::Instance().Size(path);
            if (!size)
                continue;
            offset = size->height();
            picture(path, *size, y);
            continue;
        }
        const std::vector<int> &rows = RowsOf(i);
        for (size_t r = 0; r < rows.size(); ++r) {
            const int to = r + 1 < rows.size() ? rows[r + 1] : int(line.size());
            if (!textRow(int(i), rows[r], to, y + 15 * qint64(r)))
                return;
        }
        extraRows += qint64(rows.size()) - 1;
    }
}

qint64 TViccPanel::RowTop(int line, int column)
{
    if (line < 0)
        return 2;
    qint64 top = -1;
    LayOut(
        [&](int i, int from, int to, qint64 y) {
            if (i == line && (column < to || top < 0))
                top = y;
            return i < line || (i == line && column >= to);
        },
        [](const QString &, QSize, qint64) {});
    return top;
}

void TViccPanel::MarkFound(QPainter &p, int line, const QString &text, int from, int to, int x, qint64 y,
                           const QFontMetrics &metrics, bool redraw)
{
    for (size_t m = 0; m < FFound.size(); ++m) {
        const LineMatch &found = FFound[m];
        const int start = qMax(found.column, from);
        const int end = qMin(found.column + found.length, to);
        if (found.line != line || start >= end)
            continue;
        const int left = x + metrics.horizontalAdvance(text.mid(from, start - from));
        const QString part = text.mid(start, end - start);
        const QRect mark(left, Row(y), metrics.horizontalAdvance(part), metrics.height());
        p.fillRect(mark, int(m) == FCurrentFound ? CurrentFoundColor : FoundColor);
        if (redraw) {
            // On a strip the text's own colour may be the mark's: found
            // text is black on its mark.
            const QPen pen = p.pen();
            p.setPen(Qt::black);
            p.drawText(QPoint(left, Row(y + metrics.ascent())), part);
            p.setPen(pen);
        }
    }
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
    const QString heading = VisiblePart(FSzerzo, headMetrics, W);
    p.drawText(QPoint(6, Row(3 + headMetrics.ascent())), heading);
    MarkFound(p, -1, heading, 0, int(heading.size()), 6, 3, headMetrics, true);

    p.setFont(FTextFont);
    p.setPen(Qt::black);
    const QFontMetrics metrics(FTextFont);
    // Only rows inside the area being painted (at most the widget) are drawn.
    const QRect clip = p.clipBoundingRect().toAlignedRect();
    const QRect dirty = p.hasClipping() && !clip.isEmpty() ? clip.intersected(rect()) : rect();
    const auto outside = [&](qint64 y, qint64 h) {
        return y - FOffset > dirty.bottom() || y - FOffset + h < dirty.top();
    };
    LayOut(
        [&](int i, int from, int to, qint64 y) {
            if (outside(y, metrics.height()))
                return true;
            const QString &line = Lines.at(i);
            const QString row = from == 0 && to == line.size() ? line : line.mid(from, to - from);
            const QString shown = VisiblePart(row, metrics, W);
            if (!FFound.empty())
                MarkFound(p, i, line, from, from + int(shown.size()), 6, y, metrics, false);
            p.drawText(QPoint(6, Row(y + metrics.ascent())), shown);
            return true;
        },
        [&](const QString &path, QSize size, qint64 y) {
            if (outside(y, size.height()))
                return;
            const QImage picture = PictureCache::Instance().Image(path);
            // A picture whose data turns out corrupt leaves an empty area.
            if (!picture.isNull())
                p.drawImage(QPoint((W - picture.width()) / 2, Row(y)), picture);
        });
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
