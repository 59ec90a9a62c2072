// Pages recorded as EMF, checked as bytes and by playing them back onto
// images and looking at pixels.
#include "platform/Metafile.h"
#include "platform/MetafileCanvas.h"
#include "platform/MetafilePlayer.h"
#include "platform/PainterCanvas.h"

#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <uemf.h>

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QImage Play(const Metafile &page, int w, int h, QRectF target = {})
{
    QImage image = Blank(w, h);
    QPainter painter(&image);
    PlayMetafile(painter, page, target.isNull() ? QRectF(0, 0, w, h) : target);
    return image;
}

using Drawing = std::function<void(Canvas &)>;

Metafile Record(int w, int h, const Drawing &draw)
{
    MetafileCanvas canvas(w, h, 96);
    draw(canvas);
    return canvas.Finish();
}

QImage PaintDirect(int w, int h, const Drawing &draw)
{
    QImage image = Blank(w, h);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    draw(canvas);
    return image;
}

QRgb At(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int DarkPixels(const QImage &image, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

void Shapes(Canvas &c)
{
    c.SetBrush({Qt::red, CanvasBrushStyle::Solid});
    c.FillRect(Box(10, 10, 30, 20));
    c.SetPen({Qt::black, 1, CanvasPenStyle::Solid});
    c.SetBrush({Qt::white, CanvasBrushStyle::Clear});
    c.Rectangle(Box(40, 10, 60, 30));
    c.SetBrush({Qt::blue, CanvasBrushStyle::Solid});
    c.Ellipse(Box(70, 10, 90, 30));
    c.MoveTo(10, 50);
    c.LineTo(50, 50);
}

} // namespace

TEST(MetafileTest, RecordedPageIsAnEmfWithHeaderFrameAndEnd)
{
    const Metafile page = Record(794, 1123, Shapes);
    const QByteArray &b = page.Bytes();
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData()), 1u);            // header record
    EXPECT_EQ(b.mid(41, 3), QByteArray("EMF"));                          // signature
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 48), quint32(b.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + b.size() - 20), 14u); // end of file
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
    // 794 pixels at 96 dpi are 210.08 mm: the frame is in 0.01 mm.
    EXPECT_EQ(page.Frame().width(), 21008);
}

TEST(MetafileTest, PlaybackDrawsWhatWasRecordedAtTheRightPixels)
{
    const QImage image = Play(Record(100, 60, Shapes), 100, 60);
    image.save("/tmp/zumoria_metafile_shapes.png");
    EXPECT_EQ(At(image, 10, 10), 0xFF0000u);
    EXPECT_EQ(At(image, 29, 19), 0xFF0000u);
    EXPECT_EQ(At(image, 30, 19), 0xFFFFFFu) << "fill box right edge is outside";
    EXPECT_EQ(At(image, 29, 20), 0xFFFFFFu);
    EXPECT_EQ(At(image, 40, 10), 0x000000u) << "rectangle outline";
    EXPECT_EQ(At(image, 59, 29), 0x000000u);
    EXPECT_EQ(At(image, 50, 20), 0xFFFFFFu) << "clear brush leaves the inside";
    EXPECT_EQ(At(image, 80, 20), 0x0000FFu) << "ellipse filled";
    EXPECT_EQ(At(image, 71, 11), 0xFFFFFFu) << "corner outside the ellipse";
    EXPECT_EQ(At(image, 10, 50), 0x000000u);
    EXPECT_EQ(At(image, 49, 50), 0x000000u);
    EXPECT_EQ(At(image, 50, 50), 0xFFFFFFu) << "line end point is not drawn";
}

TEST(MetafileTest, PainterCanvasAndPlaybackAgreeOnShapes)
{
    const QImage direct = PaintDirect(100, 60, Shapes);
    const QImage played = Play(Record(100, 60, Shapes), 100, 60);
    EXPECT_EQ(direct, played);
}

TEST(MetafileTest, PlaybackStretchesTheFrameOntoTheTarget)
{
    const Metafile page = Record(100, 60, [](Canvas &c) {
        c.SetBrush({Qt::black, CanvasBrushStyle::Solid});
        c.FillRect(Box(10, 10, 20, 20));
    });
    const QImage image = Play(page, 300, 200, QRectF(100, 50, 200, 120));
    EXPECT_EQ(At(image, 120, 70), 0x000000u);
    EXPECT_EQ(At(image, 139, 89), 0x000000u);
    EXPECT_EQ(At(image, 140, 90), 0xFFFFFFu);
    EXPECT_EQ(At(image, 119, 69), 0xFFFFFFu);
}

