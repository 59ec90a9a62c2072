// The preview control and its page image: zoom geometry, fitting, paging
// guards, the printer's notices, painting with frame and shadow.
#include "platform/MetafilePlayer.h"
#include "report/PreviewFixtures.h"
#include "report/output/RepNotices.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPaintEngine>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextItem>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Lets the scroll bars show or hide after a change of the image's size (the
// scroll area does it with a queued call).
void Settle()
{
    QCoreApplication::processEvents();
}

QPoint ImagePos(const TRepPreview &preview)
{
    return preview.Image()->pos();
}

// A4 at 96 pixels per inch is 794 x 1123 device pixels once a document is
// open on the printer.
struct GeometryCase
{
    const char *what;
    QSize viewport;
    int zoom;         // set through SetZoom; 0 = fit to page, -1 = fit to width
    int expectZoom;
    QSize expectImage;
    QPoint expectPos;
};

class RepPreviewGeometry : public ::testing::TestWithParam<GeometryCase>
{
};

TEST_P(RepPreviewGeometry, ZoomAndPlacement)
{
    const GeometryCase &c = GetParam();
    TRepPrinter printer;
    ProducePages(printer, 1);
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    SetViewport(preview, c.viewport.width(), c.viewport.height());
    if (c.zoom > 0)
        preview.SetZoom(c.zoom);
    else if (c.zoom == 0)
        preview.FitPage();
    else
        preview.FitWidth();
    Settle();
    EXPECT_EQ(preview.Zoom(), c.expectZoom);
    EXPECT_EQ(preview.Image()->size(), QSize(c.expectImage));
    EXPECT_EQ(preview.Image()->Zoom(), c.expectZoom);
    if (c.expectPos.x() >= 0) {
        EXPECT_EQ(ImagePos(preview), c.expectPos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RepPreviewGeometry,
    ::testing::Values(
        // 100 %: 794 + 4 by 1123 + 4, centred by (W - w) div 2.
        GeometryCase{"centred at 100", {1000, 1300}, 100, 100, {798, 1127}, {101, 86}},
        // Larger than the control: at the top left, scrolled.
        GeometryCase{"scrolled at 150", {600, 500}, 150, 150, {1195, 1688}, {0, 0}},
        // Fit: min(nearest(500/794*95)=60, nearest(600/1123*95)=51).
        GeometryCase{"fit tall", {500, 600}, 0, 51, {409, 576}, {45, 12}},
        // Fit in a wide control: width gives 239, height 51.
        GeometryCase{"fit wide", {2000, 600}, 0, 51, {409, 576}, {795, 12}},
        // Width: nearest(700/794*90) = 79; the image is taller than the
        // control, so it sits at the top.
        GeometryCase{"fit width", {700, 400}, -1, 79, {631, 891}, {-1, -1}},
        // Below 2 % the fit is ignored and the zoom stays.
        GeometryCase{"fit into a sliver", {10, 10}, 0, 100, {798, 1127}, {0, 0}}),
    [](const auto &info) {
        std::string name = info.param.what;
        for (char &ch : name)
            if (ch == ' ')
                ch = '_';
        return name;
    });

TEST(RepPreview, ZoomOutsideItsRangeIsIgnored)
{
    TRepPreview preview;
    for (const auto &[set, expect] : std::vector<std::pair<int, int>>{
             {1, 100}, {2001, 100}, {2, 2}, {2000, 2000}, {0, 2000}, {-5, 2000}, {150, 150}}) {
        preview.SetZoom(set);
        EXPECT_EQ(preview.Zoom(), expect) << "after SetZoom(" << set << ")";
    }
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomOther);
}

TEST(RepPreview, WithoutPrinterLetterPaperIsUsed)
{
    TRepPreview preview;
    SetViewport(preview, 500, 400);
    preview.SetZoom(100);
    EXPECT_EQ(preview.Image()->size(), QSize(220, 283)); // 215.9 + 4, 279.4 + 4
    preview.FitWidth();
    EXPECT_EQ(preview.Zoom(), 220); // nearest(500 / 215.9 * 95)
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomWidth);
}

