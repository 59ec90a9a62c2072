// The band engine: page and column flow of a run, breaks, cancelling,
// recovery after errors, and the modal preview and direct print entry points.
#include "report/RecordingCanvas.h"
#include "platform/AppError.h"
#include "platform/MetafilePlayer.h"
#include "platform/Rounding.h"
#include "report/model/RepBands.h"
#include "report/model/RepControllers.h"
#include "report/model/RepCtrls.h"
#include "report/definition/RepDefinition.h"
#include "report/preview/RepPrintDialog.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPrinter.h"
#include "report/model/RepReport.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinterInfo>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// A list in two columns (tests/report/data/two_column_list.zrd) whose
// before-print handler gives each entry one of three looks by its first
// character: "=" a heading (24 px high, indented 24 px, bold, strip on), "+"
// a total (24 px, right-aligned, bold), anything else plain text (19 px,
// indented 52 px).
class ListReport : public TRepReport
{
public:
    ListReport()
    {
        QFile file(QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/report/data/two_column_list.zrd"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        LoadReportDefinition(*this, file.readAll(), QStringLiteral("two_column_list.zrd"));
        Strings = findChild<TRepStringsBand *>(QStringLiteral("Entries"));
        Expr = findChild<TRepExpr *>(QStringLiteral("EntryText"));
        Shape = findChild<TRepShape *>(QStringLiteral("EntryStrip"));
        Header = findChild<TRepBand *>(QStringLiteral("PageHeader"));
        Footer = findChild<TRepBand *>(QStringLiteral("PageFooter"));
    }

    bool BindHandler(TRepControl *component, const QString &event, const QString &handler) override
    {
        if (component->Name() != QLatin1String("Entries") || event != QLatin1String("BeforePrint")
            || handler != QLatin1String("EntriesBeforePrint"))
            return false;
        static_cast<TRepCustomBand *>(component)->BeforePrint = [this](TRepCustomBand *band, bool &print) {
            if (band == Strings)
                ApplyLook();
            if (ExtraBeforePrint)
                ExtraBeforePrint(band, print);
        };
        return true;
    }

    void ApplyLook()
    {
        const QString line = Expr->CurrentValue().Text();
        const QChar first = line.isEmpty() ? QChar() : line.at(0);
        const bool heading = first == u'=';
        const bool total = first == u'+';
        TRepFont font = Expr->Font();
        font.Name = heading || total ? QStringLiteral("Arial") : QStringLiteral("Times New Roman");
        font.Size = heading ? 12 : total ? 10 : 11;
        font.Bold = heading || total;
        font.Color = heading ? 0x00800000 : 0;
        Strings->SetHeight(heading || total ? 24 : 19);
        Expr->SetLeft(heading || total ? 24 : 52);
        Expr->SetAlignment(total ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
        Expr->SetFont(font);
        Shape->SetEnabled(heading);
    }

    TRepCustomBand::BeforePrintEvent ExtraBeforePrint;
    TRepStringsBand *Strings = nullptr;
    TRepExpr *Expr = nullptr;
    TRepShape *Shape = nullptr;
    TRepBand *Header = nullptr;
    TRepBand *Footer = nullptr;
};

// Where one band print ended: page, column and cursor after it.
struct Placed
{
    QString band;
    int page, column, cursorX, cursorY;
    bool printed;
};

// Runs report into a page store, recording every band print.
struct ReportRun
{
    explicit ReportRun(TRepCustomReport &r) : report(r), canvas(r)
    {
        for (TRepCustomBand *band : r.BandList())
            band->AfterPrint = [this](TRepCustomBand *b, bool printed) {
                placed.push_back({b->Name(), report.PagesStarted(), report.ColumnIndex(), report.CursorX(),
                                  report.CursorY(), printed});
            };
    }
    void Go()
    {
        printer = std::make_unique<TRepPrinter>();
        report.GenerateReport(*printer);
    }

    std::vector<Placed> Of(const QString &name) const
    {
        std::vector<Placed> out;
        for (const Placed &p : placed)
            if (p.band == name)
                out.push_back(p);
        return out;
    }

    TRepCustomReport &report;
    RecordingCanvas canvas;
    std::vector<Placed> placed;
    std::unique_ptr<TRepPrinter> printer;
};


QStringList TextLines(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines;
}

TEST(RepEngine, AListFlowsDownTwoColumnsAndOverPages)
{
    ListReport report;
    QStringList items{QStringLiteral("=Heading")};
    items += TextLines(120);
    items << QStringLiteral("+1");
    report.Strings->SetItems(items);
    ReportRun run(report);
    double footerReserve = -1;
    report.ExtraBeforePrint = [&](TRepCustomBand *, bool &) { footerReserve = report.FooterReserve(); };
    run.Go();

    EXPECT_NEAR(footerReserve, 105.833, 0.001);
    const auto lines = run.Of(QStringLiteral("Entries"));
    ASSERT_EQ(lines.size(), size_t(items.size()));

    // Page 1 starts with its header at the top margin; the first line is
    // printed at the column top, 256.
    const auto headers = run.Of(QStringLiteral("PageHeader"));
    ASSERT_GE(headers.size(), 2u);
    EXPECT_EQ(headers[0].page, 1);
    EXPECT_EQ(headers[0].cursorY, 100 + 156);
    EXPECT_EQ(lines[0].page, 1);
    EXPECT_EQ(lines[0].cursorX, 100);
    EXPECT_EQ(lines[0].cursorY, 256 + 64); // heading look: 63.5 rounds to 64
    EXPECT_EQ(lines[1].cursorY, 256 + 64 + 50); // text look: 50.27 rounds to 50

    // Column 1 holds 1 heading and 48 text lines (256 + 64 + 48 × 50 =
    // 2720); the next line needs 50 with 2810 − 2720 = 90 − 105.8 left.
    int firstInColumn2 = -1;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].column == 2) {
            firstInColumn2 = int(i);
            break;
        }
    ASSERT_GT(firstInColumn2, 0);
    EXPECT_EQ(lines[firstInColumn2 - 1].cursorY, 256 + 64 + 47 * 50);
    EXPECT_EQ(lines[firstInColumn2].page, 1);
    EXPECT_EQ(lines[firstInColumn2].cursorX, 1050);
    EXPECT_EQ(lines[firstInColumn2].cursorY, 256 + 50);

