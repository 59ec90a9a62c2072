// The standard preview window: status panels, buttons offered while pages
// are produced and once the printer is finished, the key table, saving and
// loading through the (replaced) file dialogs, closing.
#include "report/PreviewFixtures.h"
#include "report/output/RepExportFilters.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPdfExport.h"
#include "support/PdfText.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "report/preview/RepStandardPreview.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The dialogs and message boxes of the window, answered by the test.
class FakeDialogs
{
public:
    struct Asked
    {
        QString title;
        QStringList filters;
        QString suffix;
    };
    FakeDialogs()
    {
        TRepStandardPreview::SetSaveChooser([this](QWidget *, const QString &t, const QStringList &f, const QString &s) {
            saveAsked.push_back({t, f, s});
            return saveAnswer;
        });
        TRepStandardPreview::SetLoadChooser([this](QWidget *, const QString &t, const QStringList &f, const QString &s) {
            loadAsked.push_back({t, f, s});
            return loadAnswer;
        });
        TRepStandardPreview::SetMessageSink([this](const QString &text) { messages << text; });
        TRepStandardPreview::SetRangeChooser([this](QWidget *, int count) {
            rangeAsked.push_back(count);
            return rangeAnswer ? rangeAnswer : std::optional<std::pair<int, int>>({1, count});
        });
    }
    ~FakeDialogs()
    {
        TRepStandardPreview::SetSaveChooser({});
        TRepStandardPreview::SetLoadChooser({});
        TRepStandardPreview::SetMessageSink({});
        TRepStandardPreview::SetRangeChooser({});
    }
    TRepStandardPreview::FileChoice saveAnswer;
    TRepStandardPreview::FileChoice loadAnswer;
    // The pages an export asks for: every page unless set.
    std::optional<std::pair<int, int>> rangeAnswer;
    std::vector<int> rangeAsked;
    std::vector<Asked> saveAsked;
    std::vector<Asked> loadAsked;
    QStringList messages;
};

// A window on printer, owned by the test (closing it still deletes it).
QPointer<TRepStandardPreview> OpenWindow(TRepPrinter &printer)
{
    auto *window = new TRepStandardPreview(nullptr, &printer);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

bool Enabled(const TRepStandardPreview &w, const char *name)
{
    return w.Button(QString::fromLatin1(name))->isEnabled();
}

TEST(RepStandardPreview, LayoutCaptionAndFirstState)
{
    TRepPrinter printer;
    printer.SetTitle(QStringLiteral("Viccek.vicc"));
    auto window = OpenWindow(printer);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Viccek.vicc"));
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->ProgressText(), QStringLiteral("0%"));
    EXPECT_EQ(window->StatusText(), QStringLiteral("Page 0 of 0"));

    const std::vector<std::pair<const char *, const char *>> hints{
        {"ZoomFit", "Zoom to fit"},     {"Zoom100", "100%"},          {"ZoomToWidth", "Zoom to width"},
        {"FirstPage", "First page"},    {"PreviousPage", "Previous page"}, {"ToolButton2", "Next page"},
        {"LastPage", "Last page"},      {"PrintSetup", "Printer setup"},  {"Print", "Print"},
        {"SaveReport", "Save Report"},  {"LoadReport", "Load Report"}};
    for (const auto &[name, hint] : hints) {
        QToolButton *button = window->Button(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(hint));
        EXPECT_FALSE(button->icon().isNull()) << name;
    }
    EXPECT_TRUE(window->Button(QStringLiteral("ZoomToWidth"))->isChecked());
    EXPECT_EQ(window->Button(QStringLiteral("ExitButton"))->text(), QStringLiteral("&Close"));
    // Nothing produced yet: nothing to print, save or load over.
    for (const char *name : {"PrintSetup", "Print", "SaveReport", "LoadReport"})
        EXPECT_FALSE(Enabled(*window, name)) << name;
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(printer.ShowingPreview());
}

TEST(RepStandardPreview, OnePageReportOnceFinished)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 1);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Page 1 of 1"));
    for (const char *name : {"PrintSetup", "Print", "SaveReport", "LoadReport"})
        EXPECT_TRUE(Enabled(*window, name)) << name;
    EXPECT_EQ(ShownPageNumber(*window->RepPreview()->Image()), 1);
    QTest::keyClick(window->RepPreview()->viewport(), Qt::Key_PageDown);
    EXPECT_EQ(window->RepPreview()->PageNumber(), 1);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Page 1 of 1"));
    delete window;
}