TEST(RepPreview, ResizeRefitsInFitAndWidthModeOnlyRecentresOtherwise)
{
    TRepPrinter printer;
    ProducePages(printer, 1);
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    SetViewport(preview, 500, 600);
    preview.FitPage();
    ASSERT_EQ(preview.Zoom(), 51);
    SetViewport(preview, 1000, 1200); // min(120, 102)
    EXPECT_EQ(preview.Zoom(), 102);
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomFit);

    preview.FitWidth();
    SetViewport(preview, 900, 2000); // nearest(900/794*90) = 102
    EXPECT_EQ(preview.Zoom(), 102);
    SetViewport(preview, 1200, 2000); // nearest(1200/794*90) = 136
    EXPECT_EQ(preview.Zoom(), 136);
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomWidth);

    preview.SetZoom(50); // 401 x 566
    SetViewport(preview, 801, 1000);
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_EQ(ImagePos(preview), QPoint(200, 217)); // (801 - 401) div 2, (1000 - 565) div 2
    SetViewport(preview, 601, 700);
    EXPECT_EQ(preview.Zoom(), 50);
    EXPECT_EQ(ImagePos(preview), QPoint(100, 67)); // (601 - 401) div 2, (700 - 565) div 2
}

TEST(RepPreview, PagingGuardsAndScrollingBackToTheTop)
{
    TRepPrinter printer;
    ProducePages(printer, 3);
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    SetViewport(preview, 300, 300);
    preview.SetZoom(200);
    EXPECT_EQ(ShownPageNumber(*preview.Image()), 1);

    const std::vector<std::pair<int, int>> steps{{2, 2}, {0, 2}, {-1, 2}, {4, 2}, {3, 3}, {1, 1}};
    for (const auto &[set, expect] : steps) {
        preview.verticalScrollBar()->setValue(100);
        preview.SetPageNumber(set);
        EXPECT_EQ(preview.PageNumber(), expect) << "after SetPageNumber(" << set << ")";
        EXPECT_EQ(ShownPageNumber(*preview.Image()), expect);
        if (set == expect) {
            EXPECT_EQ(preview.verticalScrollBar()->value(), 0);
        }
    }
}

TEST(RepPreview, AttachingAndDetachingThePrinter)
{
    auto printer = std::make_unique<TRepPrinter>();
    TRepPrinter other;
    ProducePages(*printer, 2);
    TRepPreview preview;
    preview.SetShownPrinter(printer.get());
    EXPECT_EQ(printer->Client(), &preview);
    EXPECT_TRUE(printer->ShowingPreview());

    preview.SetShownPrinter(&other);
    EXPECT_EQ(printer->Client(), nullptr);
    EXPECT_FALSE(printer->ShowingPreview());
    EXPECT_EQ(other.Client(), &preview);

    preview.SetShownPrinter(printer.get());
    printer.reset(); // the printer goes away first: the control forgets it
    EXPECT_EQ(preview.ShownPrinter(), nullptr);
    preview.SetPageNumber(2);
    preview.FitPage();
    EXPECT_EQ(preview.PageNumber(), 1);
}