TEST(MetafileTest, TextIsPlacedByItsReferencePointInTheFontColour)
{
    auto draw = [](CanvasTextAlign align) {
        return [align](Canvas &c) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(20);
            c.SetFont(font, Qt::black);
            c.TextOut(200, 20, QStringLiteral("WWW"), align, false);
        };
    };
    const QImage left = Play(Record(400, 80, draw(CanvasTextAlign::Left)), 400, 80);
    const QImage right = Play(Record(400, 80, draw(CanvasTextAlign::Right)), 400, 80);
    const QImage centre = Play(Record(400, 80, draw(CanvasTextAlign::Center)), 400, 80);
    EXPECT_GT(DarkPixels(left, QRect(200, 20, 80, 40)), 50);
    EXPECT_EQ(DarkPixels(left, QRect(0, 0, 198, 80)), 0);
    EXPECT_GT(DarkPixels(right, QRect(120, 20, 80, 40)), 50);
    EXPECT_EQ(DarkPixels(right, QRect(202, 0, 198, 80)), 0);
    EXPECT_GT(DarkPixels(centre, QRect(160, 20, 39, 40)), 20);
    EXPECT_GT(DarkPixels(centre, QRect(201, 20, 39, 40)), 20);
    EXPECT_EQ(DarkPixels(left, QRect(0, 0, 400, 19)), 0) << "text hangs below its top";
}

// The page's text record of text (Arial 20 pt at 20, 10, underlined when
// asked) with every character advance set to advance, when advance > 0.
Metafile TextPage(const QString &text, qint32 advance, bool underline = false)
{
    const Metafile page = Record(300, 60, [&](Canvas &c) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(20);
        font.setUnderline(underline);
        c.SetFont(font, Qt::black);
        c.TextOut(20, 10, text, CanvasTextAlign::Left, false);
    });
    QByteArray bytes = page.Bytes();
    for (qsizetype at = 0; advance > 0 && at + 8 <= bytes.size();) {
        const quint32 type = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        if (size < 8)
            break;
        if (type == U_EMR_EXTTEXTOUTW) {
            const quint32 options = qFromLittleEndian<quint32>(bytes.constData() + at + 52);
            const quint32 offDx = qFromLittleEndian<quint32>(bytes.constData() + at + ((options & U_ETO_NO_RECT) ? 56 : 72));
            for (qsizetype i = 0; i < text.size(); ++i)
                qToLittleEndian<qint32>(advance, bytes.data() + at + offDx + 4 * i);
        }
        at += size;
    }
    return *Metafile::FromBytes(bytes);
}

TEST(MetafileTest, TextIsDrawnAtTheAdvancesItsRecordHolds)
{
    // Each "i" stands where the record puts it, not where a new layout of
    // the string would.
    const QImage spaced = Play(TextPage(QStringLiteral("ii"), 80), 300, 60);
    EXPECT_GT(DarkPixels(spaced, QRect(18, 10, 14, 40)), 20);
    EXPECT_EQ(DarkPixels(spaced, QRect(40, 0, 50, 60)), 0);
    EXPECT_GT(DarkPixels(spaced, QRect(98, 10, 14, 40)), 20);
    // As recorded, the two stand side by side.
    const QImage natural = Play(TextPage(QStringLiteral("ii"), 0), 300, 60);
    EXPECT_EQ(DarkPixels(natural, QRect(60, 0, 240, 60)), 0);
    // Text a font's glyphs alone cannot set (a combining accent) is still
    // drawn, through the full text layout.
    const QImage accented = Play(TextPage(QStringLiteral("e\u0301e\u0301"), 0), 300, 60);
    EXPECT_GT(DarkPixels(accented, QRect(18, 0, 60, 60)), 40);
    // An underline runs under the whole text, also on a page scaled up.
    for (const int scale : {1, 2}) {
        const auto dark = [scale](bool underline) {
            const QImage image = Play(TextPage(QStringLiteral("aaaa"), 0, underline), 300 * scale, 60 * scale);
            return DarkPixels(image, QRect(0, 0, 300 * scale, 60 * scale));
        };
        EXPECT_GT(dark(true), dark(false) + 30 * scale) << scale;
    }
}

