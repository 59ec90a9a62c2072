#include "platform/MetafileCanvas.h"

#include "platform/FontAdvances.h"
#include "platform/Metafile.h"

#include <QTransform>
#include <QtEndian>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>
#include <uemf.h>

namespace {

// The reference device described in the header: 20 x 15 inches at the
// page's density, so pixels per millimetre come out exact.
constexpr int ReferenceInchesX = 20;
constexpr int ReferenceInchesY = 15;

U_COLORREF ColorRef(const QColor &c)
{
    return colorref3_set(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

U_RECTL RectL(int l, int t, int r, int b)
{
    U_RECTL rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}

uint32_t PenStyleCode(CanvasPenStyle style)
{
    switch (style) {
    case CanvasPenStyle::Dash: return U_PS_DASH;
    case CanvasPenStyle::Dot: return U_PS_DOT;
    case CanvasPenStyle::DashDot: return U_PS_DASHDOT;
    case CanvasPenStyle::DashDotDot: return U_PS_DASHDOTDOT;
    case CanvasPenStyle::InsideFrame: return U_PS_INSIDEFRAME;
    case CanvasPenStyle::Clear: return U_PS_NULL;
    case CanvasPenStyle::Solid: break;
    }
    return U_PS_SOLID;
}

int32_t HatchCode(CanvasBrushStyle style)
{
    switch (style) {
    case CanvasBrushStyle::Horizontal: return U_HS_HORIZONTAL;
    case CanvasBrushStyle::Vertical: return U_HS_VERTICAL;
    case CanvasBrushStyle::FDiagonal: return U_HS_FDIAGONAL;
    case CanvasBrushStyle::BDiagonal: return U_HS_BDIAGONAL;
    case CanvasBrushStyle::Cross: return U_HS_CROSS;
    case CanvasBrushStyle::DiagCross: return U_HS_DIAGCROSS;
    default: return -1;
    }
}

quint32 U32(const char *p) { return qFromLittleEndian<quint32>(p); }
void PutU32(char *p, quint32 v) { qToLittleEndian(v, p); }

U_XFORM XForm(const QTransform &m)
{
    return xform_set(float(m.m11()), float(m.m12()), float(m.m21()), float(m.m22()),
                     float(m.dx()), float(m.dy()));
}

QTransform FromXForm(const char *p)
{
    float f[6];
    for (int i = 0; i < 6; ++i) {
        const quint32 bits = U32(p + 4 * i);
        std::memcpy(&f[i], &bits, 4);
    }
    return QTransform(f[0], f[1], f[2], f[3], f[4], f[5]);
}

} // namespace

int FontPixelHeight(const QFont &font, int pixelsPerInch)
{
    if (font.pointSizeF() > 0)
        return std::max(1, int(std::nearbyint(font.pointSizeF() * pixelsPerInch / 72.0)));
    return std::max(1, font.pixelSize());
}

QFont DeviceFont(const QFont &font, int pixelsPerInch)
{
    QFont f(font);
    f.setPixelSize(FontPixelHeight(font, pixelsPerInch));
    return f;
}

struct MetafileCanvas::Recorder
{
    QByteArray buf;
    quint32 records = 0;
    EMFHANDLES *handles = nullptr;
    bool finished = false;
    std::optional<Metafile> page;

    // What is selected into the recording DC now; a handle of 0 means a
    // stock object or the default.
    std::optional<CanvasPen> pen;
    uint32_t penHandle = 0;
    std::optional<CanvasBrush> brush;
    uint32_t brushHandle = 0;
    std::optional<QFont> font;
    uint32_t fontHandle = 0;
    std::optional<QColor> textColor;
    std::optional<uint32_t> textAlign;

    ~Recorder()
    {
        if (handles)
            emf_htable_free(&handles);
    }
};

MetafileCanvas::MetafileCanvas(int width, int height, int pixelsPerInch)
    : FRec(std::make_unique<Recorder>()), FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 96)
{
    emf_htable_create(64, 64, &FRec->handles);
    width = std::max(width, 1);
    height = std::max(height, 1);
    const U_RECTL bounds = RectL(0, 0, width - 1, height - 1);
    const U_RECTL frame = RectL(0, 0, int(std::nearbyint(width * 2540.0 / FPixelsPerInch)),
                                int(std::nearbyint(height * 2540.0 / FPixelsPerInch)));
    const U_SIZEL device = sizel_set(ReferenceInchesX * FPixelsPerInch, ReferenceInchesY * FPixelsPerInch);
    const U_SIZEL millimetres = sizel_set(ReferenceInchesX * 254 / 10, ReferenceInchesY * 254 / 10);
    Append(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, device, millimetres, 0));
    Append(U_EMRSETBKMODE_set(U_TRANSPARENT));
}

