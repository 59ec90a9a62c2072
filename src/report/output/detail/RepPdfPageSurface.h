#pragma once
// One PDF page's content stream, drawn by the metafile player. Shapes
// become path operators, text records become strings of one-byte codes set
// at the record's own advances (a TJ array moves a glyph only where the
// advance it was laid out with differs from the width its font was given).
// The graphics state is written only when it changes, so a page of text
// under one transform is one q … Q with a text object per run of text.
//
// What this writer does not draw — text that needs the full layout, a font
// it cannot embed, patterned brushes, dashed pens — marks the page
// unsupported; the whole page is then written another way.

#include "platform/MetafileSurface.h"

#include <QByteArray>
#include <optional>

class RepPdfFonts;
class RepPdfSizedFont;

class RepPdfPageSurface : public MetafileSurface
{
public:
    // A page heightPoints high; the surface's device coordinates are points
    // from the page's top left corner.
    RepPdfPageSurface(RepPdfFonts &fonts, double heightPoints);

    // The page's content stream so far, every state closed.
    QByteArray Finish();
    // True once the page drew something this writer cannot write.
    bool Unsupported() const { return FUnsupported; }

    void SetTransform(const QTransform &transform, const QPainterPath *clip) override;
    void DrawRect(const QRectF &box, const QPen &pen, const QBrush &brush) override;
    void DrawEllipse(const QRectF &box, const QPen &pen, const QBrush &brush) override;
    void DrawRoundedRect(const QRectF &box, double rx, double ry, const QPen &pen, const QBrush &brush) override;
    void DrawLine(const QPointF &from, const QPointF &to, const QPen &pen) override;
    void DrawPath(const QPainterPath &path, const QPen &pen, const QBrush &brush) override;
    void FillRect(const QRectF &box, const QBrush &brush) override;
    void FillPath(const QPainterPath &path, const QBrush &brush) override;
    void DrawGlyphs(const MetafileGlyphs &run) override;
    void DrawText(const QPointF &baseline, const QString &text, const QFont &font, const QColor &color,
                  bool rightToLeft) override;

private:
    bool Paints(const QPen &pen, const QBrush &brush);
    void BeginShape(const QPen &pen, const QBrush &brush);
    void EndShape(const QPen &pen, const QBrush &brush, bool evenOdd);
    void ApplyState();
    void EndText();
    void SetFill(const QColor &color);
    void SetStroke(const QColor &color);
    void Point(const QPointF &p);
    void Path(const QPainterPath &path);
    void ShowCodes(RepPdfSizedFont &font, const MetafileGlyphs &run);
    void FlushString(bool adjusted);

    RepPdfFonts &FFonts;
    QByteArray C;
    bool FUnsupported = false;

    // The transform and clip the next drawing wants, and what the stream
    // has in force inside its current q … Q.
    QTransform FWant;
    std::optional<QPainterPath> FWantClip;
    bool FDirty = true;
    bool FInState = false;
    std::optional<QColor> FFill, FStroke;
    std::optional<double> FLineWidth;

    // Inside a text object: the font set and where the line matrix stands
    // (as the reader computes it from the numbers written).
    bool FInText = false;
    RepPdfSizedFont *FTextFont = nullptr;
    int FTextSlot = -1;
    bool FLineKnown = false;
    double FLineX = 0, FLineY = 0;
    QByteArray FString; // the show operation being built
};
