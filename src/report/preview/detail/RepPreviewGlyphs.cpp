#include "report/preview/detail/RepPreviewGlyphs.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

struct Ink
{
    QColor line;
    QColor paper;
    QColor accent;
    QColor dark;
};

Ink InkFor(QIcon::Mode mode)
{
    if (mode == QIcon::Disabled)
        return {QColor(150, 150, 150), QColor(236, 236, 236), QColor(175, 175, 175), QColor(160, 160, 160)};
    return {QColor(40, 40, 40), Qt::white, QColor(30, 100, 200), QColor(70, 70, 70)};
}

// A sheet of paper with a folded corner.
void Sheet(QPainter &p, const QRectF &r, const Ink &ink)
{
    QPainterPath path;
    const qreal fold = 3;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(ink.line, 1));
    p.setBrush(ink.paper);
    p.drawPath(path);
}

// A magnifying glass with its lens centred on (cx, cy).
void Magnifier(QPainter &p, qreal cx, qreal cy, const Ink &ink)
{
    p.setPen(QPen(ink.dark, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + 3.2, cy + 3.2), QPointF(15, 15));
    p.setPen(QPen(ink.line, 1.2));
    p.setBrush(QColor(ink.paper.red(), ink.paper.green(), ink.paper.blue(), 210));
    p.drawEllipse(QPointF(cx, cy), 4.4, 4.4);
}

void Triangle(QPainter &p, qreal tipX, qreal baseX, const Ink &ink)
{
    QPolygonF t;
    t << QPointF(tipX, 8) << QPointF(baseX, 3) << QPointF(baseX, 13);
    p.setPen(QPen(ink.accent.darker(130), 1));
    p.setBrush(ink.accent);
    p.drawPolygon(t);
}

void Bar(QPainter &p, qreal x, const Ink &ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink.accent);
    p.drawRect(QRectF(x, 3, 2, 10));
}

void Printer(QPainter &p, const Ink &ink)
{
    p.setPen(QPen(ink.line, 1));
    p.setBrush(ink.paper);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));           // paper going in
    p.setBrush(ink.dark.lighter(160));
    p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1); // body
    p.setBrush(ink.paper);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));          // paper coming out
    p.setPen(QPen(ink.accent, 1));
    p.drawPoint(QPointF(12.5, 8.5));
}

void Paint(QPainter &p, int index, const Ink &ink)
{
    switch (index) {
    case 0: // zoom to fit: a whole page under the glass
        Sheet(p, QRectF(1.5, 0.5, 9, 12), ink);
        Magnifier(p, 7, 7, ink);
        p.setPen(QPen(ink.accent, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 4.5, 5, 5));
        break;
    case 1: // 100%: the glass with "1:1"
        Magnifier(p, 6.5, 6.5, ink);
        p.setPen(QPen(ink.accent, 1.1));
        p.drawLine(QPointF(4.5, 4.5), QPointF(4.5, 8.5));
        p.drawLine(QPointF(8.5, 4.5), QPointF(8.5, 8.5));
        p.drawPoint(QPointF(6.5, 5.5));
        p.drawPoint(QPointF(6.5, 7.5));
        break;
    case 2: // zoom to width: the glass over a double arrow
        Magnifier(p, 6.5, 6.5, ink);
        p.setPen(QPen(ink.accent, 1.1));
        p.drawLine(QPointF(3.5, 6.5), QPointF(9.5, 6.5));
        p.drawLine(QPointF(3.5, 6.5), QPointF(5, 5));
        p.drawLine(QPointF(3.5, 6.5), QPointF(5, 8));
        p.drawLine(QPointF(9.5, 6.5), QPointF(8, 5));
        p.drawLine(QPointF(9.5, 6.5), QPointF(8, 8));
        break;
    case 3: // first page
        Bar(p, 3, ink);
        Triangle(p, 5.5, 12.5, ink);
        break;
    case 4: // previous page
        Triangle(p, 4.5, 11.5, ink);
        break;
    case 5: // next page
        Triangle(p, 11.5, 4.5, ink);
        break;
    case 6: // last page
        Triangle(p, 10.5, 3.5, ink);
        Bar(p, 11, ink);
        break;
    case 7: { // printer setup: a printer with a check-box sheet beside it
        p.save();
        p.translate(-1, 1);
        p.scale(0.85, 0.85);
        Printer(p, ink);
        p.restore();
        Sheet(p, QRectF(9.5, 0.5, 6, 8), ink);
        p.setPen(QPen(ink.accent, 1));
        p.drawLine(QPointF(11, 3), QPointF(14, 3));
        p.drawLine(QPointF(11, 5), QPointF(14, 5));
        break;
    }
    case 8: // print
        Printer(p, ink);
        break;
    case 9: { // load: an open folder
        p.setPen(QPen(ink.line, 1));
        p.setBrush(QColor(ink.accent.red(), ink.accent.green(), ink.accent.blue(), 90).lighter(150));
        QPolygonF back;
        back << QPointF(1.5, 3.5) << QPointF(6, 3.5) << QPointF(7.5, 5) << QPointF(13.5, 5)
             << QPointF(13.5, 13.5) << QPointF(1.5, 13.5);
        p.drawPolygon(back);
        QPolygonF front;
        front << QPointF(1.5, 13.5) << QPointF(4, 7.5) << QPointF(15.5, 7.5) << QPointF(13.5, 13.5);
        p.setBrush(ink.accent.lighter(170));
        p.drawPolygon(front);
        break;
    }
    case 10: // save: a floppy disk
        p.setPen(QPen(ink.line, 1));
        p.setBrush(ink.accent);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1, 1);
        p.setBrush(ink.paper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(ink.dark);
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
        break;
    default: break;
    }
}

class GlyphEngine : public QIconEngine
{
public:
    explicit GlyphEngine(int index) : FIndex(index) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 16.0, rect.height() / 16.0);
        Paint(*painter, FIndex, InkFor(mode));
        painter->restore();
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // size is in device pixels already; scale is the ratio they are shown at.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(0, 0), pm.size()), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new GlyphEngine(FIndex); }
    QString key() const override { return QStringLiteral("ZumoriaPreviewGlyph"); }

private:
    int FIndex;
};

} // namespace

QIcon PreviewGlyph(int index)
{
    if (index < 0 || index >= PreviewGlyphCount)
        return {};
    return QIcon(new GlyphEngine(index));
}