MetafileCanvas::~MetafileCanvas() = default;

void MetafileCanvas::Append(char *record)
{
    if (!record)
        throw std::bad_alloc();
    const quint32 size = U32(record + 4);
    FRec->buf.append(record, qsizetype(size));
    ++FRec->records;
    std::free(record);
}

Metafile MetafileCanvas::Finish()
{
    if (!FRec->finished) {
        FRec->finished = true;
        char eof[20];
        PutU32(eof, U_EMR_EOF);
        PutU32(eof + 4, 20);
        PutU32(eof + 8, 0);
        PutU32(eof + 12, 16);
        PutU32(eof + 16, 20);
        FRec->buf.append(eof, 20);
        ++FRec->records;
        char *header = FRec->buf.data();
        PutU32(header + 48, quint32(FRec->buf.size()));
        PutU32(header + 52, FRec->records);
        qToLittleEndian<quint16>(quint16(std::min<quint32>(FRec->handles->peak + 1, 0xFFFF)), header + 56);
        FRec->page = Metafile::FromBytes(FRec->buf);
        FRec->buf.clear();
        if (!FRec->page) // only a fault of this recorder could get here
            throw std::logic_error("metafile recorder produced an invalid page");
    }
    return *FRec->page;
}

int MetafileCanvas::TextWidth(const QString &text) const
{
    return int(std::nearbyint(FontAdvances::For(DeviceFont(FFont, FPixelsPerInch)).Width(text)));
}

int MetafileCanvas::TextHeight(const QString &) const
{
    return int(std::nearbyint(FontAdvances::For(DeviceFont(FFont, FPixelsPerInch)).Height()));
}

void MetafileCanvas::RealizePen()
{
    if (FRec->pen && *FRec->pen == FPen)
        return;
    uint32_t handle = U_NULL_PEN;
    if (FPen.style != CanvasPenStyle::Clear) {
        handle = 0;
        const U_LOGPEN pen = logpen_set(PenStyleCode(FPen.style), point_set(std::max(FPen.width, 0), 0),
                                        ColorRef(FPen.color));
        Append(createpen_set(&handle, FRec->handles, pen));
    }
    Append(selectobject_set(handle, FRec->handles));
    if (FRec->penHandle)
        Append(deleteobject_set(&FRec->penHandle, FRec->handles));
    FRec->penHandle = (handle & U_STOCK_OBJECT) ? 0 : handle;
    FRec->pen = FPen;
}

void MetafileCanvas::RealizeBrush()
{
    if (FRec->brush && *FRec->brush == FBrush)
        return;
    uint32_t handle = U_NULL_BRUSH;
    if (FBrush.style != CanvasBrushStyle::Clear) {
        handle = 0;
        const int32_t hatch = HatchCode(FBrush.style);
        const U_LOGBRUSH brush = logbrush_set(hatch < 0 ? U_BS_SOLID : U_BS_HATCHED, ColorRef(FBrush.color),
                                              hatch < 0 ? 0 : hatch);
        Append(createbrushindirect_set(&handle, FRec->handles, brush));
    }
    Append(selectobject_set(handle, FRec->handles));
    if (FRec->brushHandle)
        Append(deleteobject_set(&FRec->brushHandle, FRec->handles));
    FRec->brushHandle = (handle & U_STOCK_OBJECT) ? 0 : handle;
    FRec->brush = FBrush;
}

void MetafileCanvas::RealizeFont()
{
    if (FRec->font && *FRec->font == FFont) {
        // same font object selected already
    } else {
        uint16_t face[U_LF_FACESIZE] = {};
        const QString family = FFont.family().left(U_LF_FACESIZE - 1);
        for (int i = 0; i < family.size(); ++i)
            face[i] = family.at(i).unicode();
        const int weight = FFont.weight() >= QFont::DemiBold ? U_FW_BOLD : U_FW_NORMAL;
        const U_LOGFONT lf = logfont_set(-FontPixelHeight(FFont, FPixelsPerInch), 0, 0, 0, weight,
                                         FFont.italic(), FFont.underline(), FFont.strikeOut(),
                                         U_DEFAULT_CHARSET, U_OUT_DEFAULT_PRECIS, U_CLIP_DEFAULT_PRECIS,
                                         U_DEFAULT_QUALITY, U_DEFAULT_PITCH | U_FF_DONTCARE, face);
        uint32_t handle = 0;
        Append(extcreatefontindirectw_set(&handle, FRec->handles, reinterpret_cast<const char *>(&lf), nullptr));
        Append(selectobject_set(handle, FRec->handles));
        if (FRec->fontHandle)
            Append(deleteobject_set(&FRec->fontHandle, FRec->handles));
        FRec->fontHandle = handle;
        FRec->font = FFont;
    }
    if (!FRec->textColor || *FRec->textColor != FFontColor) {
        Append(U_EMRSETTEXTCOLOR_set(ColorRef(FFontColor)));
        FRec->textColor = FFontColor;
    }
}

