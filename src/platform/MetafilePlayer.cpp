#include "platform/MetafilePlayer.h"

#include "platform/EmfRecord.h"
#include "platform/Metafile.h"
#include "platform/MetafileSurface.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <variant>
#include <vector>
#include <uemf.h>

namespace {

using Record = EmfRecord;

struct PenObject
{
    QColor color;
    quint32 style;
    qint32 width;
};
struct BrushObject
{
    QColor color;
    quint32 style;
    quint32 hatch;
};
struct FontObject
{
    QFont font;
    qint32 height;
    qint32 escapement;
};
using GdiObject = std::variant<PenObject, BrushObject, FontObject>;

// The font of a page that never selects one: 16 pixels, as the height says.
QFont DefaultFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    return font;
}

struct DcState
{
    PenObject pen{Qt::black, U_PS_SOLID, 0};
    BrushObject brush{Qt::white, U_BS_SOLID, 0};
    FontObject font{DefaultFont(), -16, 0};
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    quint32 bkMode = U_OPAQUE;
    quint32 textAlign = U_TA_TOP | U_TA_LEFT;
    quint32 fillMode = U_ALTERNATE;
    quint32 mapMode = U_MM_TEXT;
    QPointF windowOrg, viewportOrg;
    QSizeF windowExt{1, 1}, viewportExt{1, 1};
    QTransform world;
    QPointF position;
    bool clipped = false;
    QPainterPath clip; // in device coordinates of the painter
};

constexpr double ShapeLimit = 1e6;   // device pixels a single shape may span
constexpr int FontLimit = 20000;     // logical font height
constexpr quint32 TextLimit = 16384; // characters drawn of one text record
constexpr double TextScaleLimit = 20000; // device pixels of an em beyond which text is left out

// What drawing text needs of a font, looked up once per font and thread:
// its raw font (for glyphs) and its metrics.
struct FontFacts
{
    QRawFont raw;
    double ascent;
    double height;
    double lineWidth; // of underline and strike-out, at least 1
    double underlinePos;
    double strikeOutPos;
};

const FontFacts &FactsOf(const QFont &font)
{
    thread_local QHash<QFont, FontFacts> shared;
    const auto it = shared.constFind(font);
    if (it != shared.constEnd())
        return *it;
    if (shared.size() >= 64)
        shared.clear();
    const QFontMetricsF m(font);
    return *shared.insert(font, FontFacts{QRawFont::fromFont(font), m.ascent(), m.height(),
                                          std::max(m.lineWidth(), 1.0), m.underlinePos(), m.strikeOutPos()});
}

class Player
{
public:
    // device: the surface's own transform, applied after the page's.
    Player(MetafileSurface &out, const Metafile &page, const QRectF &target, const QTransform &device)
        : Out(out), Page(page)
    {
        const QRectF source(page.Frame().left() / 100.0 * page.PixelsPerMmX(),
                            page.Frame().top() / 100.0 * page.PixelsPerMmY(),
                            std::max(page.Width(), 1), std::max(page.Height(), 1));
        Base.translate(target.left(), target.top());
        Base.scale(target.width() / source.width(), target.height() / source.height());
        Base.translate(-source.left(), -source.top());
        Base = Base * device;
        Objects.reserve(size_t(std::min(page.HandleCount(), 4096)));
    }

    void Play()
    {
        ForEachEmfRecord(Page.Bytes(), [this](quint32 type, const Record &r) { Dispatch(type, r); });
    }

private:
    MetafileSurface &Out;
    const Metafile &Page;
    QTransform Base;
    QTransform Current; // what the surface draws with now
    DcState S;
    std::vector<DcState> Saved;
    std::unordered_map<quint32, GdiObject> Objects;
    std::vector<quint32> Glyphs;  // of the text record being drawn
    std::vector<qint32> Advances; // likewise