    // Every page has its footer at 2704 (the last one too) and page 2 its
    // header at the top margin.
    const auto footers = run.Of(QStringLiteral("PageFooter"));
    ASSERT_EQ(footers.size(), size_t(report.PagesStarted()));
    for (const Placed &f : footers) {
        EXPECT_EQ(f.cursorX, 100);
        EXPECT_EQ(f.cursorY, 2704 + 106);
    }
    EXPECT_EQ(headers[1].page, 2);
    EXPECT_EQ(headers[1].cursorY, 256);
    EXPECT_EQ(run.printer->PageCount(), 2);
    EXPECT_EQ(run.printer->Status(), TRepPrinter::StatusFinished);
}

TEST(RepEngine, ALineFitsExactlyAndNotOneTenthOfAMillimetreLower)
{
    // A first line of 2384 Native puts the cursor at 2640, where a 63.5 line
    // still fits (space 64); 2385 puts it at 2641, where it does not.
    for (const int first : {2384, 2385}) {
        ListReport report;
        report.Strings->SetItems({QStringLiteral("first"), QStringLiteral("=second")});
        report.ExtraBeforePrint = [&](TRepCustomBand *band, bool &) {
            if (report.Strings->StringsController().CurrentIndex() == 0)
                band->Size().SetHeight(first);
        };
        ReportRun run(report);
        run.Go();
        const auto lines = run.Of(QStringLiteral("Entries"));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].cursorY, 256 + first);
        if (first == 2384) {
            EXPECT_EQ(lines[1].column, 1);
            EXPECT_EQ(lines[1].cursorY, 2640 + 64);
        } else {
            EXPECT_EQ(lines[1].column, 2);
            EXPECT_EQ(lines[1].cursorY, 256 + 64);
        }
    }
}

