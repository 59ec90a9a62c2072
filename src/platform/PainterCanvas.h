#pragma once
// The Canvas over a QPainter: draws straight onto whatever the painter
// paints on (a printer, an image, a widget). Device units are the pixels of
// the painter's device; fonts are sized with the device's logical density.
// The painter must stay active for the canvas's lifetime.

#include "platform/Canvas.h"

#include <QPoint>

class QPainter;

class PainterCanvas : public DrawingCanvas
{
public:
    explicit PainterCanvas(QPainter &painter);
    // Forgets the pen position and the objects set, as a fresh device page
    // does (the painter's device may have started a new sheet).
    void Reset();

    int PixelsPerInchX() const override { return FDpiX; }
    int PixelsPerInchY() const override { return FDpiY; }
    int TextWidth(const QString &text) const override;
    int TextHeight(const QString &text) const override;
    void TextOut(int x, int y, const QString &text, CanvasTextAlign align,
                 bool rightToLeft) override;
    void FillRect(const QRect &box) override;
    void Rectangle(const QRect &box) override;
    void Ellipse(const QRect &box) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void StretchDraw(const QRect &target, const Metafile &page) override;

private:
    QPen QtPen() const;
    QBrush QtBrush() const;
    QPainter &FPainter;
    int FDpiX;
    int FDpiY;
    QPoint FPosition;
};

// The Qt brush and pen for canvas pens and brushes (shared with previews).
QBrush CanvasQtBrush(const CanvasBrush &brush);
QPen CanvasQtPen(const CanvasPen &pen);