    QTransform Mapping() const
    {
        QTransform m;
        double sx = 1, sy = 1;
        switch (S.mapMode) {
        case U_MM_LOMETRIC: sx = Page.PixelsPerMmX() / 10; sy = -Page.PixelsPerMmY() / 10; break;
        case U_MM_HIMETRIC: sx = Page.PixelsPerMmX() / 100; sy = -Page.PixelsPerMmY() / 100; break;
        case U_MM_LOENGLISH: sx = Page.PixelsPerMmX() * 0.254; sy = -Page.PixelsPerMmY() * 0.254; break;
        case U_MM_HIENGLISH: sx = Page.PixelsPerMmX() * 0.0254; sy = -Page.PixelsPerMmY() * 0.0254; break;
        case U_MM_TWIPS: sx = Page.PixelsPerMmX() * 25.4 / 1440; sy = -Page.PixelsPerMmY() * 25.4 / 1440; break;
        case U_MM_ISOTROPIC:
        case U_MM_ANISOTROPIC:
            if (S.windowExt.width() != 0 && S.windowExt.height() != 0) {
                sx = S.viewportExt.width() / S.windowExt.width();
                sy = S.viewportExt.height() / S.windowExt.height();
                if (S.mapMode == U_MM_ISOTROPIC) {
                    const double s = std::min(std::abs(sx), std::abs(sy));
                    sx = std::copysign(s, sx);
                    sy = std::copysign(s, sy);
                }
            }
            break;
        default: break;
        }
        m.translate(S.viewportOrg.x(), S.viewportOrg.y());
        m.scale(sx, sy);
        m.translate(-S.windowOrg.x(), -S.windowOrg.y());
        return m;
    }