struct FitCase
{
    const char *name;
    double height; // Native height of the only line
    int column;    // column it prints in
    int cursorY;   // cursor after it
};

class BandFits : public ::testing::TestWithParam<FitCase> {};

TEST_P(BandFits, AtTheColumnTop)
{
    // At the column top 256 the space left is nearest(2448.167) = 2448.
    const FitCase c = GetParam();
    ListReport report;
    report.Strings->SetItems({QStringLiteral("=first"), QStringLiteral("second")});
    report.ExtraBeforePrint = [&](TRepCustomBand *band, bool &) {
        if (report.Strings->StringsController().CurrentIndex() == 1)
            band->Size().SetHeight(c.height);
    };
    ReportRun run(report);
    run.Go();
    const auto lines = run.Of(QStringLiteral("Entries"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].column, c.column);
    EXPECT_EQ(lines[1].page, 1);
    EXPECT_EQ(lines[1].cursorY, c.cursorY);
}

INSTANTIATE_TEST_SUITE_P(
    Heights, BandFits,
    ::testing::Values(FitCase{"exact", 2448 - 64, 1, 256 + 64 + 2384},
                      FitCase{"over", 2449 - 64, 2, 256 + 2385},
                      // Taller than the page inside its margins: printed where
                      // it is, running off the page.
                      FitCase{"tooTall", 2800, 1, 256 + 64 + 2800},
                      FitCase{"zero", 0, 1, 256 + 64}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RepEngine, NoLinesNoPage)
{
    ListReport report;
    report.Strings->SetItems({});
    ReportRun run(report);
    run.Go();
    EXPECT_EQ(report.PagesStarted(), 0);
    EXPECT_EQ(run.printer->PageCount(), 0);
    EXPECT_EQ(run.printer->Status(), TRepPrinter::StatusFinished);
    EXPECT_TRUE(run.canvas.Calls.empty());
}

TEST(RepEngine, PrintIfEmptyOffEmitsNothing)
{
    ListReport report;
    report.SetPrintIfEmpty(false);
    ReportRun run(report);
    run.Go();
    EXPECT_EQ(report.PagesStarted(), 0);
    EXPECT_TRUE(run.placed.empty());
}

TEST(RepEngine, AVetoedFirstBandStartsNoPage)
{
    ListReport report;
    report.Strings->SetItems({QStringLiteral("vetoed"), QStringLiteral("printed")});
    int pagesAtVeto = -1;
    report.ExtraBeforePrint = [&](TRepCustomBand *, bool &print) {
        if (report.Strings->StringsController().CurrentIndex() == 0) {
            print = false;
            pagesAtVeto = report.PagesStarted();
        }
    };
    ReportRun run(report);
    run.Go();
    const auto lines = run.Of(QStringLiteral("Entries"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(lines[0].printed);
    EXPECT_EQ(lines[0].page, 0);
    EXPECT_EQ(pagesAtVeto, 0);
    EXPECT_TRUE(lines[1].printed);
    EXPECT_EQ(lines[1].page, 1);
    EXPECT_EQ(lines[1].cursorY, 256 + 50);
}

TEST(RepEngine, ForcedColumnAndPageBreaks)
{
    ListReport report;
    auto *detail = new TRepBand(&report, TRepBandType::rbDetail);
    detail->SetName(QStringLiteral("Detail"));
    detail->Size().SetUnits(TRepUnit::Native);
    detail->Size().SetHeight(100);
    report.Strings->SetItems(TextLines(3));
    // Detail prints once before the strings band: the first forced column
    // break in column 1 is swallowed.
    detail->ForceNewColumn = true;
    {
        ReportRun run(report);
        run.Go();
        const auto d = run.Of(QStringLiteral("Detail"));
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].column, 1);
        EXPECT_EQ(d[0].cursorY, 256 + 100);
    }
    // A second run starts disarmed again; a forced page break needs a page.
    detail->ForceNewColumn = false;
    detail->ForceNewPage = true;
    {
        ReportRun run(report);
        run.Go();
        const auto d = run.Of(QStringLiteral("Detail"));
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].page, 1);
        EXPECT_EQ(d[0].column, 1);
    }
    // With the strings band printed before it, the forced break takes the
    // detail to page 2.
    report.Strings->SetPrintBefore(true);
    {
        ReportRun run(report);
        run.Go();
        const auto d = run.Of(QStringLiteral("Detail"));
        ASSERT_EQ(d.size(), 1u);
        EXPECT_EQ(d[0].page, 2);
        EXPECT_EQ(d[0].column, 1);
        EXPECT_EQ(d[0].cursorY, 256 + 100);
    }
}

