#pragma once
// The one small drawing surface every report page is drawn through. Report
// code draws in device units (whole pixels of the device behind the canvas);
// two implementations exist: MetafileCanvas records the calls as an enhanced
// metafile (the page store), PainterCanvas draws them with a QPainter (the
// printer device, previews, images).
//
// Drawing follows the classic GDI rules the report layout was made for:
// - FillRect, Rectangle and Ellipse take a QRect box (right() and bottom()
//   are the last pixels inside, as everywhere in Qt); a box given as left,
//   top, right, bottom with right and bottom outside converts with Box().
//   FillRect covers the whole box; Rectangle outlines it with a thin pen on
//   its outermost pixels; with a clear pen Rectangle and Ellipse fill one
//   pixel less to the right and at the bottom, as GDI does.
// - LineTo draws from the current position to the point, the end point itself
//   not drawn, and makes the point the current position.
// - TextOut places text by its reference point (left, centre or right edge,
//   top of the character cell) in the current font colour with a transparent
//   background.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>

class Metafile;

// Colour values of the report engine are 0x00BBGGRR (red in the low byte).
inline QColor ColorFromRef(uint32_t ref)
{
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}
inline uint32_t ColorToRef(const QColor &c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

// A box from left/top to right/bottom, right and bottom exclusive.
inline QRect Box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

enum class CanvasPenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

struct CanvasPen
{
    QColor color = Qt::black;
    int width = 1; // device units; 0 and 1 both give the thinnest line
    CanvasPenStyle style = CanvasPenStyle::Solid;
    bool operator==(const CanvasPen &) const = default;
};

enum class CanvasBrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

struct CanvasBrush
{
    QColor color = Qt::white;
    CanvasBrushStyle style = CanvasBrushStyle::Solid;
    bool operator==(const CanvasBrush &) const = default;
};

enum class CanvasTextAlign { Left, Center, Right };

class Canvas
{
public:
    virtual ~Canvas() = default;

    // Resolution of the device behind the canvas; point sizes of fonts are
    // converted with it (a 10-point font is 10 / 72 inch high on any canvas).
    virtual int PixelsPerInchX() const = 0;
    virtual int PixelsPerInchY() const = 0;

    // Family, point size (or pixel size, taken as device pixels), weight,
    // italic, underline and strike-out of font are used; color is the text
    // colour.
    virtual void SetFont(const QFont &font, const QColor &color) = 0;
    virtual void SetPen(const CanvasPen &pen) = 0;
    virtual void SetBrush(const CanvasBrush &brush) = 0;
    virtual QFont Font() const = 0;
    virtual QColor FontColor() const = 0;
    virtual CanvasPen Pen() const = 0;
    virtual CanvasBrush Brush() const = 0;

    // Width and height (ascent + descent) of text in the current font, in
    // device units.
    virtual int TextWidth(const QString &text) const = 0;
    virtual int TextHeight(const QString &text) const = 0;

    virtual void TextOut(int x, int y, const QString &text,
                         CanvasTextAlign align = CanvasTextAlign::Left,
                         bool rightToLeft = false) = 0;
    // Fills box with the brush, no outline.
    virtual void FillRect(const QRect &box) = 0;
    // Outlines box with the pen and fills its inside with the brush.
    virtual void Rectangle(const QRect &box) = 0;
    virtual void Ellipse(const QRect &box) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Draws a whole page scaled into target.
    virtual void StretchDraw(const QRect &target, const Metafile &page) = 0;
};

// A canvas that draws by itself and so keeps the font (Arial 10 at first),
// text colour, pen and brush last set on it.
class DrawingCanvas : public Canvas
{
public:
    void SetFont(const QFont &font, const QColor &color) override
    {
        FFont = font;
        FFontColor = color;
    }
    void SetPen(const CanvasPen &pen) override { FPen = pen; }
    void SetBrush(const CanvasBrush &brush) override { FBrush = brush; }
    QFont Font() const override { return FFont; }
    QColor FontColor() const override { return FFontColor; }
    CanvasPen Pen() const override { return FPen; }
    CanvasBrush Brush() const override { return FBrush; }

protected:
    QFont FFont{QStringLiteral("Arial"), 10};
    QColor FFontColor = Qt::black;
    CanvasPen FPen;
    CanvasBrush FBrush;
};
