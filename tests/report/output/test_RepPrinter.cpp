// The report printer: life cycle, coordinates, notices, stored pages,
// saving and loading, and printing through QPrinter into PDF files that are
// read back with pdftotext.
#include "report/PageFixtures.h"
#include "support/QtPrinters.h"
#include "platform/Canvas.h"
#include "report/output/RepError.h"
#include "report/output/RepExportFilters.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPrinter.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Records the notices it receives, and whether they came synchronously.
class NoticeSink : public QObject
{
public:
    struct Got
    {
        QEvent::Type type;
        int value;
        TRepPrinter *printer;
    };
    std::vector<Got> events;
    std::function<void(const TRepNotice &)> onEvent;

    bool event(QEvent *e) override
    {
        if (e->type() >= QEvent::User) {
            auto *n = static_cast<TRepNotice *>(e);
            events.push_back({n->type(), n->Value(), n->Printer()});
            if (onEvent)
                onEvent(*n);
            return true;
        }
        return QObject::event(e);
    }
    int Count(QEvent::Type type) const
    {
        return int(std::count_if(events.begin(), events.end(), [type](const Got &g) { return g.type == type; }));
    }
};

// A document of pages numbered 1..pages drawn through the printer's canvas.
void Generate(TRepPrinter &printer, int pages)
{
    printer.OpenDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.AdvancePage();
        ASSERT_NE(printer.PageCanvas(), nullptr);
        DrawNumberedPage(*printer.PageCanvas(), n);
    }
    printer.CloseDocument();
}

// A document drawn in report coordinates: page n shows "Seite n" at 20 mm.
void GenerateText(TRepPrinter &printer, int pages)
{
    printer.OpenDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.AdvancePage();
        Canvas &c = *printer.PageCanvas();
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(14);
        c.SetFont(font, Qt::black);
        c.TextOut(printer.ToDeviceX(200), printer.ToDeviceY(200), QStringLiteral("Seite %1").arg(n));
    }
    printer.CloseDocument();
}

struct PdfText
{
    int pages = 0;
    QString text;
};

PdfText ReadPdf(const QString &name)
{
    PdfText out;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {name});
    info.waitForFinished(30000);
    for (const QByteArray &line : info.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            out.pages = line.mid(6).trimmed().toInt();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {name, QStringLiteral("-")});
    text.waitForFinished(30000);
    out.text = QString::fromUtf8(text.readAllStandardOutput());
    return out;
}

} // namespace

TEST(RepPrinterTest, StatusFollowsTheDocumentAndMisuseChangesNothing)
{
    TRepPrinter printer;
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusReady);
    EXPECT_EQ(printer.Destination(), TRepPrinter::DestPageStore);
    EXPECT_EQ(printer.PageCanvas(), nullptr);
    try {
        printer.AdvancePage();
        FAIL();
    } catch (const ERepError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Illegal call to NewPage"));
    }
    EXPECT_EQ(printer.PageCount(), 0);
    printer.OpenDocument();
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusBusy);
    printer.AdvancePage();
    try {
        printer.OpenDocument();
        FAIL();
    } catch (const ERepError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Report printer not ready"));
    }
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusBusy);
    EXPECT_EQ(printer.PageCount(), 1);
    EXPECT_NE(printer.PageCanvas(), nullptr);
    printer.CloseDocument();
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusFinished);
    EXPECT_THROW(printer.AdvancePage(), ERepError);
    printer.ResetStore();
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusReady);
    EXPECT_FALSE(printer.FetchPage(1));
}

TEST(RepPrinterTest, CoordinatesConvertAtTheScreenDensityForThePageStore)
{
    TRepPrinter printer;
    printer.OpenDocument();
    EXPECT_DOUBLE_EQ(printer.XScale(), 96 / 254.0);
    EXPECT_EQ(printer.ToDeviceX(2100), 794);  // 793.70...
    EXPECT_EQ(printer.ToDeviceY(2970), 1123); // 1122.52...
    EXPECT_EQ(printer.ToDeviceWidth(-100), -38);
    EXPECT_EQ(printer.ToDeviceHeight(0), 0);
    printer.AdvancePage();
    printer.CloseDocument();
    // An A4 portrait page of 794 x 1123 pixels.
    const auto page = printer.FetchPage(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Width(), printer.ToDeviceWidth(printer.OrientedPaperWidth()));
    EXPECT_EQ(page->Height(), printer.ToDeviceHeight(printer.OrientedPaperLength()));
}