TEST(RepPreview, FirstAvailablePageShowsZoomedToWidthWhileTheRunGoesOn)
{
    TRepPrinter printer;
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    SetViewport(preview, 700, 400);
    preview.SetZoom(100);
    std::vector<int> announced;
    std::vector<int> progress;
    preview.OnPageAvailable = [&](TRepPreview *sender, int n) {
        EXPECT_EQ(sender, &preview);
        announced.push_back(n);
    };
    preview.OnProgressUpdate = [&](TRepPreview *, int p) { progress.push_back(p); };

    printer.OpenDocument();
    printer.AdvancePage();
    DrawNumberedPage(*printer.PageCanvas(), 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(preview.Image()->PagePresent()); // page 1 is still being drawn
    printer.ReportProgress(40);
    printer.AdvancePage(); // page 1 is stored and announced
    DrawNumberedPage(*printer.PageCanvas(), 2);
    QCoreApplication::processEvents();

    EXPECT_EQ(announced, std::vector<int>{1});
    EXPECT_EQ(progress, std::vector<int>{40});
    EXPECT_EQ(ShownPageNumber(*preview.Image()), 1);
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomWidth);
    EXPECT_EQ(preview.Zoom(), 79);

    // Page 2 is not available yet: paging there shows an empty page until
    // its notice arrives (the notice is for the page on show).
    preview.SetPageNumber(2);
    EXPECT_FALSE(preview.Image()->PagePresent());
    printer.CloseDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(ShownPageNumber(*preview.Image()), 2);
}

// The file of an A4 landscape and a Letter page loaded into a printer whose
// paper is A4 portrait, as on a machine with an A4 printer that offers
// neither of the two.
void LoadMixedPages(TRepPrinter &printer, const QString &file)
{
    WriteMixedPaperFile(file);
    printer.LoadReportFile(file);
    printer.SetPaperSize(TRepPaperSize::A4);
    printer.SetOrientation(poPortrait);
}

TEST(RepPreview, EveryPageShowsAtItsOwnSize)
{
    QTemporaryDir dir;
    TRepPrinter printer;
    LoadMixedPages(printer, dir.filePath(QStringLiteral("mixed.ZRP")));
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    SetViewport(preview, 1000, 800);

    preview.SetZoom(100);
    EXPECT_EQ(preview.Image()->size(), QSize(1123 + 4, 794 + 4));
    preview.SetPageNumber(2);
    EXPECT_EQ(preview.Image()->size(), QSize(816 + 4, 1056 + 4)) << "paging follows the page";
    preview.SetZoom(50);
    EXPECT_EQ(preview.Image()->size(), QSize(408 + 4, 528 + 4));

    // Fitting fits the page on show: min(nearest(1000/816*95), nearest(800/1056*95)).
    preview.FitPage();
    EXPECT_EQ(preview.Zoom(), 72);
    preview.SetPageNumber(1); // min(nearest(1000/1123*95), nearest(800/794*95))
    EXPECT_EQ(preview.Zoom(), 85);
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomFit);
    const QSize image = preview.Image()->size() - QSize(4, 4);
    EXPECT_NEAR(double(image.width()) / image.height(), 1123.0 / 794, 0.005);

    preview.FitWidth(); // nearest(1000/1123*90)
    EXPECT_EQ(preview.Zoom(), 80);
    preview.SetPageNumber(2); // nearest(1000/816*90), the image taller than the control
    EXPECT_EQ(preview.Zoom(), 110);
}

TEST(RepPreviewImage, PaperFrameAndShadow)
{
    TRepPrinter printer;
    ProducePages(printer, 3);
    TRepPreviewImage image;
    image.resize(204, 284);
    const QImage empty = PaintedImage(image);
    EXPECT_EQ(qAlpha(empty.pixel(100, 100)), 0) << "without a page nothing is drawn";

    image.SetPrinter(&printer);
    image.SetPageNumber(3);
    ASSERT_TRUE(image.PagePresent());
    const QImage painted = PaintedImage(image);
    const int w = 204;
    const int h = 284;
    const auto black = [&](int x, int y) { return qGray(painted.pixel(x, y)) < 60 && qAlpha(painted.pixel(x, y)) == 255; };
    const auto white = [&](int x, int y) { return painted.pixel(x, y) == qRgb(255, 255, 255); };
    for (int y : {0, 100, h - 3})
        EXPECT_TRUE(black(0, y) && black(w - 3, y)) << "frame at row " << y;
    for (int x : {0, 100, w - 3})
        EXPECT_TRUE(black(x, 0) && black(x, h - 3)) << "frame at column " << x;
    EXPECT_TRUE(black(w - 1, 50) && black(w - 2, h - 1) && black(50, h - 1)) << "shadow";
    EXPECT_EQ(qAlpha(painted.pixel(w - 1, 0)), 0) << "the shadow starts two pixels down";
    EXPECT_EQ(qAlpha(painted.pixel(0, h - 1)), 0) << "and two pixels in";
    EXPECT_TRUE(white(w / 2, h / 2));
    EXPECT_EQ(ShownPageNumber(image), 3);

    image.SetPageNumber(9); // beyond the store: nothing again
    EXPECT_FALSE(image.PagePresent());
}