TEST(RepStandardPreview, StoredPageActionsWaitForTheFinishedPrinter)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 3, /*close=*/false);
    // Pages 1 and 2 are announced, page 3 is being drawn.
    EXPECT_EQ(window->StatusText(), QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(ShownPageNumber(*window->RepPreview()->Image()), 1);
    for (const char *name : {"PrintSetup", "Print", "SaveReport", "LoadReport"})
        EXPECT_FALSE(Enabled(*window, name)) << name;
    // Even when asked directly nothing is saved from a busy printer.
    FakeDialogs dialogs;
    QTemporaryDir dir;
    dialogs.saveAnswer = {dir.filePath(QStringLiteral("early.ZRP")), 1};
    window->SaveClick();
    EXPECT_TRUE(dialogs.saveAsked.empty());
    EXPECT_FALSE(QFileInfo::exists(dialogs.saveAnswer.FileName));

    printer.CloseDocument();
    QCoreApplication::processEvents();
    for (const char *name : {"PrintSetup", "Print", "SaveReport", "LoadReport"})
        EXPECT_TRUE(Enabled(*window, name)) << name;
    delete window;
}

TEST(RepStandardPreview, KeyTable)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 5);
    struct Step
    {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int page;
    };
    const std::vector<Step> steps{
        {Qt::Key_PageDown, Qt::NoModifier, 2},
        {Qt::Key_PageDown, Qt::ShiftModifier, 3},
        {Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier, 4}, // not Ctrl alone: next
        {Qt::Key_PageUp, Qt::ControlModifier | Qt::AltModifier, 3},
        {Qt::Key_PageDown, Qt::ControlModifier, 5},
        {Qt::Key_PageDown, Qt::NoModifier, 5},
        {Qt::Key_PageUp, Qt::NoModifier, 4},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_PageUp, Qt::NoModifier, 1},
        {Qt::Key_End, Qt::ShiftModifier, 5},
        {Qt::Key_Home, Qt::ControlModifier, 1},
    };
    for (const Step &s : steps) {
        // The keys work wherever the focus is inside the window.
        QTest::keyClick(window->RepPreview()->viewport(), s.key, s.mods);
        EXPECT_EQ(window->RepPreview()->PageNumber(), s.page) << "key " << s.key << " mods " << int(s.mods);
        EXPECT_EQ(window->StatusText(), QStringLiteral("Page %1 of 5").arg(s.page));
        EXPECT_EQ(ShownPageNumber(*window->RepPreview()->Image()), s.page);
    }
    QTest::keyClick(window->Button(QStringLiteral("Print")), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isNull());
}

TEST(RepStandardPreview, ProgressPanel)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    const std::vector<std::pair<int, QString>> steps{
        {1, "0%"}, {4, "0%"}, {5, "5%"}, {7, "5%"}, {10, "10%"}, {12, "10%"}, {35, "35%"}, {100, ""}, {0, ""}};
    for (const auto &[p, text] : steps) {
        printer.ReportProgress(p);
        QCoreApplication::processEvents();
        EXPECT_EQ(window->ProgressText(), text) << "after " << p;
    }
    delete window;
}

TEST(RepStandardPreview, ZoomButtonsAndFitOnResize)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 2);
    window->showNormal();
    window->resize(800, 600);
    QCoreApplication::processEvents();
    TRepPreview *preview = window->RepPreview();
    EXPECT_EQ(preview->ZoomMode(), TRepPreview::ZoomWidth);

    QTest::mouseClick(window->Button(QStringLiteral("ZoomFit")), Qt::LeftButton);
    EXPECT_EQ(preview->ZoomMode(), TRepPreview::ZoomFit);
    const int small = preview->Zoom();
    window->resize(800, 1000);
    QCoreApplication::processEvents();
    EXPECT_GT(preview->Zoom(), small) << "fit refits on resize";

    QTest::mouseClick(window->Button(QStringLiteral("Zoom100")), Qt::LeftButton);
    EXPECT_EQ(preview->Zoom(), 100);
    window->resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(preview->Zoom(), 100) << "100 % stays on resize";

    QTest::mouseClick(window->Button(QStringLiteral("ZoomToWidth")), Qt::LeftButton);
    EXPECT_EQ(preview->ZoomMode(), TRepPreview::ZoomWidth);
    EXPECT_EQ(preview->Image()->width() - 4 <= preview->maximumViewportSize().width(), true);
    delete window;
}