TEST(RepPrinterTest, PagesAreStoredFetchedAndAnnounced)
{
    NoticeSink client;
    TRepPrinter printer;
    printer.SetClient(&client);
    printer.OpenDocument();
    for (int n = 1; n <= 3; ++n) {
        printer.AdvancePage();
        DrawNumberedPage(*printer.PageCanvas(), n);
        printer.ReportProgress(n * 30);
        if (n >= 2) {
            EXPECT_EQ(PageNumberOf(*printer.FetchPage(n - 1)), n - 1) << "finished pages read while busy";
            EXPECT_FALSE(printer.FetchPage(n)) << "the open page is not stored yet";
        }
    }
    EXPECT_TRUE(client.events.empty()) << "notices are posted, not sent";
    printer.CloseDocument(); // lets posted events run
    QCoreApplication::processEvents();
    EXPECT_EQ(printer.AvailablePages(), 3);
    EXPECT_EQ(printer.Progress(), 90);
    std::vector<int> available, progress;
    for (const auto &e : client.events)
        (e.type == RepPageAvailableNotice() ? available : progress).push_back(e.value);
    EXPECT_EQ(available, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(progress, (std::vector<int>{30, 60, 90}));
    for (int n : {3, 1, 2})
        EXPECT_EQ(PageNumberOf(*printer.FetchPage(n)), n);
    EXPECT_FALSE(printer.FetchPage(0));
    EXPECT_FALSE(printer.FetchPage(4));
}

TEST(RepPrinterTest, ADocumentWithoutPagesStillAnnouncesOne)
{
    TRepPrinter printer;
    printer.OpenDocument();
    printer.CloseDocument();
    EXPECT_EQ(printer.PageCount(), 0);
    EXPECT_EQ(printer.AvailablePages(), 1);
    EXPECT_FALSE(printer.FetchPage(1));
}

TEST(RepPrinterTest, MasterGetsThePrintRequestPostedAndThePreviewClosedSent)
{
    NoticeSink master;
    auto printer = std::make_unique<TRepPrinter>();
    printer->SetMaster(&master);
    Generate(*printer, 1);
    printer->PrintStoredPages();
    EXPECT_EQ(master.Count(RepPrintRequest()), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(master.Count(RepPrintRequest()), 1);

    // The report frees the printer while it handles the notice.
    TRepPrinter *raw = printer.get();
    master.onEvent = [&](const TRepNotice &n) {
        if (n.type() == RepPreviewClosedNotice() && n.Printer() == printer.get())
            printer.reset();
    };
    raw->NotifyPreviewClosed();
    EXPECT_EQ(master.Count(RepPreviewClosedNotice()), 1);
    EXPECT_EQ(master.events.back().printer, raw);
    EXPECT_FALSE(printer);
}

TEST(RepPrinterTest, ClosingThePreviewCancelsAndCallsTheHandler)
{
    TRepPrinter printer;
    int calls = 0;
    printer.AfterPreviewHandler = [&] { ++calls; };
    printer.SetShowingPreview(true);
    printer.OpenDocument();
    printer.SetShowingPreview(false);
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_EQ(calls, 1);
    printer.SetShowingPreview(false);
    EXPECT_EQ(calls, 1) << "only a change from true to false counts";
    printer.AfterPreviewHandler = [] { throw ERepError(QStringLiteral("boom")); };
    printer.SetShowingPreview(true);
    EXPECT_THROW(printer.SetShowingPreview(false), ERepError);
    EXPECT_FALSE(printer.ShowingPreview()) << "stored even when the handler raises";
}

namespace {
class FakePreview : public QObject, public TRepPrinterClient
{
public:
    TRepPrinter *printer = nullptr;
    void DetachPrinter(TRepPrinter *p) override
    {
        if (printer == p)
            printer = nullptr;
    }
};

class WindowPreview : public TRepPreviewInterface
{
public:
    static inline QWidget *window = nullptr;
    QWidget *ShowPreview(TRepPrinter &printer) override
    {
        window = new QWidget;
        window->setWindowTitle(printer.Title());
        return window;
    }
};
} // namespace

TEST(RepPrinterTest, PreviewIsShownThroughTheHandlerOrTheRegisteredClass)
{
    TRepPrinter printer;
    printer.SetTitle(QStringLiteral("Viccek"));
    printer.ShowPreview();
    EXPECT_EQ(printer.Preview(), nullptr) << "the base interface shows nothing";
    SetPreviewInterfaceClass([] { return std::make_unique<WindowPreview>(); });
    printer.ShowPreview();
    ASSERT_EQ(printer.Preview(), WindowPreview::window);
    EXPECT_EQ(printer.Preview()->windowTitle(), QStringLiteral("Viccek"));
    delete WindowPreview::window;
    EXPECT_EQ(printer.Preview(), nullptr) << "a closed window is not referenced";
    SetPreviewInterfaceClass(nullptr);
    TRepPrinter *handled = nullptr;
    printer.PreviewHandler = [&](TRepPrinter &p) { handled = &p; };
    printer.ShowPreview();
    EXPECT_EQ(handled, &printer);

    FakePreview control;
    {
        TRepPrinter shown;
        control.printer = &shown;
        shown.SetClient(&control);
        Generate(shown, 1);
    }
    EXPECT_EQ(control.printer, nullptr) << "a printer that goes detaches its preview control";
}

TEST(RepPrinterTest, SavingNeedsAFinishedDocumentAndLoadingReplacesOnlyWhenSound)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("lista.zrp"));
    TRepPrinter printer;
    printer.SetCompression(true);
    printer.OpenDocument();
    printer.AdvancePage();
    printer.SaveReportFile(saved);
    EXPECT_FALSE(QFile::exists(saved)) << "nothing saved while busy";
    printer.CloseDocument();
    printer.SaveReportFile(saved);
    ASSERT_TRUE(QFile::exists(saved));

    TRepPrinter other;
    Generate(other, 4);
    const QString junk = dir.filePath(QStringLiteral("junk.zrp"));
    ASSERT_TRUE(WriteFileBytes(junk, QByteArray(300, 'x')));
    EXPECT_THROW(other.LoadReportFile(junk), ERepError);
    EXPECT_THROW(other.LoadReportFile(dir.filePath(QStringLiteral("missing.zrp"))), ERepError);
    EXPECT_EQ(other.PageCount(), 4) << "a failed load keeps the pages on show";
    EXPECT_EQ(PageNumberOf(*other.FetchPage(4)), 4);

    other.PrintSetupHandler = [](QObject *) {};
    other.LoadReportFile(saved);
    EXPECT_EQ(other.Status(), TRepPrinter::StatusFinished);
    EXPECT_TRUE(other.ReportLoaded());
    EXPECT_EQ(other.PageCount(), 1);
    EXPECT_TRUE(other.Compression());
    EXPECT_FALSE(other.PrintSetupHandler);
    EXPECT_TRUE(other.FetchPage(1));
    // A loaded report saved under its own name.
    const QByteArray before = FileBytes(saved);
    other.SaveReportFile(saved);
    EXPECT_EQ(FileBytes(saved), before);
    EXPECT_TRUE(other.FetchPage(1));
}

