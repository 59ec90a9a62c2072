#pragma once
// What the metafile player draws on. The player does everything a record
// means — the device context's objects and state, mapping modes and world
// transforms, alignment of text, the guards against absurd sizes — and
// hands a surface only finished drawing: shapes and text in the page's
// logical coordinates under the transform last set. A QPainter is one
// surface (PlayMetafile onto a painter); a PDF page is another.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QStringView>
#include <QTransform>
#include <span>

// A line of text set glyph by glyph: glyphs[i] of raw (the glyph font sets
// for text[i] by itself) stands at baseline.x() + advances[0] + … +
// advances[i - 1]. text, glyphs and advances are equally long.
struct MetafileGlyphs
{
    QPointF baseline;
    QColor color;
    const QFont &font;
    const QRawFont &raw;
    QStringView text;
    std::span<const quint32> glyphs;
    std::span<const qint32> advances;
};

class MetafileSurface
{
public:
    virtual ~MetafileSurface() = default;

    // The calls that follow draw in coordinates that transform maps to the
    // surface's device; clip, when given, is in device coordinates.
    virtual void SetTransform(const QTransform &transform, const QPainterPath *clip) = 0;

    virtual void DrawRect(const QRectF &box, const QPen &pen, const QBrush &brush) = 0;
    virtual void DrawEllipse(const QRectF &box, const QPen &pen, const QBrush &brush) = 0;
    virtual void DrawRoundedRect(const QRectF &box, double rx, double ry, const QPen &pen,
                                 const QBrush &brush) = 0;
    // The end point is not drawn by a thin pen; a wide one ends flat there.
    virtual void DrawLine(const QPointF &from, const QPointF &to, const QPen &pen) = 0;
    virtual void DrawPath(const QPainterPath &path, const QPen &pen, const QBrush &brush) = 0;
    virtual void FillRect(const QRectF &box, const QBrush &brush) = 0;
    virtual void FillPath(const QPainterPath &path, const QBrush &brush) = 0;

    // Text whose font sets every character by itself, at the record's own
    // advances. Underline and strike-out are not drawn here (the player
    // fills them over the advances' width).
    virtual void DrawGlyphs(const MetafileGlyphs &run) = 0;
    // Text that needs the full layout (font fallback, combining marks,
    // right-to-left reading, no advances), decorations included.
    virtual void DrawText(const QPointF &baseline, const QString &text, const QFont &font, const QColor &color,
                          bool rightToLeft) = 0;
};
