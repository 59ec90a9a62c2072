// The preview control as a reader of pages: zoom steps, Ctrl + wheel about
// the pointer, the wheel going on across pages, rendering only what is in
// view, highlights over the page.
#include "report/PreviewFixtures.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewImage.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A wheel turned by delta (eighths of a degree; 120 a notch, negative
// away from the user) over pos of the viewport.
void Wheel(TRepPreview &preview, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier, QPointF pos = {50, 50})
{
    QWheelEvent event(pos, preview.viewport()->mapToGlobal(pos), QPoint(0, 0), QPoint(0, delta), Qt::NoButton,
                      mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(preview.viewport(), &event);
    QCoreApplication::processEvents();
}

struct Reader
{
    TRepPrinter printer;
    TRepPreview preview;
    std::vector<int> pagesSeen; // from OnPageChanged

    explicit Reader(int pages, QSize viewport = {400, 300})
    {
        ProducePages(printer, pages);
        preview.SetShownPrinter(&printer);
        preview.OnPageChanged = [this](TRepPreview *p) { pagesSeen.push_back(p->PageNumber()); };
        SetViewport(preview, viewport.width(), viewport.height());
    }
    QScrollBar &Bar() { return *preview.verticalScrollBar(); }
};

TEST(RepPreviewReading, ZoomStepsFromAnyZoomAndStopAtTheEnds)
{
    TRepPreview preview;
    std::vector<int> zooms;
    preview.OnZoomChanged = [&](TRepPreview *p) { zooms.push_back(p->Zoom()); };
    for (int i = 0; i < 6; ++i)
        preview.ZoomIn();
    EXPECT_EQ(zooms, (std::vector<int>{125, 150, 200, 300, 400}));
    zooms.clear();
    for (int i = 0; i < 12; ++i)
        preview.ZoomOut();
    EXPECT_EQ(zooms, (std::vector<int>{300, 200, 150, 125, 100, 75, 67, 50, 33, 25}));
    preview.SetZoom(110); // a fit's zoom between two steps
    preview.ZoomOut();
    EXPECT_EQ(preview.Zoom(), 100);
    preview.SetZoom(110);
    preview.ZoomIn();
    EXPECT_EQ(preview.Zoom(), 125);
    EXPECT_EQ(preview.ZoomMode(), TRepPreview::ZoomOther);
}

TEST(RepPreviewReading, CtrlWheelZoomsAboutThePointUnderThePointer)
{
    Reader r(1);
    r.preview.SetZoom(200);
    r.preview.horizontalScrollBar()->setValue(300);
    r.Bar().setValue(500);
    const QPointF pointer(120, 80);
    const auto pagePoint = [&] {
        const QPointF onImage = pointer - QPointF(r.preview.Image()->pos());
        return QPointF(onImage.x() / r.preview.Image()->width(), onImage.y() / r.preview.Image()->height());
    };
    const QPointF before = pagePoint();
    Wheel(r.preview, 120, Qt::ControlModifier, pointer);
    EXPECT_EQ(r.preview.Zoom(), 300);
    EXPECT_NEAR(pagePoint().x(), before.x(), 0.002);
    EXPECT_NEAR(pagePoint().y(), before.y(), 0.002);
    // A touchpad's small steps make a zoom step once they add up to a notch.
    for (int i = 0; i < 3; ++i)
        Wheel(r.preview, -40, Qt::ControlModifier, pointer);
    EXPECT_EQ(r.preview.Zoom(), 200);
    EXPECT_NEAR(pagePoint().y(), before.y(), 0.002);
    EXPECT_TRUE(r.pagesSeen.empty()) << "zooming is no paging";
}

TEST(RepPreviewReading, TheWheelGoesOnToTheNextPageAndBack)
{
    Reader r(3);
    r.preview.SetZoom(100); // the page is taller than the view
    ASSERT_GT(r.Bar().maximum(), 0);

    Wheel(r.preview, -120);
    EXPECT_EQ(r.preview.PageNumber(), 1) << "inside the page the wheel scrolls";
    EXPECT_GT(r.Bar().value(), 0);
    r.Bar().setValue(r.Bar().maximum());
    Wheel(r.preview, -120);
    EXPECT_EQ(r.preview.PageNumber(), 2);
    EXPECT_EQ(ShownPageNumber(*r.preview.Image()), 2);
    EXPECT_EQ(r.Bar().value(), 0) << "the next page shows from its top";

    Wheel(r.preview, 120);
    EXPECT_EQ(r.preview.PageNumber(), 1);
    EXPECT_EQ(r.Bar().value(), r.Bar().maximum()) << "the page before shows from its bottom";

    // At the end of the last page the wheel does nothing; small steps
    // against the end of a page turn it only once they make a notch.
    r.preview.SetPageNumber(3);
    r.Bar().setValue(r.Bar().maximum());
    Wheel(r.preview, -120);
    EXPECT_EQ(r.preview.PageNumber(), 3);
    r.preview.SetPageNumber(2);
    r.Bar().setValue(r.Bar().maximum());
    for (int i = 0; i < 3; ++i)
        Wheel(r.preview, -30);
    EXPECT_EQ(r.preview.PageNumber(), 2);
    Wheel(r.preview, -30);
    EXPECT_EQ(r.preview.PageNumber(), 3);
    EXPECT_EQ(r.pagesSeen, (std::vector<int>{2, 1, 3, 2, 3}));

    // A whole page in view has no end to scroll to: the wheel turns it.
    r.preview.SetZoom(25);
    ASSERT_EQ(r.Bar().maximum(), 0);
    Wheel(r.preview, 120);
    EXPECT_EQ(r.preview.PageNumber(), 2);
}

TEST(RepPreviewReading, OnlyThePartInViewIsRenderedAtALargeZoom)
{
    Reader r(1);
    r.preview.SetZoom(50);
    r.preview.viewport()->grab();
    EXPECT_EQ(r.preview.Image()->RenderedArea(), r.preview.Image()->rect()) << "a small page is rendered whole";

    r.preview.SetZoom(400); // 3176 x 4492
    r.preview.viewport()->grab();
    const QRect top = r.preview.Image()->RenderedArea();
    const QRect seen(QPoint(0, 0), r.preview.viewport()->size());
    EXPECT_TRUE(top.contains(seen));
    EXPECT_LT(qint64(top.width()) * top.height(),
              qint64(r.preview.Image()->width()) * r.preview.Image()->height() / 10);

    r.Bar().setValue(r.Bar().maximum());
    r.preview.viewport()->grab();
    const QRect bottom = r.preview.Image()->RenderedArea();
    EXPECT_EQ(bottom.bottom(), r.preview.Image()->height() - 1);
    EXPECT_FALSE(bottom.intersects(top));
    // What is drawn is the page: the number bar at the top left of page 1
    // is black, the paper beside it white.
    r.Bar().setValue(0);
    const QImage view = r.preview.viewport()->grab().toImage();
    EXPECT_LT(qGray(view.pixel(20, 20)), 60);
    EXPECT_EQ(qGray(view.pixel(20, 200)), 255);
}

TEST(RepPreviewReading, HighlightsShowOverThePageUntilItIsTurned)
{
    Reader r(2, {900, 1200});
    r.preview.SetZoom(100);
    TRepPreviewImage &image = *r.preview.Image();
    const QRectF box(100, 300, 200, 40); // page pixels; at 100 % nearly image pixels
    r.preview.SetHighlights({box, QRectF(100, 500, 200, 40)}, 1);
    const QImage painted = PaintedImage(image);
    const QColor plain = painted.pixelColor(image.ToImage(box).center().toPoint());
    const QColor current = painted.pixelColor(image.ToImage(QRectF(100, 500, 200, 40)).center().toPoint());
    EXPECT_GT(plain.red(), 200);
    EXPECT_LT(plain.blue(), 200) << "yellowish";
    EXPECT_LT(current.green(), plain.green()) << "the current match stands out";
    EXPECT_EQ(painted.pixel(400, 700), qRgb(255, 255, 255));

    r.preview.SetPageNumber(2);
    EXPECT_TRUE(image.Highlights().empty());
}

TEST(RepPreviewReading, ShowBoxScrollsABoxOutOfViewToTheMiddle)
{
    Reader r(1);
    r.preview.SetZoom(200);
    const QRectF low(50, 1000, 100, 20); // far below the view
    r.preview.ShowBox(low);
    const QRectF onImage = r.preview.Image()->ToImage(low);
    const QRect seen(QPoint(r.preview.horizontalScrollBar()->value(), r.Bar().value()),
                     r.preview.viewport()->size());
    EXPECT_TRUE(seen.contains(onImage.toAlignedRect()));
    EXPECT_NEAR(onImage.center().y() - seen.top(), seen.height() / 2.0, 2);
    const int kept = r.Bar().value();
    r.preview.ShowBox(low.translated(0, 10)); // already in view: stays
    EXPECT_EQ(r.Bar().value(), kept);
}

} // namespace