// An entry wider than its field goes on in lines below, the band growing
// under it; the next entry starts below the whole of it. Without stretching
// the field shows what fits in its box and the band keeps its height.
TEST(RepEngine, ALongEntryStretchesItsBand)
{
    QStringList words;
    for (int i = 0; i < 40; ++i)
        words << QStringLiteral("word%1").arg(i);
    for (const bool stretch : {true, false}) {
        SCOPED_TRACE(stretch);
        ListReport report;
        report.Expr->AutoStretch = stretch;
        report.Strings->SetItems({words.join(u' '), QStringLiteral("next")});
        ReportRun run(report);
        run.Go();
        const auto lines = run.Of(QStringLiteral("Entries"));
        ASSERT_EQ(lines.size(), 2u);
        std::vector<DrawCall> texts;
        for (const DrawCall &c : run.canvas.Of(DrawCall::Text))
            if (c.text.startsWith(QStringLiteral("word")))
                texts.push_back(c);
        EXPECT_EQ(lines[1].cursorY - lines[0].cursorY, 50);
        if (!stretch) {
            EXPECT_EQ(texts.size(), 1u);
            EXPECT_EQ(lines[0].cursorY, 256 + 50);
            continue;
        }
        ASSERT_GE(texts.size(), 3u);
        for (size_t i = 1; i < texts.size(); ++i)
            EXPECT_GT(texts[i].y, texts[i - 1].y);
        QStringList printed;
        for (const DrawCall &c : texts)
            printed += c.text.split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(printed, words);
        // Grown by a line height for every line beyond the first.
        const double line = (texts[1].y - texts[0].y) * 254.0 / 96;
        EXPECT_NEAR(lines[0].cursorY, 256 + 50 + (texts.size() - 1) * line, 2 * texts.size());
    }
}

// The band's value keeps the evaluator's rule (a result holds 255
// characters), but the field that prints the band's name prints the item
// whole: a long line never loses its end.
TEST(RepEngine, AnItemPrintsWholeThoughItsValueHolds255Characters)
{
    ListReport report;
    report.Strings->SetItems({QString(300, QLatin1Char('x'))});
    report.Expr->SetAutoSize(true); // one line, however wide
    int length = -1;
    report.ExtraBeforePrint = [&](TRepCustomBand *, bool &) { length = report.Expr->CurrentValue().TextLength(); };
    ReportRun run(report);
    run.Go();
    EXPECT_EQ(length, 255);
    QString printed;
    for (const DrawCall &c : run.canvas.Of(DrawCall::Text))
        if (c.text.startsWith(QLatin1Char('x')))
            printed += c.text;
    EXPECT_EQ(printed.size(), 300);
}

