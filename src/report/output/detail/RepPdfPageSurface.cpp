#include "report/output/detail/RepPdfPageSurface.h"

#include "report/output/detail/RepPdfDocument.h"
#include "report/output/detail/RepPdfFonts.h"

#include <cmath>

namespace {

// A number as the reader will take it back from the stream.
double Written(double v)
{
    return std::nearbyint(v * 1000) / 1000;
}

void AppendColor(QByteArray &out, const QColor &color, const char *op)
{
    AppendPdfNumber(out, color.redF());
    out += ' ';
    AppendPdfNumber(out, color.greenF());
    out += ' ';
    AppendPdfNumber(out, color.blueF());
    out += op;
}

bool IsRect(const QPainterPath &path, QRectF &rect)
{
    if (path.elementCount() != 5 || !path.elementAt(0).isMoveTo())
        return false;
    const QPainterPath::Element a = path.elementAt(0), b = path.elementAt(1), c = path.elementAt(2),
                                d = path.elementAt(3), e = path.elementAt(4);
    for (const auto &l : {b, c, d, e})
        if (!l.isLineTo())
            return false;
    if (!(a.y == b.y && b.x == c.x && c.y == d.y && d.x == a.x && e.x == a.x && e.y == a.y))
        return false;
    rect = QRectF(QPointF(a.x, a.y), QPointF(c.x, c.y));
    return true;
}

} // namespace

RepPdfPageSurface::RepPdfPageSurface(RepPdfFonts &fonts, double heightPoints) : FFonts(fonts)
{
    C.reserve(16384);
    // The device's points run down from the top left corner.
    C += "1 0 0 -1 0 ";
    AppendPdfNumber(C, heightPoints);
    C += " cm\n";
}

QByteArray RepPdfPageSurface::Finish()
{
    EndText();
    if (FInState) {
        C += "Q\n";
        FInState = false;
    }
    FDirty = true;
    return C;
}

void RepPdfPageSurface::SetTransform(const QTransform &transform, const QPainterPath *clip)
{
    const bool sameClip = clip ? FWantClip && *FWantClip == *clip : !FWantClip;
    if (transform == FWant && sameClip)
        return;
    FWant = transform;
    if (clip)
        FWantClip = *clip;
    else
        FWantClip.reset();
    FDirty = true;
}

void RepPdfPageSurface::ApplyState()
{
    if (!FDirty)
        return;
    EndText();
    if (FInState)
        C += "Q\n";
    C += "q\n";
    FInState = true;
    FFill.reset();
    FStroke.reset();
    FLineWidth.reset();
    FTextFont = nullptr;
    if (FWantClip) {
        Path(*FWantClip);
        C += FWantClip->fillRule() == Qt::WindingFill ? "W n\n" : "W* n\n";
    }
    if (!FWant.isIdentity()) {
        for (double v : {FWant.m11(), FWant.m12(), FWant.m21(), FWant.m22(), FWant.dx(), FWant.dy()}) {
            AppendPdfFine(C, v);
            C += ' ';
        }
        C += "cm\n";
    }
    FDirty = false;
}

void RepPdfPageSurface::EndText()
{
    if (!FInText)
        return;
    C += "ET\n";
    FInText = false;
}

void RepPdfPageSurface::SetFill(const QColor &color)
{
    if (FFill != color)
        AppendColor(C, *(FFill = color), " rg\n");
}

void RepPdfPageSurface::SetStroke(const QColor &color)
{
    if (FStroke != color)
        AppendColor(C, *(FStroke = color), " RG\n");
}

void RepPdfPageSurface::Point(const QPointF &p)
{
    AppendPdfNumber(C, p.x());
    C += ' ';
    AppendPdfNumber(C, p.y());
    C += ' ';
}

void RepPdfPageSurface::Path(const QPainterPath &path)
{
    QRectF rect;
    if (IsRect(path, rect)) {
        Point(rect.topLeft());
        Point(QPointF(rect.width(), rect.height()));
        C += "re\n";
        return;
    }
    QPointF start;
    int pointsInSubpath = 0;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            start = e;
            pointsInSubpath = 1;
            Point(e);
            C += "m\n";
            break;
        case QPainterPath::LineToElement:
            Point(e);
            C += "l\n";
            ++pointsInSubpath;
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 >= path.elementCount())
                return;
            Point(e);
            Point(path.elementAt(i + 1));
            Point(path.elementAt(i + 2));
            C += "c\n";
            i += 2;
            ++pointsInSubpath;
            break;
        case QPainterPath::CurveToDataElement: break;
        }
        // A subpath back at its start is closed, so its corner joins there
        // as it does on a painter.
        const bool subpathEnds = i + 1 >= path.elementCount() || path.elementAt(i + 1).isMoveTo();
        if (subpathEnds && pointsInSubpath > 2 && QPointF(path.elementAt(i)) == start)
            C += "h\n";
    }
}

bool RepPdfPageSurface::Paints(const QPen &pen, const QBrush &brush)
{
    const bool penOk = pen.style() == Qt::NoPen || pen.style() == Qt::SolidLine;
    const bool brushOk = brush.style() == Qt::NoBrush || brush.style() == Qt::SolidPattern;
    if (!penOk || !brushOk)
        FUnsupported = true;
    return !FUnsupported && (pen.style() != Qt::NoPen || brush.style() != Qt::NoBrush);
}

