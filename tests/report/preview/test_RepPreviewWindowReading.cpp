// The preview window as a reader uses it: zoom keys and buttons, a page
// number typed into the status bar, thumbnails, finding a word across the
// pages, an export of some pages, and what a run without pages offers.
#include "report/PreviewFixtures.h"
#include "report/output/RepPdfExport.h"
#include "report/preview/RepPreview.h"
#include "report/preview/RepStandardPreview.h"
#include "report/preview/detail/RepFindBar.h"
#include "report/preview/detail/RepPageField.h"
#include "report/preview/detail/RepThumbnailPanel.h"
#include "support/PdfText.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct Window
{
    TRepPrinter printer;
    QPointer<TRepStandardPreview> window;

    Window()
    {
        window = new TRepStandardPreview(nullptr, &printer);
        window->setWindowState(Qt::WindowNoState);
        window->resize(900, 700);
        window->show();
        QCoreApplication::processEvents();
    }
    ~Window() { delete window; }
    TRepPreview &Preview() { return *window->RepPreview(); }
    QWidget *Page() { return Preview().viewport(); }
    QToolButton *Button(const char *name) { return window->Button(QString::fromLatin1(name)); }
};

// Page n holds a few lines; the last page also the word planted there.
QStringList ListPage(int n, int pages, const QString &planted)
{
    QStringList lines{QStringLiteral("Line one of page %1").arg(n), QStringLiteral("an ordinary line")};
    if (n == pages)
        lines << QStringLiteral("the %1 was here").arg(planted);
    if (n % 2 == 0)
        lines << QStringLiteral("Medve és nyúl");
    return lines;
}