TEST(RepEngine, ThePageHeaderSeesThePreviousColumnNumber)
{
    ListReport report;
    auto *column = new TRepExpr(report.Header);
    column->SetName(QStringLiteral("ColumnNo"));
    column->SetExpression(QStringLiteral("COLUMNNUMBER"));
    column->SetAlignToBand(false);
    auto *pageNo = new TRepExpr(report.Header);
    pageNo->SetName(QStringLiteral("PageNo"));
    pageNo->SetExpression(QStringLiteral("'page ' + STR(PAGENUMBER)"));
    pageNo->SetLeft(200);
    report.Strings->SetItems(TextLines(200));
    ReportRun run(report);
    run.Go();
    ASSERT_EQ(report.PagesStarted(), 3);
    std::vector<QString> columnTexts;
    for (const DrawCall &c : run.canvas.Of(DrawCall::Text))
        if (c.text.size() == 1 && c.text[0].isDigit())
            columnTexts.push_back(c.text);
    EXPECT_EQ(columnTexts, (std::vector<QString>{"0", "2", "2"}));
    EXPECT_EQ(run.canvas.Texts(QStringLiteral("page 2")).size(), 1u);
    EXPECT_EQ(run.canvas.Texts(QStringLiteral("page 2"))[0].page, 2);
}

TEST(RepEngine, TheShapeOfAHeadingIsTwoLinesAcrossTheNextColumn)
{
    ListReport report;
    report.Strings->SetItems({QStringLiteral("=Heading"), QStringLiteral("text")});
    ReportRun run(report);
    run.Go();
    // Header shape and heading shape: four move-to/line-to pairs, no fill
    // with the grey brush and no rectangle.
    const auto lines = run.canvas.Of(DrawCall::Line);
    ASSERT_EQ(lines.size(), 4u);
    const auto moves = run.canvas.Of(DrawCall::Move);
    // The heading's shape: 5.29 mm into the column, 174.89 mm long, at the
    // line's top and 6.09 mm below it.
    const int x1 = Nearest((100 + 52.916666) * 96 / 254.0);
    const int x2 = Nearest((100 + 52.916666 + 1748.8958) * 96 / 254.0);
    const int y1 = Nearest(256 * 96 / 254.0);
    const int y2 = Nearest((256 + 60.854166) * 96 / 254.0);
    EXPECT_EQ(moves[2].x, x1);
    EXPECT_EQ(moves[2].y, y1);
    EXPECT_EQ(lines[2].x, x2);
    EXPECT_EQ(lines[2].y, y1);
    EXPECT_EQ(moves[3].y, y2);
    EXPECT_EQ(lines[3].x, x2);
    EXPECT_GT(x2, Nearest(1050 * 96 / 254.0)); // reaches into column 2
    for (const DrawCall &c : run.canvas.Of(DrawCall::Fill))
        EXPECT_NE(c.color, QColor(0xF0, 0xF0, 0xF0));
    EXPECT_TRUE(run.canvas.Of(DrawCall::Rect).empty());
}

TEST(RepEngine, PagesInTheStoreShowTheText)
{
    ListReport report;
    QStringList items;
    for (int i = 0; i < 60; ++i)
        items << QStringLiteral("WWWWWWWW WWWWWWWW");
    report.Strings->SetItems(items);
    ReportRun run(report);
    run.Go();
    ASSERT_EQ(run.printer->PageCount(), 1);
    const std::optional<Metafile> page = run.printer->FetchPage(1);
    ASSERT_TRUE(page);
    QImage image(page->Width(), page->Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PlayMetafile(painter, *page, QRectF(0, 0, image.width(), image.height()));
    }
    auto darkIn = [&image](const QRect &area) {
        int dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        return dark;
    };
    // Column 1 and column 2 carry text; the right margin stays empty.
    EXPECT_GT(darkIn(QRect(40, 150, 300, 800)), 1000);
    EXPECT_GT(darkIn(QRect(420, 150, 300, 800)), 1000);
    EXPECT_EQ(darkIn(QRect(image.width() - 30, 150, 25, 800)), 0);
}