TEST(RepStandardPreview, SaveOffersTheReportFileAndTheExportFilters)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 2);
    FakeDialogs dialogs;
    QTemporaryDir dir;
    dialogs.saveAnswer = {dir.filePath(QStringLiteral("lista.ZRP")), 1};
    window->SaveClick();
    ASSERT_EQ(dialogs.saveAsked.size(), 1u);
    EXPECT_EQ(dialogs.saveAsked[0].title, QStringLiteral("Save report"));
    EXPECT_EQ(dialogs.saveAsked[0].suffix, QStringLiteral("ZRP"));
    EXPECT_EQ(dialogs.saveAsked[0].filters.value(0), QStringLiteral("Report file(*.ZRP)"));
    EXPECT_EQ(dialogs.saveAsked[0].filters.size(),
              qsizetype(TRepExportFilterLibrary::Instance().Filters().size() + 1));
    EXPECT_EQ(FileBytes(dialogs.saveAnswer.FileName), FileBytes(dialogs.saveAnswer.FileName).left(128) +
                                                           FileBytes(dialogs.saveAnswer.FileName).mid(128));
    EXPECT_GT(FileBytes(dialogs.saveAnswer.FileName).size(), 128);

    dialogs.saveAnswer = {};
    window->SaveClick(); // cancelled: nothing happens
    EXPECT_EQ(dialogs.saveAsked.size(), 2u);
    delete window;
}

TEST(RepStandardPreview, LoadingReplacesThePagesAndDisablesPrinterSetup)
{
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("three.ZRP"));
    {
        TRepPrinter source;
        ProducePages(source, 3);
        source.SaveReportFile(saved);
    }
    // Another report whose page 1 (a seven-page run) is on show.
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 7);
    window->LastPageClick();
    window->FirstPageClick();
    ASSERT_EQ(ShownPageNumber(*window->RepPreview()->Image()), 1);
    ASSERT_TRUE(Enabled(*window, "PrintSetup"));

    FakeDialogs dialogs;
    dialogs.loadAnswer = {dir.filePath(QStringLiteral("missing.ZRP")), 1};
    window->LoadClick();
    ASSERT_EQ(dialogs.loadAsked.size(), 1u);
    EXPECT_EQ(dialogs.loadAsked[0].title, QStringLiteral("Load report"));
    EXPECT_EQ(dialogs.loadAsked[0].filters, QStringList{QStringLiteral("Report file (*.ZRP)")});
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("File does not exist")});
    EXPECT_EQ(printer.PageCount(), 7);
    EXPECT_TRUE(Enabled(*window, "PrintSetup"));

    dialogs.loadAnswer = {dir.path(), 1}; // a folder is no file either
    window->LoadClick();
    EXPECT_EQ(dialogs.messages.size(), 2);

    dialogs.loadAnswer = {saved, 1};
    window->LoadClick();
    EXPECT_EQ(printer.PageCount(), 3);
    EXPECT_EQ(window->StatusText(), QStringLiteral("Page 1 of 3"));
    EXPECT_FALSE(Enabled(*window, "PrintSetup"));
    EXPECT_TRUE(Enabled(*window, "Print"));
    EXPECT_TRUE(window->RepPreview()->Image()->PagePresent());
    window->LastPageClick();
    EXPECT_EQ(ShownPageNumber(*window->RepPreview()->Image()), 3);
    delete window;
}

TEST(RepStandardPreview, ALoadedFileShowsEachPageAtItsOwnSize)
{
    QTemporaryDir dir;
    const QString mixed = dir.filePath(QStringLiteral("mixed.ZRP"));
    WriteMixedPaperFile(mixed);
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 2); // A4 portrait pages on show
    TRepPreviewImage &image = *window->RepPreview()->Image();
    ASSERT_NEAR(ShownAspect(image), 794.0 / 1123, 0.01);

    FakeDialogs dialogs;
    dialogs.loadAnswer = {mixed, 1};
    window->LoadClick();
    EXPECT_NEAR(ShownAspect(image), 1123.0 / 794, 0.01) << "page 1, A4 landscape";
    window->NextPageClick();
    EXPECT_NEAR(ShownAspect(image), 816.0 / 1056, 0.01) << "page 2, Letter";
    EXPECT_LE(image.width() - 4, window->RepPreview()->maximumViewportSize().width()) << "zoomed to the width";
    delete window;
}