TEST(MetafileTest, TextWidthAndHeightFollowTheDensity)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    MetafileCanvas screen(100, 100, 96), fine(100, 100, 600);
    screen.SetFont(font, Qt::black);
    fine.SetFont(font, Qt::black);
    EXPECT_NEAR(fine.TextWidth(QStringLiteral("Hello world")) / 6.25,
                screen.TextWidth(QStringLiteral("Hello world")), 3);
    EXPECT_NEAR(fine.TextHeight(QStringLiteral("W")) / 6.25, screen.TextHeight(QStringLiteral("W")), 1.5);
    EXPECT_EQ(FontPixelHeight(font, 96), 13);
    EXPECT_EQ(FontPixelHeight(font, 600), 83);
}

TEST(MetafileTest, StretchDrawEmbedsOnePageInAnother)
{
    const Metafile inner = Record(100, 100, [](Canvas &c) {
        c.SetBrush({Qt::green, CanvasBrushStyle::Solid});
        c.FillRect(Box(0, 0, 50, 50));
        c.SetPen({Qt::black, 1, CanvasPenStyle::Solid});
        c.MoveTo(0, 99);
        c.LineTo(100, 99);
    });
    const Metafile outer = Record(400, 400, [&](Canvas &c) {
        c.SetBrush({Qt::red, CanvasBrushStyle::Solid});
        c.FillRect(Box(300, 300, 310, 310));
        c.StretchDraw(Box(200, 0, 400, 200), inner);
        c.FillRect(Box(0, 300, 10, 310)); // our own brush is back after the page
    });
    const QImage image = Play(outer, 400, 400);
    EXPECT_EQ(At(image, 201, 1), 0x00FF00u);
    EXPECT_EQ(At(image, 299, 99), 0x00FF00u);
    EXPECT_EQ(At(image, 301, 101), 0xFFFFFFu);
    EXPECT_EQ(At(image, 5, 305), 0xFF0000u);
    EXPECT_EQ(DarkPixels(image, QRect(200, 196, 200, 4)), 200) << "inner line scaled to 200 wide";
}

namespace {

// A small EMF as another producer would write it: 16-bit polygon, a record
// type unknown to the player, stock objects.
QByteArray ForeignEmf(bool withUnknown)
{
    QByteArray out;
    auto add = [&out](char *rec) {
        out.append(rec, qFromLittleEndian<quint32>(rec + 4));
        std::free(rec);
    };
    U_RECTL bounds{0, 0, 99, 99}, frame{0, 0, 2646, 2646};
    add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, U_SIZEL{1920, 1440}, U_SIZEL{508, 381}, 0));
    add(U_EMRSELECTOBJECT_set(U_BLACK_BRUSH));
    add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
    if (withUnknown) {
        char unknown[16] = {};
        qToLittleEndian<quint32>(200, unknown);
        qToLittleEndian<quint32>(16, unknown + 4);
        out.append(unknown, 16);
    }
    U_POINT16 pts[4] = {{10, 10}, {60, 10}, {60, 60}, {10, 60}};
    add(U_EMRPOLYGON16_set(U_RECTL{10, 10, 60, 60}, 4, pts));
    char eof[20] = {};
    qToLittleEndian<quint32>(14, eof);
    qToLittleEndian<quint32>(20, eof + 4);
    qToLittleEndian<quint32>(16, eof + 12);
    qToLittleEndian<quint32>(20, eof + 16);
    out.append(eof, 20);
    qToLittleEndian<quint32>(quint32(out.size()), out.data() + 48);
    return out;
}

} // namespace

TEST(MetafileTest, ForeignRecordsArePlayedAndUnknownOnesSkipped)
{
    for (bool unknown : {false, true}) {
        const auto page = Metafile::FromBytes(ForeignEmf(unknown));
        ASSERT_TRUE(page) << unknown;
        const QImage image = Play(*page, 100, 100);
        EXPECT_EQ(At(image, 30, 30), 0x000000u) << unknown;
        EXPECT_EQ(At(image, 70, 70), 0xFFFFFFu) << unknown;
    }
}