void RepPdfPageSurface::BeginShape(const QPen &pen, const QBrush &brush)
{
    ApplyState();
    EndText();
    if (brush.style() != Qt::NoBrush)
        SetFill(brush.color());
    if (pen.style() != Qt::NoPen) {
        SetStroke(pen.color());
        // A cosmetic pen is the thinnest line the device draws.
        const double width = pen.isCosmetic() ? 0 : pen.widthF();
        if (FLineWidth != width) {
            FLineWidth = width;
            AppendPdfNumber(C, width);
            C += " w\n";
        }
    }
}

void RepPdfPageSurface::EndShape(const QPen &pen, const QBrush &brush, bool evenOdd)
{
    const bool fill = brush.style() != Qt::NoBrush, stroke = pen.style() != Qt::NoPen;
    if (fill && stroke)
        C += evenOdd ? "B*\n" : "B\n";
    else if (fill)
        C += evenOdd ? "f*\n" : "f\n";
    else
        C += "S\n";
}

void RepPdfPageSurface::DrawRect(const QRectF &box, const QPen &pen, const QBrush &brush)
{
    if (!Paints(pen, brush))
        return;
    BeginShape(pen, brush);
    Point(box.topLeft());
    Point(QPointF(box.width(), box.height()));
    C += "re\n";
    EndShape(pen, brush, false);
}

void RepPdfPageSurface::DrawEllipse(const QRectF &box, const QPen &pen, const QBrush &brush)
{
    QPainterPath path;
    path.addEllipse(box);
    DrawPath(path, pen, brush);
}

void RepPdfPageSurface::DrawRoundedRect(const QRectF &box, double rx, double ry, const QPen &pen,
                                        const QBrush &brush)
{
    QPainterPath path;
    path.addRoundedRect(box, rx, ry);
    DrawPath(path, pen, brush);
}

void RepPdfPageSurface::DrawLine(const QPointF &from, const QPointF &to, const QPen &pen)
{
    if (!Paints(pen, Qt::NoBrush))
        return;
    BeginShape(pen, Qt::NoBrush);
    Point(from);
    C += "m\n";
    Point(to);
    C += "l\nS\n";
}

void RepPdfPageSurface::DrawPath(const QPainterPath &path, const QPen &pen, const QBrush &brush)
{
    if (!Paints(pen, brush) || path.isEmpty())
        return;
    BeginShape(pen, brush);
    Path(path);
    EndShape(pen, brush, path.fillRule() == Qt::OddEvenFill);
}

void RepPdfPageSurface::FillRect(const QRectF &box, const QBrush &brush)
{
    QPainterPath path;
    path.addRect(box);
    FillPath(path, brush);
}

void RepPdfPageSurface::FillPath(const QPainterPath &path, const QBrush &brush)
{
    DrawPath(path, Qt::NoPen, brush);
}

void RepPdfPageSurface::DrawText(const QPointF &, const QString &, const QFont &, const QColor &, bool)
{
    FUnsupported = true;
}

void RepPdfPageSurface::DrawGlyphs(const MetafileGlyphs &run)
{
    if (FUnsupported || run.glyphs.empty())
        return;
    RepPdfSizedFont *font = FFonts.Sized(run.font, run.raw);
    if (!font) {
        FUnsupported = true;
        return;
    }
    ApplyState();
    if (!FInText) {
        C += "BT\n";
        FInText = true;
        FLineKnown = false;
    }
    SetFill(run.color);
    // Text space is the page's, turned upright; the line matrix moves from
    // line to line.
    if (!FLineKnown) {
        C += "1 0 0 -1 ";
        Point(run.baseline);
        C += "Tm\n";
        FLineX = Written(run.baseline.x());
        FLineY = Written(run.baseline.y());
        FLineKnown = true;
    } else {
        const double dx = Written(run.baseline.x() - FLineX), dy = Written(run.baseline.y() - FLineY);
        Point(QPointF(dx, -dy));
        C += "Td\n";
        FLineX += dx;
        FLineY += dy;
    }
    ShowCodes(*font, run);
}

void RepPdfPageSurface::ShowCodes(RepPdfSizedFont &font, const MetafileGlyphs &run)
{
    const double size = font.PixelSize();
    // Where the reader's pen stands after the codes written so far, and
    // where the next glyph belongs, in pixels from the line's start.
    double pen = 0, target = 0;
    bool adjusted = false;
    FString.clear();
    bool inString = false;
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        const int code = font.CodeOf(run.text[qsizetype(i)].unicode(), run.glyphs[i]);
        const int slot = code >> 8;
        if (&font != FTextFont || slot != FTextSlot) {
            if (inString)
                FString += ')';
            FlushString(adjusted);
            adjusted = inString = false;
            C += '/' + font.ResourceName(slot) + ' ';
            AppendPdfNumber(C, size);
            C += " Tf\n";
            FTextFont = &font;
            FTextSlot = slot;
        }
        const int shift = int(std::nearbyint((pen - target) * 1000 / size));
        if (shift != 0) {
            if (inString)
                FString += ')';
            inString = false;
            FString += QByteArray::number(shift);
            pen -= shift * size / 1000;
            adjusted = true;
        }
        if (!inString) {
            FString += '(';
            inString = true;
        }
        const char byte = char(code & 0xFF);
        if (byte == '(' || byte == ')' || byte == '\\')
            FString += '\\';
        if (byte == '\r')
            FString += "\\r";
        else
            FString += byte;
        pen += font.AdvanceOf(code, run.advances[i]);
        target += run.advances[i];
    }
    if (inString)
        FString += ')';
    FlushString(adjusted);
}

void RepPdfPageSurface::FlushString(bool adjusted)
{
    if (FString.isEmpty())
        return;
    if (adjusted) {
        C += '[';
        C += FString;
        C += "]TJ\n";
    } else {
        C += FString;
        C += "Tj\n";
    }
    FString.clear();
}