TEST(RepEngine, AnErrorInARunLeavesTheReportWhole)
{
    ListReport report;
    report.Strings->SetItems(TextLines(80));
    report.SetUnits(TRepUnit::Inches);
    report.ExtraBeforePrint = [&](TRepCustomBand *, bool &) {
        if (report.Strings->StringsController().CurrentIndex() == 60)
            throw AppError(QStringLiteral("handler failed"));
    };
    {
        ReportRun run(report);
        EXPECT_THROW(run.Go(), AppError);
        EXPECT_TRUE(report.Idle());
        EXPECT_EQ(report.Units(), TRepUnit::Inches);
        EXPECT_EQ(report.Strings->Size().Units(), TRepUnit::Inches);
        EXPECT_FALSE(report.Expr->Printing());
        EXPECT_EQ(report.Expr->CurrentValue().Kind(), KindError);
        EXPECT_EQ(run.printer->Status(), TRepPrinter::StatusFinished);
        EXPECT_EQ(report.Functions().CompileCount(), 0);
    }
    report.ExtraBeforePrint = nullptr;
    ReportRun again(report);
    again.Go();
    EXPECT_EQ(again.Of(QStringLiteral("Entries")).size(), 80u);
}

TEST(RepEngine, CancelStopsTheStringsBandAndAbandonsTheDocument)
{
    for (const bool fromPrinter : {false, true}) {
        ListReport report;
        report.Strings->SetItems(TextLines(300));
        report.ExtraBeforePrint = [&](TRepCustomBand *, bool &) {
            if (report.Strings->StringsController().CurrentIndex() == 10) {
                if (fromPrinter)
                    report.Printer()->RequestCancel(); // the progress window's button
                else
                    report.CancelRun();
            }
        };
        ReportRun run(report);
        run.Go();
        EXPECT_EQ(run.Of(QStringLiteral("Entries")).size(), 11u) << fromPrinter;
        EXPECT_TRUE(report.Cancelled());
        // The last page was not finished: no footer.
        EXPECT_TRUE(run.Of(QStringLiteral("PageFooter")).empty());
        EXPECT_EQ(run.printer->Status(), TRepPrinter::StatusFinished);
    }
}

TEST(RepEngine, ARightAlignedPageNumberKeepsItsRightEdge)
{
    ListReport report;
    report.Strings->SetItems(TextLines(1000));
    ReportRun run(report);
    run.Go();
    ASSERT_GE(report.PagesStarted(), 10);
    const auto nine = run.canvas.Texts(QStringLiteral("Page 9"));
    const auto ten = run.canvas.Texts(QStringLiteral("Page 10"));
    ASSERT_EQ(nine.size(), 1u);
    ASSERT_EQ(ten.size(), 1u);
    EXPECT_EQ(nine[0].align, CanvasTextAlign::Right);
    EXPECT_EQ(ten[0].x, nine[0].x);
    // The right edge is the band's: 100 + 1899.7 Native.
    EXPECT_NEAR(ten[0].x, (100 + 1899.708) * 96 / 254.0, 1.0);
}

// ---- entry points ----

// A preview window stand-in: becomes the printer's client, counts the
// announced pages and closes itself when the document is finished.
class TestPreview : public QObject, public TRepPrinterClient
{
public:
    explicit TestPreview(TRepPrinter &printer) : FPrinter(&printer)
    {
        printer.SetClient(this);
        printer.SetShowingPreview(true);
    }
    void DetachPrinter(TRepPrinter *) override { FPrinter = nullptr; }
    static inline std::vector<int> Announced;
    static inline int PagesSeenDuringRun = 0;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != RepPageAvailableNotice())
            return QObject::event(e);
        Announced.push_back(static_cast<TRepNotice *>(e)->Value());
        if (FPrinter && FPrinter->Status() == TRepPrinter::StatusBusy)
            ++PagesSeenDuringRun;
        if (FPrinter && FPrinter->Status() == TRepPrinter::StatusFinished)
            QTimer::singleShot(0, this, [this] {
                if (FPrinter)
                    FPrinter->NotifyPreviewClosed();
            });
        return true;
    }

