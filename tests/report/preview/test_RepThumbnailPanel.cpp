// The thumbnail column: it follows the pages of a run, renders pictures
// only of pages scrolled into view and keeps them under its memory budget
// however many pages there are.
#include "report/PreviewFixtures.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepThumbnailPanel.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Column
{
    TRepPrinter printer;
    TRepPreview preview;
    TRepThumbnailPanel panel{&preview};

    explicit Column(int pages)
    {
        ProducePages(printer, pages);
        preview.SetShownPrinter(&printer);
        panel.PagesReplaced();
        panel.resize(160, 600);
        panel.show();
        Settle();
    }
    // Paints the column and renders what it asked for.
    void Settle()
    {
        panel.viewport()->repaint();
        panel.RenderPending();
        QCoreApplication::processEvents();
    }
    std::pair<int, int> InView() const
    {
        const int first = panel.PageAt(QPoint(10, 0));
        int last = panel.PageAt(QPoint(10, panel.viewport()->height() - 1));
        return {first, last > 0 ? last : panel.PageCount()};
    }
};

TEST(RepThumbnailPanel, RendersOnlyThePagesScrolledIntoView)
{
    Column c(300);
    std::set<int> seen;
    const auto note = [&] {
        const auto [first, last] = c.InView();
        for (int p = first; p <= last; ++p)
            seen.insert(p);
    };
    note();
    for (const int value : {5000, 20000, c.panel.verticalScrollBar()->maximum()}) {
        c.panel.verticalScrollBar()->setValue(value);
        c.Settle();
        note();
    }
    ASSERT_FALSE(c.panel.RenderedPages().empty());
    for (const int page : c.panel.RenderedPages())
        EXPECT_TRUE(seen.count(page)) << "page " << page << " was never in view";
    for (const int page : seen)
        EXPECT_TRUE(c.panel.RenderedPages().count(page)) << "page " << page << " in view but not rendered";
    EXPECT_LT(c.panel.RenderedPages().size(), 40u);

    // What a cell shows is its page: page 300's bar is 3000 pixels wide,
    // beyond the page, so its picture's top row is dark from edge to edge.
    const QImage shown = c.panel.viewport()->grab().toImage();
    const QRect last = c.panel.CellRect(300);
    int dark = 0;
    for (int x = last.left(); x <= last.right(); ++x)
        dark += qGray(shown.pixel(x, last.top() + 8)) < 100;
    EXPECT_GT(dark, 80);
}

TEST(RepThumbnailPanel, AHiddenColumnRendersNothing)
{
    TRepPrinter printer;
    ProducePages(printer, 20);
    TRepPreview preview;
    preview.SetShownPrinter(&printer);
    TRepThumbnailPanel panel(&preview);
    panel.PagesReplaced();
    panel.resize(160, 600);
    QCoreApplication::processEvents();
    QTest::qWait(20);
    EXPECT_EQ(panel.Renderings(), 0);
    EXPECT_EQ(panel.PageCount(), 20);
}

TEST(RepThumbnailPanel, MemoryOfFourteenThousandPagesStaysUnderTheBudget)
{
    Column c(14000);
    ASSERT_EQ(c.panel.PageCount(), 14000);
    c.panel.SetBudget(2 * 1024 * 1024);
    std::mt19937 random(7);
    QScrollBar &bar = *c.panel.verticalScrollBar();
    for (int i = 0; i < 150; ++i) {
        bar.setValue(std::uniform_int_distribution<int>(0, bar.maximum())(random));
        c.Settle();
        EXPECT_LE(c.panel.CachedBytes(), c.panel.Budget());
    }
    EXPECT_GT(c.panel.Renderings(), 150 * 3) << "every jump rendered the pages it showed";
    // A page rendered before and pushed out of the cache is rendered again
    // when it comes back into view.
    bar.setValue(0);
    const int before = c.panel.Renderings();
    c.Settle();
    EXPECT_GT(c.panel.Renderings(), before);
}

TEST(RepThumbnailPanel, FillsAsARunGoesOnAndLetsThePrinterGo)
{
    auto printer = std::make_unique<TRepPrinter>();
    TRepPreview preview;
    preview.SetShownPrinter(printer.get());
    TRepThumbnailPanel panel(&preview);
    panel.resize(160, 600);
    panel.show();
    std::vector<int> counts;
    printer->OpenDocument();
    for (int n = 1; n <= 4; ++n) {
        printer->AdvancePage();
        DrawNumberedPage(*printer->PageCanvas(), n);
        panel.PagesAvailable();
        counts.push_back(panel.PageCount());
    }
    printer->CloseDocument();
    panel.PagesAvailable();
    counts.push_back(panel.PageCount());
    EXPECT_EQ(counts, (std::vector<int>{0, 1, 2, 3, 4})) << "the page being drawn is not shown yet";

    panel.SetCurrentPage(4);
    EXPECT_EQ(panel.CurrentPage(), 4);
    panel.viewport()->repaint();
    panel.RenderPending();
    EXPECT_GT(panel.CachedBytes(), 0);

    // The printer goes while pictures are still to be rendered (the report
    // frees it when the window closes): nothing is rendered of it any more.
    panel.SetBudget(1); // every picture is dropped again
    panel.viewport()->repaint();
    const int renderings = panel.Renderings();
    printer.reset();
    panel.RenderPending();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.Renderings(), renderings);
    panel.PagesReplaced();
    EXPECT_EQ(panel.PageCount(), 0);
    EXPECT_EQ(panel.CachedBytes(), 0);
}

} // namespace