    // Sets the painter up for logical coordinates; false when the mapping
    // is unusable or the shape would be absurdly large.
    bool Begin(const QRectF &logicalBounds)
    {
        const QTransform t = S.world * Mapping() * Base;
        for (double v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
            if (!std::isfinite(v) || std::abs(v) > 1e9)
                return false;
        const QRectF mapped = t.mapRect(logicalBounds);
        if (!std::isfinite(mapped.width()) || !std::isfinite(mapped.height()) ||
            mapped.width() > ShapeLimit || mapped.height() > ShapeLimit ||
            std::abs(mapped.left()) > 1e7 || std::abs(mapped.top()) > 1e7)
            return false;
        Out.SetTransform(t, S.clipped ? &S.clip : nullptr);
        Current = t;
        return true;
    }

    QPen Pen() const
    {
        const quint32 style = S.pen.style & U_PS_STYLE_MASK;
        if (style == U_PS_NULL)
            return Qt::NoPen;
        QPen pen(S.pen.color);
        if (S.pen.width <= 1) {
            pen.setWidth(0);
            pen.setCosmetic(true);
        } else {
            pen.setWidthF(std::min(S.pen.width, 10000));
        }
        switch (style) {
        case U_PS_DASH: pen.setStyle(Qt::DashLine); break;
        case U_PS_DOT: pen.setStyle(Qt::DotLine); break;
        case U_PS_DASHDOT: pen.setStyle(Qt::DashDotLine); break;
        case U_PS_DASHDOTDOT: pen.setStyle(Qt::DashDotDotLine); break;
        default: break;
        }
        if (pen.style() != Qt::SolidLine && !pen.isCosmetic())
            pen.setStyle(Qt::SolidLine); // dashes of wide pens would be endless work
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    }

    static QBrush BrushOf(const BrushObject &b)
    {
        if (b.style == U_BS_NULL)
            return Qt::NoBrush;
        if (b.style == U_BS_HATCHED) {
            static const Qt::BrushStyle hatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                     Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
            return QBrush(b.color, b.hatch < 6 ? hatches[b.hatch] : Qt::SolidPattern);
        }
        return QBrush(b.color);
    }
    QBrush Brush() const { return BrushOf(S.brush); }

    void Select(quint32 ih)
    {
        if (ih & U_STOCK_OBJECT) {
            switch (ih) {
            case U_WHITE_BRUSH: S.brush = {Qt::white, U_BS_SOLID, 0}; break;
            case U_LTGRAY_BRUSH: S.brush = {QColor(192, 192, 192), U_BS_SOLID, 0}; break;
            case U_GRAY_BRUSH: S.brush = {QColor(128, 128, 128), U_BS_SOLID, 0}; break;
            case U_DKGRAY_BRUSH: S.brush = {QColor(64, 64, 64), U_BS_SOLID, 0}; break;
            case U_BLACK_BRUSH: S.brush = {Qt::black, U_BS_SOLID, 0}; break;
            case U_NULL_BRUSH: S.brush = {Qt::white, U_BS_NULL, 0}; break;
            case U_WHITE_PEN: S.pen = {Qt::white, U_PS_SOLID, 0}; break;
            case U_BLACK_PEN: S.pen = {Qt::black, U_PS_SOLID, 0}; break;
            case U_NULL_PEN: S.pen = {Qt::black, U_PS_NULL, 0}; break;
            default: break; // stock fonts and palettes keep what is selected
            }
            return;
        }
        auto it = Objects.find(ih);
        if (it == Objects.end())
            return;
        if (auto *pen = std::get_if<PenObject>(&it->second))
            S.pen = *pen;
        else if (auto *brush = std::get_if<BrushObject>(&it->second))
            S.brush = *brush;
        else if (auto *font = std::get_if<FontObject>(&it->second))
            S.font = *font;
    }

    void Store(quint32 ih, GdiObject object)
    {
        // Handles beyond what the header announced are refused, so a page
        // cannot grow the table beyond its own size.
        if (ih == 0 || ih > quint32(std::max(Page.HandleCount(), 1)) || ih > 65535)
            return;
        Objects[ih] = std::move(object);
    }

    static QFont MakeFont(const Record &r, quint32 off, qint32 height)
    {
        QString face;
        for (int i = 0; i < U_LF_FACESIZE; ++i) {
            const quint16 ch = quint16(r.U8(off + 28 + 2 * i) | (r.U8(off + 29 + 2 * i) << 8));
            if (ch == 0)
                break;
            face.append(QChar(ch));
        }
        QFont font(face.isEmpty() ? QStringLiteral("Arial") : face);
        const qint32 weight = r.I32(off + 16);
        font.setWeight(weight >= 600 ? QFont::Bold : (weight > 0 && weight < 350 ? QFont::Light : QFont::Normal));
        font.setItalic(r.U8(off + 20) != 0);
        font.setUnderline(r.U8(off + 21) != 0);
        font.setStrikeOut(r.U8(off + 22) != 0);
        qint64 px = std::llabs(qint64(height));
        px = std::clamp<qint64>(px, 1, FontLimit);
        font.setPixelSize(int(px));
        if (height > 0) {
            // A positive height is the whole character cell, not the em.
            const QFontMetricsF m(font);
            if (m.height() > 0)
                font.setPixelSize(std::max(1, int(std::nearbyint(px * px / m.height()))));
        }
        return font;
    }

    void Polygon(const Record &r, bool wide, bool closed, bool bezier, bool continueFromPosition)
    {
        const quint32 count = r.U32(24);
        const quint32 pointSize = wide ? 8 : 4;
        if (r.broken || !r.Holds(28, quint64(count) * pointSize) || count == 0)
            return;
        QPolygonF poly;
        poly.reserve(int(count) + 1);
        if (continueFromPosition)
            poly << S.position;
        for (quint32 i = 0; i < count; ++i) {
            const quint32 o = 28 + i * pointSize;
            poly << (wide ? QPointF(r.I32(o), r.I32(o + 4)) : QPointF(r.I16(o), r.I16(o + 2)));
        }
        if (continueFromPosition)
            S.position = poly.last();
        if (!Begin(poly.boundingRect()))
            return;
        QPainterPath path;
        if (bezier) {
            path.moveTo(poly.first());
            for (int i = 1; i + 2 < poly.size(); i += 3)
                path.cubicTo(poly[i], poly[i + 1], poly[i + 2]);
        } else {
            path.addPolygon(poly);
        }
        if (closed) {
            path.closeSubpath();
            path.setFillRule(S.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        }
        Out.DrawPath(path, Pen(), closed ? Brush() : QBrush(Qt::NoBrush));
    }

    void PolyPolygon(const Record &r, bool wide, bool closed)
    {
        const quint32 polys = r.U32(24), total = r.U32(28);
        const quint32 pointSize = wide ? 8 : 4;
        if (r.broken || !r.Holds(32, quint64(polys) * 4) ||
            !r.Holds(32 + quint64(polys) * 4, quint64(total) * pointSize))
            return;
        QPainterPath path;
        quint64 used = 0;
        const quint32 pointsAt = 32 + polys * 4;
        for (quint32 k = 0; k < polys; ++k) {
            const quint32 n = r.U32(32 + 4 * k);
            if (used + n > total)
                return;
            QPolygonF poly;
            for (quint32 i = 0; i < n; ++i) {
                const quint32 o = pointsAt + quint32(used + i) * pointSize;
                poly << (wide ? QPointF(r.I32(o), r.I32(o + 4)) : QPointF(r.I16(o), r.I16(o + 2)));
            }
            used += n;
            path.addPolygon(poly);
            if (closed)
                path.closeSubpath();
        }
        if (!Begin(path.boundingRect()))
            return;
        path.setFillRule(S.fillMode == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        Out.DrawPath(path, Pen(), closed ? Brush() : QBrush());
    }

    void Shape(const QRect &box, quint32 type, const QSize &corner = {})
    {
        const QRect r = box.normalized();
        if (!Begin(QRectF(r.left(), r.top(), double(r.right()) - r.left() + 1, double(r.bottom()) - r.top() + 1)))
            return;
        const QRect g(r.left(), r.top(), r.right() - r.left(), r.bottom() - r.top());
        if (type == U_EMR_ELLIPSE)
            Out.DrawEllipse(g, Pen(), Brush());
        else if (type == U_EMR_ROUNDRECT)
            Out.DrawRoundedRect(g, corner.width() / 2.0, corner.height() / 2.0, Pen(), Brush());
        else
            Out.DrawRect(g, Pen(), Brush());
    }

    void Line(const QPointF &to)
    {
        const QPointF from = S.position;
        S.position = to;
        if (!Begin(QRectF(from, to).normalized().adjusted(-1, -1, 1, 1)))
            return;
        const QPen pen = Pen();
        if (pen.style() == Qt::NoPen)
            return;
        if (from != to)
            Out.DrawLine(from, to, pen);
    }

    void FillRegion(const Record &r, bool useBrushHandle)
    {
        const quint32 rgn = useBrushHandle ? 32 : 28;
        const quint32 count = r.U32(rgn + 8);
        if (r.broken || r.U32(rgn + 4) != 1 || !r.Holds(rgn + 32, quint64(count) * 16))
            return;
        BrushObject brush = S.brush;
        if (useBrushHandle) {
            const quint32 ih = r.U32(28);
            if (ih & U_STOCK_OBJECT) {
                const BrushObject keep = S.brush;
                Select(ih);
                brush = S.brush;
                S.brush = keep;
            } else if (auto it = Objects.find(ih); it != Objects.end()) {
                if (auto *b = std::get_if<BrushObject>(&it->second))
                    brush = *b;
                else
                    return;
            } else {
                return;
            }
        }
        // Region rectangles keep their right and bottom edges outside.
        QPainterPath path;
        for (quint32 i = 0; i < count; ++i) {
            const quint32 o = rgn + 32 + 16 * i;
            path.addRect(QRectF(QPointF(r.I32(o), r.I32(o + 4)), QPointF(r.I32(o + 8), r.I32(o + 12))).normalized());
        }
        if (Begin(path.boundingRect()))
            Out.FillPath(path, BrushOf(brush));
    }

    // Draws text as the glyphs of font placed at the record's own character
    // advances, without laying the string out again; false (nothing drawn)
    // when the record has no advances or the font lacks a character, which
    // then needs the full text layout with its font fallback.
    bool DrawAtAdvances(const Record &r, const QFont &font, const FontFacts &facts, const QString &text,
                        quint32 offDx, quint32 count, const QPointF &baseline)
    {
        if (offDx == 0 || !r.Holds(offDx, quint64(count) * 4) || qsizetype(count) != text.size())
            return false;
        if (!facts.raw.isValid())
            return false;
        Glyphs.resize(size_t(text.size()));
        int n = int(Glyphs.size());
        if (!facts.raw.glyphIndexesForChars(text.constData(), int(text.size()), Glyphs.data(), &n)
            || n != int(text.size()))
            return false;
        Advances.resize(size_t(n));
        double width = 0;
        for (int i = 0; i < n; ++i) {
            if (Glyphs[size_t(i)] == 0 || text[i].isSurrogate() || text[i].category() == QChar::Mark_NonSpacing)
                return false;
            Advances[size_t(i)] = r.I32(offDx + 4 * quint32(i));
            width += Advances[size_t(i)];
        }
        Out.DrawGlyphs(MetafileGlyphs{baseline, S.textColor, font, facts.raw, text, Glyphs, Advances});
        // A glyph run carries no decorations, so underline and strike-out
        // are drawn here, over the advances' width.
        if (font.underline())
            Out.FillRect(QRectF(baseline.x(), baseline.y() + facts.underlinePos, width, facts.lineWidth),
                         S.textColor);
        if (font.strikeOut())
            Out.FillRect(QRectF(baseline.x(), baseline.y() - facts.strikeOutPos, width, facts.lineWidth),
                         S.textColor);
        return true;
    }

    // The font's height in pixels, whether it was given in pixels or in
    // points (at the page's own density).
    double PixelHeight(const QFont &font) const
    {
        if (font.pixelSize() > 0)
            return font.pixelSize();
        return font.pointSizeF() * Page.PixelsPerMmY() * 25.4 / 72.0;
    }

    void Text(const Record &r, bool wide)
    {
        const qint32 x = r.I32(36), y = r.I32(40);
        const quint32 options = r.U32(52);
        const quint32 offDx = (options & U_ETO_NO_RECT) ? r.U32(56) : r.U32(72);
        const QString text = EmfRecordText(r, wide, TextLimit);
        if (r.broken || text.isEmpty())
            return;
        const quint32 count = quint32(text.size());
        const QFont &font = S.font.font;
        const FontFacts &facts = FactsOf(font);
        double width = 0;
        if (offDx != 0 && r.Holds(offDx, quint64(count) * 4)) {
            for (quint32 i = 0; i < count; ++i)
                width += r.I32(offDx + 4 * i);
        } else {
            width = QFontMetricsF(font).horizontalAdvance(text);
        }
        QPointF ref(x, y);
        if (S.textAlign & U_TA_UPDATECP)
            ref = S.position;
        double left = ref.x();
        const quint32 h = S.textAlign & U_TA_CENTER;
        if (h == U_TA_CENTER)
            left -= width / 2;
        else if (h == U_TA_RIGHT)
            left -= width;
        double top = ref.y();
        const quint32 v = S.textAlign & U_TA_BASELINE;
        if (v == U_TA_BASELINE)
            top -= facts.ascent;
        else if (v == U_TA_BOTTOM)
            top -= facts.height;
        if (S.textAlign & U_TA_UPDATECP)
            S.position.rx() += (h == U_TA_RIGHT ? -width : width);
        const QRectF box(left, top, std::abs(width), facts.height);
        QTransform rotation;
        if (S.font.escapement % 3600 != 0) {
            rotation.translate(ref.x(), ref.y());
            rotation.rotate(-double(S.font.escapement) / 10.0);
            rotation.translate(-ref.x(), -ref.y());
        }
        const QTransform keep = S.world;
        S.world = rotation * S.world;
        const bool ok = Begin(box);
        S.world = keep;
        if (!ok)
            return;
        if (S.bkMode == U_OPAQUE || (options & U_ETO_OPAQUE))
            Out.FillRect(box, S.bkColor);
        // Beyond any sensible size text is left out.
        const QTransform &t = Current;
        const double scale =
            std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())) * PixelHeight(font);
        if (!std::isfinite(scale) || scale > TextScaleLimit)
            return;
        const QPointF baseline(left, top + facts.ascent);
        const bool rtl = (options & U_ETO_RTLREADING) || (S.textAlign & U_TA_RTLREADING);
        if (rtl || !DrawAtAdvances(r, font, facts, text, offDx, count, baseline))
            Out.DrawText(baseline, text, font, S.textColor, rtl);
    }

    void Dispatch(quint32 type, const Record &r)
    {
        switch (type) {
        case U_EMR_POLYBEZIER: Polygon(r, true, false, true, false); break;
        case U_EMR_POLYGON: Polygon(r, true, true, false, false); break;
        case U_EMR_POLYLINE: Polygon(r, true, false, false, false); break;
        case U_EMR_POLYBEZIERTO: Polygon(r, true, false, true, true); break;
        case U_EMR_POLYLINETO: Polygon(r, true, false, false, true); break;
        case U_EMR_POLYBEZIER16: Polygon(r, false, false, true, false); break;
        case U_EMR_POLYGON16: Polygon(r, false, true, false, false); break;
        case U_EMR_POLYLINE16: Polygon(r, false, false, false, false); break;
        case U_EMR_POLYBEZIERTO16: Polygon(r, false, false, true, true); break;
        case U_EMR_POLYLINETO16: Polygon(r, false, false, false, true); break;
        case U_EMR_POLYPOLYLINE: PolyPolygon(r, true, false); break;
        case U_EMR_POLYPOLYGON: PolyPolygon(r, true, true); break;
        case U_EMR_POLYPOLYLINE16: PolyPolygon(r, false, false); break;
        case U_EMR_POLYPOLYGON16: PolyPolygon(r, false, true); break;
        case U_EMR_SETWINDOWEXTEX: S.windowExt = QSizeF(r.I32(8), r.I32(12)); break;
        case U_EMR_SETWINDOWORGEX: S.windowOrg = QPointF(r.I32(8), r.I32(12)); break;
        case U_EMR_SETVIEWPORTEXTEX: S.viewportExt = QSizeF(r.I32(8), r.I32(12)); break;
        case U_EMR_SETVIEWPORTORGEX: S.viewportOrg = QPointF(r.I32(8), r.I32(12)); break;
        case U_EMR_SETPIXELV: {
            const QPointF at(r.I32(8), r.I32(12));
            if (Begin(QRectF(at, QSizeF(1, 1))))
                Out.FillRect(QRectF(at, QSizeF(1, 1)), r.Color(16));
            break;
        }
        case U_EMR_SETMAPMODE: S.mapMode = r.U32(8); break;
        case U_EMR_SETBKMODE: S.bkMode = r.U32(8); break;
        case U_EMR_SETPOLYFILLMODE: S.fillMode = r.U32(8); break;
        case U_EMR_SETTEXTALIGN: S.textAlign = r.U32(8); break;
        case U_EMR_SETTEXTCOLOR: S.textColor = r.Color(8); break;
        case U_EMR_SETBKCOLOR: S.bkColor = r.Color(8); break;
        case U_EMR_MOVETOEX: S.position = QPointF(r.I32(8), r.I32(12)); break;
        case U_EMR_LINETO: Line(QPointF(r.I32(8), r.I32(12))); break;
        case U_EMR_INTERSECTCLIPRECT: {
            const QRectF box = QRectF(QPointF(r.I32(8), r.I32(12)), QPointF(r.I32(16), r.I32(20))).normalized();
            const QTransform t = S.world * Mapping() * Base;
            QPainterPath path;
            path.addPolygon(t.map(QPolygonF(box)));
            S.clip = S.clipped ? S.clip.intersected(path) : path;
            S.clipped = true;
            break;
        }
        case U_EMR_EXTSELECTCLIPRGN:
            if (r.U32(8) == 0 && r.U32(12) == U_RGN_COPY) {
                S.clipped = false;
                S.clip = QPainterPath();
            }
            break;
        case U_EMR_SAVEDC:
            if (Saved.size() < 1024)
                Saved.push_back(S);
            break;
        case U_EMR_RESTOREDC: {
            const qint32 rel = r.I32(8);
            if (rel < 0 && quint64(-qint64(rel)) <= Saved.size()) {
                Saved.resize(Saved.size() - size_t(-qint64(rel)) + 1);
                S = Saved.back();
                Saved.pop_back();
            }
            break;
        }
        case U_EMR_SETWORLDTRANSFORM:
            S.world = QTransform(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
            break;
        case U_EMR_MODIFYWORLDTRANSFORM: {
            const QTransform m(r.F32(8), r.F32(12), r.F32(16), r.F32(20), r.F32(24), r.F32(28));
            switch (r.U32(32)) {
            case U_MWT_IDENTITY: S.world = QTransform(); break;
            case U_MWT_LEFTMULTIPLY: S.world = m * S.world; break;
            case U_MWT_RIGHTMULTIPLY: S.world = S.world * m; break;
            default: break;
            }
            break;
        }
        case U_EMR_SELECTOBJECT: Select(r.U32(8)); break;
        case U_EMR_DELETEOBJECT: Objects.erase(r.U32(8)); break;
        case U_EMR_CREATEPEN:
            Store(r.U32(8), PenObject{r.Color(24), r.U32(12), r.I32(16)});
            break;
        case U_EMR_EXTCREATEPEN:
            Store(r.U32(8), PenObject{r.Color(40), r.U32(28), (r.U32(28) & U_PS_GEOMETRIC) ? r.I32(32) : 0});
            break;
        case U_EMR_CREATEBRUSHINDIRECT:
            Store(r.U32(8), BrushObject{r.Color(16), r.U32(12), r.U32(20)});
            break;
        case U_EMR_EXTCREATEFONTINDIRECTW:
            if (r.size >= 104) {
                const qint32 height = r.I32(12);
                Store(r.U32(8), FontObject{MakeFont(r, 12, height), height, r.I32(20)});
            }
            break;
        case U_EMR_RECTANGLE:
        case U_EMR_ELLIPSE: Shape(r.Box(8), type); break;
        case U_EMR_ROUNDRECT: Shape(r.Box(8), type, QSize(r.I32(24), r.I32(28))); break;
        case U_EMR_FILLRGN: FillRegion(r, true); break;
        case U_EMR_PAINTRGN: FillRegion(r, false); break;
        case U_EMR_EXTTEXTOUTW: Text(r, true); break;
        case U_EMR_EXTTEXTOUTA: Text(r, false); break;
        default: break; // records this player does not know are skipped
        }
    }
};

// The player's drawing onto a QPainter.
class PainterSurface : public MetafileSurface
{
public:
    explicit PainterSurface(QPainter &painter) : P(painter) {}

    void SetTransform(const QTransform &transform, const QPainterPath *clip) override
    {
        if (clip) {
            P.setWorldTransform(QTransform());
            P.setClipPath(*clip);
        } else {
            P.setClipping(false);
        }
        P.setWorldTransform(transform);
    }
    void DrawRect(const QRectF &box, const QPen &pen, const QBrush &brush) override
    {
        if (Snapping() && (pen.style() == Qt::NoPen || Thin(pen))) {
            // The outline on the outermost pixels of box and its right and
            // bottom edges, the inside filled.
            const QRectF outer(box.topLeft(), box.size() + QSizeF(1, 1));
            const QRectF device = Snapped(outer);
            if (brush.style() != Qt::NoBrush)
                FillDevice(pen.style() == Qt::NoPen ? Snapped(QRectF(box.topLeft(), box.size())) : device,
                           brush);
            if (pen.style() != Qt::NoPen) {
                const double line = LineWidth();
                FillDevice(QRectF(device.left(), device.top(), device.width(), line), pen.color());
                FillDevice(QRectF(device.left(), device.bottom() - line, device.width(), line), pen.color());
                FillDevice(QRectF(device.left(), device.top(), line, device.height()), pen.color());
                FillDevice(QRectF(device.right() - line, device.top(), line, device.height()), pen.color());
            }
            return;
        }
        P.setPen(pen);
        P.setBrush(brush);
        P.drawRect(box.toRect());
    }
    void DrawEllipse(const QRectF &box, const QPen &pen, const QBrush &brush) override
    {
        P.setPen(pen);
        P.setBrush(brush);
        P.drawEllipse(box.toRect());
    }
    void DrawRoundedRect(const QRectF &box, double rx, double ry, const QPen &pen, const QBrush &brush) override
    {
        P.setPen(pen);
        P.setBrush(brush);
        P.drawRoundedRect(box, rx, ry);
    }
    void DrawLine(const QPointF &from, const QPointF &to, const QPen &pen) override
    {
        if (Snapping() && Thin(pen) && pen.style() == Qt::SolidLine
            && (from.x() == to.x() || from.y() == to.y())) {
            // The pixels from the start up to the end, the end left out.
            const QPointF step(to.x() < from.x() ? 1 : 0, to.y() < from.y() ? 1 : 0);
            const QRectF covered = QRectF(from + step, to + step).normalized();
            QRectF device =
                Snapped(from.y() == to.y() ? covered.adjusted(0, 0, 0, 1) : covered.adjusted(0, 0, 1, 0));
            // One pixel across whatever the scale, at least one along.
            if (from.y() == to.y())
                device = QRectF(device.left(), device.top(), std::max(device.width(), LineWidth()), LineWidth());
            else
                device =
                    QRectF(device.left(), device.top(), LineWidth(), std::max(device.height(), LineWidth()));
            FillDevice(device, pen.color());
            return;
        }
        // Qt leaves out the end point of a thin line as GDI does, and a
        // flat cap ends a wide one there.
        P.setPen(pen);
        P.drawLine(from, to);
    }
    void DrawPath(const QPainterPath &path, const QPen &pen, const QBrush &brush) override
    {
        P.setPen(pen);
        P.setBrush(brush);
        P.drawPath(path);
    }
    void FillRect(const QRectF &box, const QBrush &brush) override
    {
        if (Snapping())
            FillDevice(Snapped(box), brush);
        else
            P.fillRect(box, brush);
    }
    void FillPath(const QPainterPath &path, const QBrush &brush) override
    {
        std::vector<QRectF> boxes;
        if (Snapping() && RectanglesOf(path, boxes)) {
            for (const QRectF &box : boxes)
                FillDevice(Snapped(box), brush);
            return;
        }
        P.fillPath(path, brush);
    }

    void DrawGlyphs(const MetafileGlyphs &run) override
    {
        if (!Cached(run.font)) {
            QPainterPath outline;
            double x = 0;
            for (size_t i = 0; i < run.glyphs.size(); ++i) {
                outline.addPath(
                    run.raw.pathForGlyph(run.glyphs[i]).translated(run.baseline.x() + x, run.baseline.y()));
                x += run.advances[i];
            }
            P.fillPath(outline, run.color);
            return;
        }
        QList<quint32> glyphs(run.glyphs.begin(), run.glyphs.end());
        QList<QPointF> positions(qsizetype(run.glyphs.size()));
        double x = 0;
        for (size_t i = 0; i < run.glyphs.size(); ++i) {
            positions[qsizetype(i)] = QPointF(x, 0);
            x += run.advances[i];
        }
        QGlyphRun glyphRun;
        glyphRun.setRawFont(run.raw);
        glyphRun.setGlyphIndexes(glyphs);
        glyphRun.setPositions(positions);
        P.setPen(run.color);
        P.drawGlyphRun(run.baseline, glyphRun);
    }

    void DrawText(const QPointF &baseline, const QString &text, const QFont &font, const QColor &color,
                  bool rightToLeft) override
    {
        if (!Cached(font)) {
            QPainterPath outline;
            outline.addText(baseline, font, text);
            P.fillPath(outline, color);
            return;
        }
        P.setFont(font);
        P.setPen(color);
        P.setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        P.drawText(baseline, text);
    }

private:
    // On a raster device, fills of rectangles and thin straight lines that
    // the page's transform keeps upright stand on whole device pixels, their
    // edges rounded alike, as on the devices pages are made for: a fill
    // painted over a rule then covers it wholly at every scale. Smoothed at
    // fractional positions, the rule would show through at the fill's edge
    // as a grey line (a heading rule across the next column at 80 %).
    bool Snapping() const
    {
        return P.paintEngine() && P.paintEngine()->type() == QPaintEngine::Raster
               && P.worldTransform().type() <= QTransform::TxScale;
    }
    static bool Thin(const QPen &pen) { return pen.isCosmetic() && pen.widthF() <= 1; }
    qreal Ratio() const { return P.device() ? P.device()->devicePixelRatioF() : 1.0; }
    // A thin line is one device pixel of a plain screen wide: as many of the
    // device's pixels as its ratio, in the painter's units.
    double LineWidth() const { return std::max(1.0, std::round(Ratio())) / Ratio(); }
    // box (page coordinates) with its edges on whole device pixels, in the
    // painter's units.
    QRectF Snapped(const QRectF &box) const
    {
        const qreal r = Ratio();
        const QRectF d = P.worldTransform().mapRect(box);
        return QRectF(QPointF(std::round(d.left() * r), std::round(d.top() * r)) / r,
                      QPointF(std::round(d.right() * r), std::round(d.bottom() * r)) / r);
    }
    void FillDevice(const QRectF &box, const QBrush &brush)
    {
        if (box.isEmpty())
            return;
        // Edges on whole pixels want no smoothing, and without it a
        // rounding error of the device's ratio leaves no faint edge.
        const QTransform keep = P.worldTransform();
        const bool smooth = P.testRenderHint(QPainter::Antialiasing);
        P.setWorldTransform(QTransform());
        P.setRenderHint(QPainter::Antialiasing, false);
        P.fillRect(box, brush);
        P.setRenderHint(QPainter::Antialiasing, smooth);
        P.setWorldTransform(keep);
    }
    // The rectangles path is made of, upright ones only (as a region's).
    static bool RectanglesOf(const QPainterPath &path, std::vector<QRectF> &boxes)
    {
        const int n = path.elementCount();
        if (n == 0 || n % 5 != 0)
            return false;
        for (int i = 0; i < n; i += 5) {
            const QPainterPath::Element a = path.elementAt(i), b = path.elementAt(i + 1),
                                        c = path.elementAt(i + 2), d = path.elementAt(i + 3),
                                        e = path.elementAt(i + 4);
            if (!a.isMoveTo() || !b.isLineTo() || !c.isLineTo() || !d.isLineTo() || !e.isLineTo())
                return false;
            const bool upright = (a.y == b.y && b.x == c.x && c.y == d.y && d.x == a.x)
                                 || (a.x == b.x && b.y == c.y && c.x == d.x && d.y == a.y);
            if (!upright || e.x != a.x || e.y != a.y)
                return false;
            boxes.push_back(QRectF(QPointF(a.x, a.y), QPointF(c.x, c.y)).normalized());
        }
        return true;
    }

    // Qt renders glyphs of ordinary sizes through its glyph cache; a glyph
    // that the transform blows up (or shears) would be a bitmap the cache
    // cannot make, so such text is filled as outlines.
    bool Cached(const QFont &font) const
    {
        const QTransform &t = P.worldTransform();
        const int dpi = P.device() ? std::max(P.device()->logicalDpiY(), 1) : 96;
        const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi / 72.0;
        const double scale = std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())) * pixels;
        return scale <= 500 && t.m12() == 0 && t.m21() == 0;
    }

    QPainter &P;
};

} // namespace

void PlayMetafile(MetafileSurface &surface, const Metafile &page, const QRectF &target)
{
    if (target.isEmpty() || page.Bytes().isEmpty())
        return;
    Player(surface, page, target, QTransform()).Play();
}

void PlayMetafile(QPainter &painter, const Metafile &page, const QRectF &target)
{
    if (target.isEmpty() || page.Bytes().isEmpty())
        return;
    painter.save();
    PainterSurface surface(painter);
    Player(surface, page, target, painter.transform()).Play();
    painter.restore();
}