TEST(RepPrinterTest, LoadingDerivesPaperAndOrientationFromPageOne)
{
    QTemporaryDir dir;
    struct Case
    {
        TRepPaperSize made;
        TPrinterOrientation orientation;
        TRepPaperSize expected;
        TPrinterOrientation expectedOrientation;
    } cases[] = {
        {TRepPaperSize::Letter, poPortrait, TRepPaperSize::Note, poPortrait},
        {TRepPaperSize::Letter, poLandscape, TRepPaperSize::Note, poLandscape},
        {TRepPaperSize::A4, poPortrait, TRepPaperSize::A4Small, poPortrait},
        {TRepPaperSize::A4, poLandscape, TRepPaperSize::A4Small, poLandscape},
        {TRepPaperSize::Legal, poPortrait, TRepPaperSize::Legal, poPortrait},
        // 148 mm come back as 559 pixels, 147.9 mm, 36 whole 4-mm units
        // where the table has 37: no row matches and nothing changes.
        {TRepPaperSize::A5, poLandscape, TRepPaperSize::B5, poPortrait},
    };
    for (const auto &c : cases) {
        const QString name = dir.filePath(QStringLiteral("p.zrp"));
        {
            TRepPrinter maker;
            // A file device accepts every paper, so the sizes are taken.
            maker.SetOutputFileName(dir.filePath(QStringLiteral("unused.pdf")));
            maker.SetPaperSize(c.made);
            maker.SetOrientation(c.orientation);
            Generate(maker, 2);
            maker.SaveReportFile(name);
        }
        TRepPrinter loader;
        loader.SetOutputFileName(dir.filePath(QStringLiteral("unused.pdf")));
        loader.SetPaperSize(TRepPaperSize::B5);
        loader.LoadReportFile(name);
        EXPECT_EQ(loader.PaperSize(), c.expected) << PaperRow(c.made).Name;
        EXPECT_EQ(loader.Orientation(), c.expectedOrientation) << PaperRow(c.made).Name;
    }
}