void MetafileCanvas::RealizeTextState(CanvasTextAlign align, bool rightToLeft)
{
    uint32_t mode = U_TA_TOP | U_TA_NOUPDATECP;
    if (align == CanvasTextAlign::Center)
        mode |= U_TA_CENTER;
    else if (align == CanvasTextAlign::Right)
        mode |= U_TA_RIGHT;
    if (rightToLeft)
        mode |= U_TA_RTLREADING;
    if (FRec->textAlign != mode) {
        Append(U_EMRSETTEXTALIGN_set(mode));
        FRec->textAlign = mode;
    }
}

void MetafileCanvas::TextOut(int x, int y, const QString &text, CanvasTextAlign align, bool rightToLeft)
{
    if (FRec->finished || text.isEmpty())
        return;
    RealizeFont();
    RealizeTextState(align, rightToLeft);
    // Character advances travel with the text so every player spaces it the
    // way it was measured here.
    FontAdvances &advances = FontAdvances::For(DeviceFont(FFont, FPixelsPerInch));
    std::vector<uint32_t> dx(size_t(text.size()));
    double pos = 0;
    int placed = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        pos += advances.Advance(text.at(i));
        const int next = int(std::nearbyint(pos));
        dx[size_t(i)] = uint32_t(next - placed);
        placed = next;
    }
    const int width = placed;
    const int height = int(std::nearbyint(advances.Height()));
    int left = x;
    if (align == CanvasTextAlign::Center)
        left = x - width / 2;
    else if (align == CanvasTextAlign::Right)
        left = x - width;
    std::vector<uint16_t> chars(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
        chars[size_t(i)] = text.at(i).unicode();
    const U_RECTL bounds = RectL(left, y, left + width, y + height);
    char *body = emrtext_set(point32_set(x, y), U_NUM_STR(text.size()), 2, chars.data(),
                             rightToLeft ? U_ETO_RTLREADING : U_ETO_NONE, RectL(0, 0, -1, -1), dx.data());
    if (!body)
        throw std::bad_alloc();
    char *record = U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, 1.0f, 1.0f, reinterpret_cast<PU_EMRTEXT>(body));
    std::free(body);
    Append(record);
}