private:
    TRepPrinter *FPrinter;
};

class TestPreviewInterface : public TRepPreviewInterface
{
public:
    QWidget *ShowPreview(TRepPrinter &printer) override
    {
        Previews.push_back(std::make_unique<TestPreview>(printer));
        return nullptr;
    }
    static inline std::vector<std::unique_ptr<TestPreview>> Previews;
};

TEST(RepEntryPoints, ModalPreviewShowsPagesAsTheyArriveAndReturnsWhenClosed)
{
    SetPreviewInterfaceClass([] { return std::make_unique<TestPreviewInterface>(); });
    TestPreview::Announced.clear();
    TestPreview::PagesSeenDuringRun = 0;
    ListReport report;
    bool afterPreview = false;
    report.AfterPreview = [&](TRepCustomReport *) { afterPreview = true; };
    report.Strings->SetItems(TextLines(400));
    report.RunModalPreview();
    SetPreviewInterfaceClass(nullptr);
    TestPreviewInterface::Previews.clear();

    EXPECT_EQ(report.Printer(), nullptr); // freed by the preview-closed notice
    EXPECT_TRUE(afterPreview);
    EXPECT_TRUE(report.Idle());
    ASSERT_FALSE(TestPreview::Announced.empty());
    // Pages reached the preview while the run was still going on.
    EXPECT_GE(TestPreview::PagesSeenDuringRun, 3);
    EXPECT_EQ(TestPreview::Announced.back(), 5);
}

TEST(RepEntryPoints, DirectPrintWithoutAPrinterDoesNothing)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    ListReport report;
    report.Strings->SetItems(TextLines(10));
    int pages = 0;
    report.OnStartPage = [&](TRepCustomReport *) { ++pages; };
    report.RunDirectPrint();
    EXPECT_EQ(pages, 0);
    EXPECT_EQ(report.Printer(), nullptr);
    EXPECT_TRUE(report.Idle());
}

TEST(RepEntryPoints, PrintSetupChoiceReachesTheSettings)
{
    ListReport report;
    TRepPrintDialog dialog;
    dialog.Copies = 3;
    dialog.PrintRange = TPrintRange::prPageNums;
    dialog.FromPage = 2;
    dialog.ToPage = 4;
    report.Page().SetUnits(TRepUnit::MM);
    report.ApplyPrintSetup(dialog, QStringLiteral("no such printer"), poLandscape);
    EXPECT_EQ(report.PrinterSettings.Copies, 3);
    EXPECT_EQ(report.PrinterSettings.FirstPage, 2);
    EXPECT_EQ(report.PrinterSettings.LastPage, 4);
    EXPECT_EQ(report.PrinterSettings.PrinterIndex, -1);
    EXPECT_EQ(report.Page().Orientation(), poLandscape);
    EXPECT_DOUBLE_EQ(report.Page().Width(), 297);
    EXPECT_EQ(report.Tag, 0);

    dialog.PrintRange = TPrintRange::prAllPages;
    report.ApplyPrintSetup(dialog, QString(), poPortrait);
    EXPECT_EQ(report.PrinterSettings.FirstPage, 0);
    EXPECT_EQ(report.PrinterSettings.LastPage, 0);

    EXPECT_TRUE(TRepPrintDialog::DialogOptions(poPageNums | poWarning) & QAbstractPrintDialog::PrintPageRange);
    EXPECT_FALSE(TRepPrintDialog::DialogOptions(poPageNums | poWarning) & QAbstractPrintDialog::PrintToFile);
    EXPECT_FALSE(TRepPrintDialog::DialogOptions(poPrintToFile | poDisablePrintToFile) & QAbstractPrintDialog::PrintToFile);
}

} // namespace