TEST(RepPreviewImage, SharpAtTheDevicePixelRatio)
{
    TRepPrinter printer;
    ProducePages(printer, 1);
    TRepPreviewImage image;
    image.SetPrinter(&printer);
    image.SetPageNumber(1);
    image.resize(402, 565);
    const QImage dense = PaintedImage(image, 2.0);
    ASSERT_EQ(dense.size(), QSize(804, 1130));
    // Rendered at the density, not enlarged: an enlargement repeats every
    // pixel as a 2 x 2 block, a true rendering has edges inside the blocks.
    const auto splitBlocks = [](const QImage &a) {
        int n = 0;
        for (int y = 20; y < 200; y += 2)
            for (int x = 20; x < 400; x += 2) {
                const QRgb c = a.pixel(x, y);
                if (a.pixel(x + 1, y) != c || a.pixel(x, y + 1) != c || a.pixel(x + 1, y + 1) != c)
                    ++n;
            }
        return n;
    };
    EXPECT_GT(splitBlocks(dense), 40);
    EXPECT_EQ(splitBlocks(PaintedImage(image, 1.0).scaled(804, 1130)), 0); // the measure itself
}

} // namespace

// A paint device that only notes how large each text it receives would be
// on the device (its font height times the transform's scale): the glyph
// cache of a real device must make a bitmap of that size.
class TextSizeProbe : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &FEngine; }
    double Largest() const { return FEngine.largest; }
    int Texts() const { return FEngine.texts; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return 800;
        case PdmHeight: return 1100;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    struct Engine : QPaintEngine
    {
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF &, const QTextItem &item) override
        {
            const QFont font = item.font();
            const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96 / 72;
            const QTransform t = painter()->worldTransform();
            largest = std::max(largest, pixels * std::max(std::hypot(t.m11(), t.m12()), std::hypot(t.m21(), t.m22())));
            ++texts;
        }
        Type type() const override { return User; }
        double largest = 0;
        int texts = 0;
    };
    mutable Engine FEngine;
};

// A saved report whose one page draws text without ever selecting a font,
// on a frame that stretches a pixel a hundredfold, once crashed the preview
// in Qt's glyph cache: the size guard never fired for the page's default
// font. Text reaches a device as text (through its glyph cache) only at an
// ordinary size — larger text is filled as outlines or left out — at any
// size the page is shown, while ordinary pages keep their text.
TEST(RepPreview, TextOfACraftedPageNeverReachesTheDeviceAtAnAbsurdSize)
{
    TRepPrinter crafted;
    crafted.LoadReportFile(QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/fuzz/corpus/fuzz_zrp/zrp-text-without-font.zrp"));
    const std::optional<Metafile> page = crafted.FetchPage(1);
    ASSERT_TRUE(page);
    for (const QSizeF size : {QSizeF(794, 1123), QSizeF(200, 280), QSizeF(3000, 4200)}) {
        TextSizeProbe probe;
        QPainter painter(&probe);
        PlayMetafile(painter, *page, QRectF(QPointF(0, 0), size));
        painter.end();
        EXPECT_LE(probe.Largest(), 500) << size.width();
    }

    TRepPrinter ordinary;
    ProducePages(ordinary, 1);
    TextSizeProbe probe;
    QPainter painter(&probe);
    PlayMetafile(painter, *ordinary.FetchPage(1), QRectF(0, 0, 794, 1123));
    painter.end();
    EXPECT_GT(probe.Texts(), 0);
}