TEST(RepPreviewWindowReading, ZoomKeysAndButtonsStepAndTheZoomShows)
{
    Window w;
    ProducePages(w.printer, 2);
    w.Preview().SetZoom(100);
    EXPECT_EQ(w.window->ZoomText(), QStringLiteral("100%"));
    EXPECT_TRUE(w.Button("Zoom100")->isChecked());
    QTest::keyClick(w.Page(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(w.Preview().Zoom(), 125);
    EXPECT_EQ(w.window->ZoomText(), QStringLiteral("125%"));
    for (const char *preset : {"ZoomFit", "Zoom100", "ZoomToWidth"})
        EXPECT_FALSE(w.Button(preset)->isChecked()) << preset << ": a zoom of its own is none of the presets";
    QTest::keyClick(w.Page(), Qt::Key_Equal, Qt::ControlModifier); // the plus key's own place
    EXPECT_EQ(w.Preview().Zoom(), 150);
    QTest::keyClick(w.Page(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(w.Page(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(w.Preview().Zoom(), 100);
    QTest::keyClick(w.Page(), Qt::Key_Minus); // without Ctrl nothing
    EXPECT_EQ(w.Preview().Zoom(), 100);
    w.Button("ZoomOut")->click();
    EXPECT_EQ(w.Preview().Zoom(), 75);
    w.Button("ZoomIn")->click();
    w.Button("ZoomIn")->click();
    EXPECT_EQ(w.Preview().Zoom(), 125);
    w.Button("ZoomToWidth")->click();
    EXPECT_TRUE(w.Button("ZoomToWidth")->isChecked());
    EXPECT_EQ(w.window->ZoomText(), QStringLiteral("%1%").arg(w.Preview().Zoom()));
}

TEST(RepPreviewWindowReading, APageNumberTypedIntoTheStatusBarGoesThere)
{
    Window w;
    ProducePages(w.printer, 5);
    TRepPageField &field = *w.window->PageField();
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 1 of 5"));
    const auto type = [&](const QString &text) {
        QTest::mouseClick(&field, Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(field.text(), QString::number(w.Preview().PageNumber())) << "the number alone while editing";
        field.selectAll();
        QTest::keyClicks(&field, text);
        QTest::keyClick(&field, Qt::Key_Return);
    };
    type(QStringLiteral("4"));
    EXPECT_EQ(w.Preview().PageNumber(), 4);
    EXPECT_EQ(ShownPageNumber(*w.Preview().Image()), 4);
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 4 of 5"));
    EXPECT_EQ(field.text(), QStringLiteral("Page 4 of 5"));
    EXPECT_FALSE(field.hasFocus());
    for (const char *wrong : {"9", "0", "two"}) {
        type(QString::fromLatin1(wrong));
        EXPECT_EQ(w.Preview().PageNumber(), 4) << wrong;
    }
    // Escape gives the field up; the window stays.
    QTest::mouseClick(&field, Qt::LeftButton);
    QTest::keyClicks(&field, QStringLiteral("2"));
    QTest::keyClick(&field, Qt::Key_Escape);
    EXPECT_EQ(w.Preview().PageNumber(), 4);
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_EQ(field.text(), QStringLiteral("Page 4 of 5"));
}

TEST(RepPreviewWindowReading, ThumbnailsAreOffAtFirstAndGoToThePageClicked)
{
    Window w;
    ProducePages(w.printer, 6);
    TRepThumbnailPanel &thumbnails = *w.window->Thumbnails();
    EXPECT_FALSE(thumbnails.isVisible());
    EXPECT_EQ(thumbnails.Renderings(), 0);
    w.Button("Thumbnails")->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(thumbnails.isVisible());
    EXPECT_TRUE(w.Button("Thumbnails")->isChecked());
    EXPECT_EQ(thumbnails.PageCount(), 6);
    QTest::mouseClick(thumbnails.viewport(), Qt::LeftButton, {}, thumbnails.CellRect(3).center());
    EXPECT_EQ(w.Preview().PageNumber(), 3);
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 3 of 6"));
    QTest::keyClick(w.Page(), Qt::Key_End);
    EXPECT_EQ(thumbnails.CurrentPage(), 6) << "the column follows the page on show";
    w.Button("Thumbnails")->click();
    EXPECT_FALSE(thumbnails.isVisible());
}

TEST(RepPreviewWindowReading, AWordPlantedOnTheLastPageIsFoundAndHighlighted)
{
    Window w;
    const int pages = 400;
    ProduceTextPages(w.printer, pages, [&](int n) { return ListPage(n, pages, QStringLiteral("Zebrapinty")); });
    QTest::keyClick(w.Page(), Qt::Key_F, Qt::ControlModifier);
    TRepFindBar &bar = *w.window->FindBar();
    ASSERT_TRUE(bar.isVisible());
    ASSERT_TRUE(bar.TextField()->hasFocus());
    QTest::keyClicks(bar.TextField(), QStringLiteral("zebraPINTY"));
    QTest::keyClick(bar.TextField(), Qt::Key_Return);
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 1"));
    EXPECT_EQ(w.Preview().PageNumber(), pages);
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 400 of 400"));

    // The highlight stands over the word's own pixels.
    const TRepPreviewImage &image = *w.Preview().Image();
    ASSERT_EQ(image.Highlights().size(), 1u);
    const QRect box = image.ToImage(image.Highlights().front()).toAlignedRect();
    const QImage painted = PaintedImage(*w.Preview().Image());
    int ink = 0, marked = 0;
    for (int y = box.top() + 1; y < box.bottom(); ++y)
        for (int x = box.left() + 1; x < box.right(); ++x) {
            const QColor c = painted.pixelColor(x, y);
            ink += c.lightness() < 120;
            marked += c.red() > 200 && c.blue() < 150;
        }
    EXPECT_GT(ink, 20) << "the word is inside the box";
    EXPECT_GT(marked, box.width() * box.height() / 3) << "and the box is marked";

    // Home in the text field stays there; Escape shuts the bar, not the window.
    QTest::keyClick(bar.TextField(), Qt::Key_Home);
    EXPECT_EQ(w.Preview().PageNumber(), pages);
    QTest::keyClick(bar.TextField(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_TRUE(image.Highlights().empty());
}

TEST(RepPreviewWindowReading, F3GoesThroughTheMatchesAcrossPagesAndRound)
{
    Window w;
    ProduceTextPages(w.printer, 7, [](int n) { return ListPage(n, 7, QStringLiteral("x")); });
    w.Preview().SetPageNumber(3);
    TRepFindBar &bar = *w.window->FindBar();
    bar.Open();
    bar.Search(QStringLiteral("medve"));
    // Pages 2, 4 and 6 hold it; the first shown is the first from page 3.
    EXPECT_EQ(bar.ResultText(), QStringLiteral("2 / 3"));
    EXPECT_EQ(w.Preview().PageNumber(), 4);
    std::vector<int> visited;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(w.Page(), Qt::Key_F3);
        visited.push_back(w.Preview().PageNumber());
    }
    EXPECT_EQ(visited, (std::vector<int>{6, 2, 4}));
    QTest::keyClick(w.Page(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(w.Preview().PageNumber(), 2);
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 3"));
    // Accents: "nyul" finds "nyúl" only when they are ignored.
    bar.Search(QStringLiteral("nyul"));
    EXPECT_EQ(bar.ResultText(), QStringLiteral("No matches"));
    bar.SetIgnoreAccents(true);
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 3"));
}

TEST(RepPreviewWindowReading, ASearchGoesOnInThePagesThatArriveAndInALoadedFile)
{
    Window w;
    TRepFindBar &bar = *w.window->FindBar();
    ProduceTextPages(
        w.printer, 6, [](int n) { return ListPage(n, 6, QStringLiteral("Zebrapinty")); },
        /*close=*/false);
    bar.Search(QStringLiteral("medve")); // pages 2 and 4 so far
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 2"));
    bar.Search(QStringLiteral("zebrapinty"));
    EXPECT_EQ(bar.ResultText(), QStringLiteral("No matches"));
    w.printer.CloseDocument();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 1")) << "found once page 6 was stored";
    EXPECT_EQ(w.Preview().PageNumber(), 6);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.ZRP"));
    w.printer.SaveReportFile(file);
    TRepPrinter other;
    ProduceTextPages(other, 2, [](int) { return QStringList{QStringLiteral("nothing here")}; });
    delete w.window;
    w.window = new TRepStandardPreview(nullptr, &other);
    w.window->show();
    TRepFindBar &again = *w.window->FindBar();
    again.Search(QStringLiteral("zebrapinty"));
    EXPECT_EQ(again.ResultText(), QStringLiteral("No matches"));
    TRepStandardPreview::SetLoadChooser([&](QWidget *, const QString &, const QStringList &, const QString &) {
        return TRepStandardPreview::FileChoice{file, 1};
    });
    w.window->LoadClick();
    TRepStandardPreview::SetLoadChooser({});
    EXPECT_EQ(again.ResultText(), QStringLiteral("1 / 1")) << "the loaded pages are searched";
    again.FindNext();
    EXPECT_EQ(w.window->RepPreview()->PageNumber(), 6);
}

TEST(RepPreviewWindowReading, ARunWithoutPagesOffersNothingToPrintOrSave)
{
    Window w;
    w.printer.OpenDocument();
    w.printer.CloseDocument(); // no page: announces one page all the same
    w.printer.AnnounceRunEnded();
    QCoreApplication::processEvents();
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 0 of 0"));
    EXPECT_FALSE(w.Button("Print")->isEnabled());
    EXPECT_FALSE(w.Button("SaveReport")->isEnabled());
    EXPECT_TRUE(w.Button("LoadReport")->isEnabled());
    EXPECT_TRUE(w.Button("PrintSetup")->isEnabled());
    QTest::keyClick(w.Page(), Qt::Key_End);
    EXPECT_EQ(w.window->StatusText(), QStringLiteral("Page 0 of 0"));
}

TEST(RepPreviewWindowReading, AnExportWritesThePagesAsked)
{
    RegisterPdfExportFilter();
    QTemporaryDir dir;
    Window w;
    w.printer.SetTitle(QStringLiteral("Five"));
    ProducePages(w.printer, 5);
    std::vector<int> asked;
    std::optional<std::pair<int, int>> answer = std::pair{2, 3};
    TRepStandardPreview::SetRangeChooser([&](QWidget *, int count) {
        asked.push_back(count);
        return answer;
    });
    QString file = dir.filePath(QStringLiteral("two.pdf"));
    TRepStandardPreview::SetSaveChooser(
        [&](QWidget *, const QString &, const QStringList &filters, const QString &) {
            return TRepStandardPreview::FileChoice{file,
                                                   int(filters.indexOf(QStringLiteral("PDF file (*.pdf)"))) + 1};
        });
    w.window->SaveClick();
    EXPECT_EQ(asked, std::vector<int>{5});
    EXPECT_EQ(PdfPageCount(file), 2);
    const QStringList pages = PdfText(file).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Page 2")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Page 3")));

    answer.reset(); // cancelled: nothing written
    file = dir.filePath(QStringLiteral("none.pdf"));
    w.window->SaveClick();
    EXPECT_FALSE(QFileInfo::exists(file));
    TRepStandardPreview::SetRangeChooser({});
    TRepStandardPreview::SetSaveChooser({});

    // Without the window: a range beyond the pages writes what there is.
    TRepPdfExportFilter tail(dir.filePath(QStringLiteral("tail.pdf")));
    tail.SetPageRange(4, 99);
    tail.WritePages(w.printer);
    EXPECT_EQ(PdfPageCount(tail.FileName()), 2);
    TRepPdfExportFilter beyond(dir.filePath(QStringLiteral("beyond.pdf")));
    beyond.SetPageRange(7, 9);
    EXPECT_THROW(beyond.WritePages(w.printer), std::exception);
    EXPECT_FALSE(QFileInfo::exists(beyond.FileName()));
}

} // namespace