TEST(MetafileTest, BytesThatAreNoSoundEmfAreRefused)
{
    const QByteArray good = ForeignEmf(false);
    struct Case
    {
        const char *what;
        std::function<void(QByteArray &)> spoil;
    } cases[] = {
        {"empty", [](QByteArray &b) { b.clear(); }},
        {"truncated", [](QByteArray &b) { b.chop(4); }},
        {"bad signature", [](QByteArray &b) { b[41] = 'X'; }},
        {"announced size differs", [](QByteArray &b) { qToLittleEndian<quint32>(quint32(b.size() + 4), b.data() + 48); }},
        {"record size beyond the data", [](QByteArray &b) { qToLittleEndian<quint32>(0x7FFFFFF0, b.data() + b.size() - 16); }},
        {"record size zero", [](QByteArray &b) { qToLittleEndian<quint32>(0, b.data() + qFromLittleEndian<quint32>(b.constData() + 4) + 4); }},
        {"record size not a multiple of four", [](QByteArray &b) { qToLittleEndian<quint32>(9, b.data() + qFromLittleEndian<quint32>(b.constData() + 4) + 4); }},
        {"no end record", [](QByteArray &b) { qToLittleEndian<quint32>(70, b.data() + b.size() - 20); }},
        {"polygon claims more points than it holds", [](QByteArray &b) {
             const qsizetype poly = b.size() - 20 - 44;
             qToLittleEndian<quint32>(1000, b.data() + poly + 24);
         }},
    };
    ASSERT_TRUE(Metafile::FromBytes(good));
    for (const auto &c : cases) {
        QByteArray bytes = good;
        c.spoil(bytes);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << c.what;
    }
}

TEST(MetafileTest, HugeTextIsDrawnAsOutlinesWithoutTroublingTheGlyphCache)
{
    // A glyph blown up beyond what Qt's glyph cache can render once crashed
    // the player; such text is now filled as outlines.
    const Metafile page = Record(100, 100, [](Canvas &c) {
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(3000);
        c.SetFont(font, Qt::black);
        c.TextOut(-470, -2000, QStringLiteral("I")); // its stem covers the page
    });
    const QImage image = Play(page, 400, 400);
    EXPECT_GT(DarkPixels(image, QRect(0, 0, 400, 400)), 100000);
}

namespace {

// A rule drawn across two columns, then the right column's white band
// backgrounds painted over it, meeting right on the rule's row: as the
// joke list's heading rule of the left column runs under the right
// column's bands.
Metafile RuleUnderTwoFills()
{
    return Record(794, 1123, [](Canvas &c) {
        c.SetPen({Qt::black, 1, CanvasPenStyle::Solid});
        c.MoveTo(58, 673);
        c.LineTo(719, 673);
        c.SetBrush({Qt::white, CanvasBrushStyle::Solid});
        c.FillRect(Box(397, 655, 756, 674));
        c.FillRect(Box(397, 674, 756, 693));
    });
}

// The darkest grey in rows around y of columns x0..x1 of image.
int Darkest(const QImage &image, int x0, int x1, int y)
{
    int darkest = 255;
    for (int row = std::max(y - 3, 0); row <= std::min(y + 3, image.height() - 1); ++row)
        for (int x = x0; x <= x1; ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, row)));
    return darkest;
}

} // namespace

// A fill painted over a rule covers it at every zoom and density: fill
// edges and thin lines stand on whole device pixels, as the PDF reader and
// the printer draw them, so no seam of the rule shows through in grey.
TEST(MetafileTest, AFillOverARuleCoversItAtEveryZoom)
{
    const Metafile page = RuleUnderTwoFills();
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        for (int zoom = 25; zoom <= 200; ++zoom) {
            const QSizeF size(794.0 * zoom / 100, 1123.0 * zoom / 100);
            QImage image((size * ratio).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            {
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing);
                PlayMetafile(p, page, QRectF(QPointF(0, 0), size));
            }
            const double s = image.width() / 794.0;
            const int y = int(673 * s);
            EXPECT_EQ(Darkest(image, int(400 * s), int(750 * s), y), 255)
                << "zoom " << zoom << " ratio " << ratio << ": the rule shows through";
            EXPECT_LT(Darkest(image, int(100 * s), int(350 * s), y), 100)
                << "zoom " << zoom << " ratio " << ratio << ": the rule itself is gone";
        }
    }
}
