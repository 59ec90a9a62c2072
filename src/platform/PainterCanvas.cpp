#include "platform/PainterCanvas.h"

#include "platform/Metafile.h"
#include "platform/MetafileCanvas.h"
#include "platform/MetafilePlayer.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <cmath>

QBrush CanvasQtBrush(const CanvasBrush &brush)
{
    switch (brush.style) {
    case CanvasBrushStyle::Clear: return Qt::NoBrush;
    case CanvasBrushStyle::Horizontal: return QBrush(brush.color, Qt::HorPattern);
    case CanvasBrushStyle::Vertical: return QBrush(brush.color, Qt::VerPattern);
    case CanvasBrushStyle::FDiagonal: return QBrush(brush.color, Qt::FDiagPattern);
    case CanvasBrushStyle::BDiagonal: return QBrush(brush.color, Qt::BDiagPattern);
    case CanvasBrushStyle::Cross: return QBrush(brush.color, Qt::CrossPattern);
    case CanvasBrushStyle::DiagCross: return QBrush(brush.color, Qt::DiagCrossPattern);
    case CanvasBrushStyle::Solid: break;
    }
    return QBrush(brush.color);
}

QPen CanvasQtPen(const CanvasPen &pen)
{
    if (pen.style == CanvasPenStyle::Clear)
        return Qt::NoPen;
    QPen p(pen.color);
    if (pen.width <= 1) {
        p.setWidth(0);
        p.setCosmetic(true);
    } else {
        p.setWidth(pen.width);
    }
    switch (pen.style) {
    case CanvasPenStyle::Dash: p.setStyle(Qt::DashLine); break;
    case CanvasPenStyle::Dot: p.setStyle(Qt::DotLine); break;
    case CanvasPenStyle::DashDot: p.setStyle(Qt::DashDotLine); break;
    case CanvasPenStyle::DashDotDot: p.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

PainterCanvas::PainterCanvas(QPainter &painter)
    : FPainter(painter), FDpiX(painter.device() ? painter.device()->logicalDpiX() : 96),
      FDpiY(painter.device() ? painter.device()->logicalDpiY() : 96)
{
}

void PainterCanvas::Reset()
{
    FPosition = QPoint();
}

int PainterCanvas::TextWidth(const QString &text) const
{
    return int(std::nearbyint(QFontMetricsF(DeviceFont(FFont, FDpiY)).horizontalAdvance(text)));
}

int PainterCanvas::TextHeight(const QString &) const
{
    return int(std::nearbyint(QFontMetricsF(DeviceFont(FFont, FDpiY)).height()));
}

void PainterCanvas::TextOut(int x, int y, const QString &text, CanvasTextAlign align, bool rightToLeft)
{
    if (text.isEmpty())
        return;
    const QFont font = DeviceFont(FFont, FDpiY);
    const QFontMetricsF metrics(font, FPainter.device());
    const double width = metrics.horizontalAdvance(text);
    double left = x;
    if (align == CanvasTextAlign::Center)
        left -= width / 2;
    else if (align == CanvasTextAlign::Right)
        left -= width;
    FPainter.save();
    FPainter.setFont(font);
    FPainter.setPen(FFontColor);
    FPainter.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    FPainter.drawText(QPointF(left, y + metrics.ascent()), text);
    FPainter.restore();
}

void PainterCanvas::FillRect(const QRect &box)
{
    if (FBrush.style != CanvasBrushStyle::Clear && !box.isEmpty())
        FPainter.fillRect(box, CanvasQtBrush(FBrush));
}

void PainterCanvas::Rectangle(const QRect &box)
{
    FPainter.save();
    FPainter.setPen(CanvasQtPen(FPen));
    FPainter.setBrush(CanvasQtBrush(FBrush));
    FPainter.drawRect(QRect(box.left(), box.top(), box.width() - 1, box.height() - 1));
    FPainter.restore();
}

void PainterCanvas::Ellipse(const QRect &box)
{
    FPainter.save();
    FPainter.setPen(CanvasQtPen(FPen));
    FPainter.setBrush(CanvasQtBrush(FBrush));
    FPainter.drawEllipse(QRect(box.left(), box.top(), box.width() - 1, box.height() - 1));
    FPainter.restore();
}

void PainterCanvas::MoveTo(int x, int y)
{
    FPosition = QPoint(x, y);
}

void PainterCanvas::LineTo(int x, int y)
{
    const QPoint from = FPosition;
    FPosition = QPoint(x, y);
    const QPen pen = CanvasQtPen(FPen);
    if (pen.style() == Qt::NoPen || from == FPosition)
        return;
    // Qt leaves out the end point of a thin line as GDI does, and a flat cap
    // ends a wide one there.
    FPainter.save();
    FPainter.setPen(pen);
    FPainter.drawLine(from, FPosition);
    FPainter.restore();
}

void PainterCanvas::StretchDraw(const QRect &target, const Metafile &page)
{
    PlayMetafile(FPainter, page, QRectF(target));
}