TEST(RepPrinterTest, WithoutAPrinterPagesTakeTheirPaperAndStillWork)
{
    TRepPrinter printer;
    if (printer.PrinterOK())
        GTEST_SKIP() << "a printer is installed here";
    // No device can refuse a paper or an orientation; copies stay one.
    printer.SetOrientation(poLandscape);
    printer.SetPaperSize(TRepPaperSize::Letter);
    printer.SetCopies(3);
    EXPECT_EQ(printer.Orientation(), poLandscape);
    EXPECT_EQ(printer.PaperSize(), TRepPaperSize::Letter);
    EXPECT_EQ(printer.Copies(), 1);
    EXPECT_EQ(printer.OrientedPaperWidth(), 2794);
    EXPECT_EQ(printer.OrientedPaperLength(), 2159);
    printer.SetPaperSize(TRepPaperSize::Custom);
    printer.SetSheetWidth(1000);
    printer.SetSheetLength(1500);
    EXPECT_EQ(printer.OrientedPaperWidth(), 1500);
    printer.SetOrientation(poPortrait);
    printer.SetPaperSize(TRepPaperSize::A4);
    Generate(printer, 2);
    EXPECT_EQ(PageNumberOf(*printer.FetchPage(2)), 2);
    printer.PrintStoredPages(); // does nothing, and does not fail
}

TEST(RepPrinterTest, StoredPagesPrintToPdfWithoutBlankSheets)
{
    QTemporaryDir dir;
    struct Case
    {
        int first, last;
        int expectedPages;
        QStringList shown, hidden;
    } cases[] = {
        {0, 0, 3, {"Seite 1", "Seite 2", "Seite 3"}, {}},
        {2, 3, 2, {"Seite 2", "Seite 3"}, {"Seite 1"}},
        {2, 9, 2, {"Seite 2", "Seite 3"}, {"Seite 1"}}, // last beyond the count
        {3, 3, 1, {"Seite 3"}, {"Seite 1", "Seite 2"}},
    };
    int i = 0;
    for (const auto &c : cases) {
        const QString pdf = dir.filePath(QStringLiteral("stored%1.pdf").arg(i++));
        TRepPrinter printer;
        GenerateText(printer, 3);
        printer.SetOutputFileName(pdf);
        printer.SetFirstPage(c.first);
        printer.SetLastPage(c.last);
        printer.PrintStoredPages();
        const PdfText read = ReadPdf(pdf);
        EXPECT_EQ(read.pages, c.expectedPages) << c.first << ".." << c.last;
        for (const QString &s : c.shown)
            EXPECT_TRUE(read.text.contains(s)) << s.toStdString() << " in " << read.text.toStdString();
        for (const QString &s : c.hidden)
            EXPECT_FALSE(read.text.contains(s)) << s.toStdString() << " in " << read.text.toStdString();
    }
}

TEST(RepPrinterTest, DirectPrintingDrawsOnlyTheRangeOnTheDevice)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("direct.pdf"));
    TRepPrinter printer;
    printer.SetOutputFileName(pdf);
    printer.SetDestination(TRepPrinter::DestPrinter);
    printer.SetFirstPage(3);
    printer.SetLastPage(4);
    printer.SetTitle(QStringLiteral("Viccek"));
    int afterPrint = 0;
    printer.AfterPrintHandler = [&] { ++afterPrint; };
    GenerateText(printer, 5);
    EXPECT_EQ(afterPrint, 1);
    const PdfText read = ReadPdf(pdf);
    EXPECT_EQ(read.pages, 2);
    EXPECT_TRUE(read.text.contains(QStringLiteral("Seite 3")));
    EXPECT_TRUE(read.text.contains(QStringLiteral("Seite 4")));
    EXPECT_FALSE(read.text.contains(QStringLiteral("Seite 5")));
    EXPECT_FALSE(read.text.contains(QStringLiteral("Seite 2")));

    // A range the document never reaches starts no job at all.
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    TRepPrinter empty;
    empty.SetOutputFileName(none);
    empty.SetDestination(TRepPrinter::DestPrinter);
    empty.SetFirstPage(7);
    GenerateText(empty, 2);
    EXPECT_FALSE(QFile::exists(none));
}

TEST(RepExportFilterLibraryTest, FilterTextsAreWrittenAsTheDialogsShowThem)
{
    TRepExportFilterLibrary library;
    EXPECT_EQ(library.SaveFilterText(), QStringLiteral("Report file(*.ZRP)|*.ZRP"));
    EXPECT_EQ(TRepExportFilterLibrary::LoadFilterText(), QStringLiteral("Report file (*.ZRP)|*.ZRP"));
    library.Register({QStringLiteral("Text"), QStringLiteral("TXT"), nullptr});
    EXPECT_EQ(library.SaveFilterText(), QStringLiteral("Report file(*.ZRP)|*.ZRP|Text (*.TXT)|*.TXT"));
    EXPECT_EQ(QtFilterList(library.SaveFilterText()),
              (QStringList{QStringLiteral("Report file(*.ZRP)"), QStringLiteral("Text (*.TXT)")}));
    EXPECT_TRUE(TRepExportFilterLibrary::Instance().Filters().empty());
}