// A report stand-in that records the preview-closed notice and, like the
// report, frees its printer when it comes.
class Master : public QObject
{
public:
    std::unique_ptr<TRepPrinter> printer = std::make_unique<TRepPrinter>();
    int closedNotices = 0;
    bool event(QEvent *e) override
    {
        if (e->type() == RepPreviewClosedNotice()) {
            ++closedNotices;
            EXPECT_EQ(static_cast<TRepNotice *>(e)->Printer(), printer.get());
            printer.reset();
            return true;
        }
        return QObject::event(e);
    }
};

TEST(RepStandardPreview, ClosingNotifiesTheReportWhichFreesThePrinter)
{
    Master master;
    master.printer->SetMaster(&master);
    auto window = OpenWindow(*master.printer);
    ProducePages(*master.printer, 2);
    window->ExitClick();
    QCoreApplication::processEvents();
    EXPECT_EQ(master.closedNotices, 1);
    EXPECT_EQ(master.printer, nullptr);
    EXPECT_TRUE(window.isNull());
}

TEST(RepStandardPreview, ClosingWhileProducingCancelsTheRun)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    ProducePages(printer, 2, /*close=*/false);
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(printer.Cancelled());
    EXPECT_FALSE(printer.ShowingPreview());
    EXPECT_EQ(printer.Client(), nullptr);
    printer.AbandonDocument();
}

// Lets the application wait for input once, as it does between user actions.
void WaitForInputOnce()
{
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(RepStandardPreview, ARunEndingWithoutPagesIsOverWithItsRunEndedNotice)
{
    TRepPrinter printer;
    auto window = OpenWindow(printer);
    WaitForInputOnce();
    EXPECT_FALSE(Enabled(*window, "LoadReport")) << "waiting for input ends no run";
    printer.AnnounceRunEnded();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Enabled(*window, "LoadReport"));
    EXPECT_TRUE(Enabled(*window, "PrintSetup"));
    EXPECT_FALSE(Enabled(*window, "Print")) << "no pages were stored";
    EXPECT_FALSE(Enabled(*window, "SaveReport"));
    delete window;
}

TEST(RepStandardPreview, RegisteredInterfaceOpensTheWindowForThePrinter)
{
    RegisterStandardPreviewInterface();
    TRepPrinter printer;
    printer.ShowPreview();
    QPointer<QWidget> window = printer.Preview();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(qobject_cast<QMainWindow *>(window.data()));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(printer.ShowingPreview());
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isNull());
}

} // namespace

namespace {

TEST(RepStandardPreview, ExportToPdfFromAGeneratedAndALoadedReport)
{
    RegisterPdfExportFilter();
    QTemporaryDir dir;
    FakeDialogs dialogs;
    TRepPrinter printer;
    printer.SetTitle(QStringLiteral("Numbered"));
    auto window = OpenWindow(printer);
    ProducePages(printer, 3);

    const QStringList offered = [&] {
        dialogs.saveAnswer = {};
        window->SaveClick();
        return dialogs.saveAsked.back().filters;
    }();
    const qsizetype pdfIndex = offered.indexOf(QStringLiteral("PDF file (*.pdf)"));
    ASSERT_GE(pdfIndex, 1) << offered.join(QLatin1Char('|')).toStdString();

    const QString fresh = dir.filePath(QStringLiteral("fresh.pdf"));
    dialogs.saveAnswer = {fresh, int(pdfIndex) + 1};
    window->SaveClick();
    EXPECT_EQ(PdfPageCount(fresh), 3);
    const QStringList pages = PdfText(fresh).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(pages[n - 1].contains(QStringLiteral("Page %1").arg(n))) << pages[n - 1].toStdString();

    // The same pages saved as a report file, loaded back and exported again.
    const QString saved = dir.filePath(QStringLiteral("three.ZRP"));
    dialogs.saveAnswer = {saved, 1};
    window->SaveClick();
    dialogs.loadAnswer = {saved, 1};
    window->LoadClick();
    ASSERT_TRUE(printer.ReportLoaded());
    const QString again = dir.filePath(QStringLiteral("again.pdf"));
    dialogs.saveAnswer = {again, int(pdfIndex) + 1};
    window->SaveClick();
    EXPECT_EQ(PdfText(again), PdfText(fresh));
    delete window;
}

} // namespace