void MetafileCanvas::FillRect(const QRect &box)
{
    if (FRec->finished || box.isEmpty() || FBrush.style == CanvasBrushStyle::Clear)
        return;
    RealizeBrush();
    // A region of one rectangle filled with the selected brush: region
    // rectangles keep their right and bottom edges outside, as the box does.
    const U_RECTL rect = RectL(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
    PU_RGNDATA region = rgndata_set(rgndataheader_set(1, rect), const_cast<PU_RECTL>(&rect));
    if (!region)
        throw std::bad_alloc();
    char *record = U_EMRFILLRGN_set(RectL(box.left(), box.top(), box.right(), box.bottom()),
                                    FRec->brushHandle ? FRec->brushHandle : U_NULL_BRUSH, region);
    std::free(region);
    Append(record);
}

void MetafileCanvas::Rectangle(const QRect &box)
{
    if (FRec->finished)
        return;
    RealizePen();
    RealizeBrush();
    Append(U_EMRRECTANGLE_set(RectL(box.left(), box.top(), box.right(), box.bottom())));
}

void MetafileCanvas::Ellipse(const QRect &box)
{
    if (FRec->finished)
        return;
    RealizePen();
    RealizeBrush();
    Append(U_EMRELLIPSE_set(RectL(box.left(), box.top(), box.right(), box.bottom())));
}

void MetafileCanvas::MoveTo(int x, int y)
{
    if (!FRec->finished)
        Append(U_EMRMOVETOEX_set(point32_set(x, y)));
}

void MetafileCanvas::LineTo(int x, int y)
{
    if (FRec->finished)
        return;
    RealizePen();
    Append(U_EMRLINETO_set(point32_set(x, y)));
}

void MetafileCanvas::Reselect()
{
    // After the restore the DC holds our objects again; what a copied page
    // selected is gone with its handles.
    FRec->textAlign.reset();
    FRec->textColor.reset();
}

void MetafileCanvas::StretchDraw(const QRect &target, const Metafile &page)
{
    if (FRec->finished || target.isEmpty() || page.Width() <= 0 || page.Height() <= 0)
        return;
    // The page's records are copied between a save and a restore of the DC,
    // under a world transform that maps its frame onto target; its object
    // handles are renumbered into this metafile's table.
    const QRectF source(page.Frame().left() / 100.0 * page.PixelsPerMmX(),
                        page.Frame().top() / 100.0 * page.PixelsPerMmY(), page.Width(), page.Height());
    QTransform base;
    base.translate(target.left(), target.top());
    base.scale(target.width() / source.width(), target.height() / source.height());
    base.translate(-source.left(), -source.top());

    Append(U_EMRSAVEDC_set());
    Append(U_EMRSETWORLDTRANSFORM_set(XForm(base)));
    std::unordered_map<quint32, uint32_t> renumbered;
    const QByteArray &bytes = page.Bytes();
    qsizetype at = 0;
    while (at + 8 <= bytes.size()) {
        const char *rec = bytes.constData() + at;
        const quint32 type = U32(rec), size = U32(rec + 4);
        at += size;
        if (type == U_EMR_EOF)
            break;
        QByteArray copy(rec, qsizetype(size));
        char *c = copy.data();
        auto mapHandle = [&](int offset) -> bool {
            const quint32 ih = U32(c + offset);
            if (ih & U_STOCK_OBJECT)
                return true;
            auto it = renumbered.find(ih);
            if (it == renumbered.end())
                return false;
            PutU32(c + offset, it->second);
            return true;
        };
        switch (type) {
        case U_EMR_CREATEPEN:
        case U_EMR_CREATEBRUSHINDIRECT:
        case U_EMR_EXTCREATEFONTINDIRECTW:
        case U_EMR_EXTCREATEPEN: {
            uint32_t ih = 0;
            if (emf_htable_insert(&ih, FRec->handles) != 0)
                continue;
            const quint32 old = U32(c + 8);
            if (auto it = renumbered.find(old); it != renumbered.end()) {
                uint32_t stale = it->second;
                emf_htable_delete(&stale, FRec->handles);
            }
            renumbered[old] = ih;
            PutU32(c + 8, ih);
            break;
        }
        case U_EMR_SELECTOBJECT:
            if (!mapHandle(8))
                continue;
            break;
        case U_EMR_DELETEOBJECT: {
            const quint32 old = U32(c + 8);
            auto it = renumbered.find(old);
            if (it == renumbered.end())
                continue;
            PutU32(c + 8, it->second);
            uint32_t ih = it->second;
            emf_htable_delete(&ih, FRec->handles);
            renumbered.erase(it);
            break;
        }
        case U_EMR_FILLRGN:
        case U_EMR_FRAMERGN:
            if (!mapHandle(28))
                continue;
            break;
        case U_EMR_SETWORLDTRANSFORM:
            copy = QByteArray();
            Append(U_EMRSETWORLDTRANSFORM_set(XForm(FromXForm(rec + 8) * base)));
            continue;
        case U_EMR_MODIFYWORLDTRANSFORM:
            if (U32(rec + 32) == U_MWT_IDENTITY) {
                Append(U_EMRSETWORLDTRANSFORM_set(XForm(base)));
                continue;
            }
            break;
        case U_EMR_HEADER:
        case U_EMR_CREATEPALETTE:
        case U_EMR_SELECTPALETTE:
        case U_EMR_SETPALETTEENTRIES:
        case U_EMR_RESIZEPALETTE:
        case U_EMR_CREATEMONOBRUSH:
        case U_EMR_CREATEDIBPATTERNBRUSHPT:
        case U_EMR_CREATECOLORSPACE:
        case U_EMR_SETCOLORSPACE:
        case U_EMR_DELETECOLORSPACE:
        case U_EMR_CREATECOLORSPACEW:
        case U_EMR_RESTOREDC:
        case U_EMR_SAVEDC:
            continue; // objects this copy cannot renumber, or DC stack games
        default:
            break;
        }
        FRec->buf.append(copy);
        ++FRec->records;
    }
    Append(U_EMRRESTOREDC_set(-1));
    for (auto &[old, ih] : renumbered) {
        uint32_t h = ih;
        Append(deleteobject_set(&h, FRec->handles));
    }
    Reselect();
}
