// Printing stored pages through a real CUPS queue. Runs under
// tests/report/cups_print.sh, which starts a private cupsd with a PDF file
// queue; in the plain test run (no queue) it is skipped.
#include "report/PageFixtures.h"
#include "platform/Canvas.h"
#include "report/output/RepPrinter.h"
#include "report/model/RepBands.h"
#include "report/model/RepReport.h"

#include <QDeadlineTimer>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(RepPrinterCupsTest, StoredPagesReachTheQueueAsPdf)
{
    const QString job = qEnvironmentVariable("ZUMORIA_CUPS_JOB");
    if (job.isEmpty())
        GTEST_SKIP() << "no CUPS queue (run through cups_print.sh)";
    TRepPrinter printer;
    ASSERT_TRUE(printer.PrinterOK());
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    int index = -1;
    for (int i = 0; i < printers.size(); ++i)
        if (printers[i].printerName() == QStringLiteral("ci-pdf"))
            index = i;
    ASSERT_GE(index, 0);
    printer.SetDeviceIndex(index);
    EXPECT_GT(printer.Settings().PixelsPerInchX(), 0);
    EXPECT_TRUE(printer.Settings().PaperSupported(TRepPaperSize::A4));
    printer.SetPaperSize(TRepPaperSize::A4);
    EXPECT_EQ(printer.PaperSize(), TRepPaperSize::A4);

    printer.OpenDocument();
    for (int n = 1; n <= 3; ++n) {
        printer.AdvancePage();
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(14);
        printer.PageCanvas()->SetFont(font, Qt::black);
        printer.PageCanvas()->TextOut(printer.ToDeviceX(200), printer.ToDeviceY(200), QStringLiteral("Seite %1").arg(n));
    }
    printer.CloseDocument();
    printer.SetFirstPage(2);
    printer.PrintStoredPages();

    // The queue writes PDF wrapped in printer job language.
    QByteArray bytes;
    QDeadlineTimer deadline(90000);
    while (!deadline.hasExpired()) {
        bytes = FileBytes(job);
        if (bytes.contains("%PDF") && bytes.lastIndexOf("%%EOF") > bytes.indexOf("%PDF"))
            break;
        QThread::msleep(250);
    }
    const qsizetype from = bytes.indexOf("%PDF"), to = bytes.lastIndexOf("%%EOF");
    ASSERT_TRUE(from >= 0 && to > from) << "no PDF in the job file";
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
    ASSERT_TRUE(WriteFileBytes(pdf, bytes.mid(from, to - from + 5)));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    text.waitForFinished(30000);
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("Seite 2"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Seite 3"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("Seite 1"))) << out.toStdString();
}

// A new report starts on the default printer's paper, whichever the queue
// is set to.
TEST(RepPrinterCupsTest, NewReportsStartOnTheDefaultPrintersPaper)
{
    if (qEnvironmentVariable("ZUMORIA_CUPS_JOB").isEmpty())
        GTEST_SKIP() << "no CUPS queue (run through cups_print.sh)";
    const struct
    {
        const char *option;
        TRepPaperSize paper;
        double widthMm;
    } table[] = {{"A5", TRepPaperSize::A5, 148}, {"Legal", TRepPaperSize::Legal, 215.9}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.option);
        ASSERT_EQ(QProcess::execute(QStringLiteral("lpadmin"),
                                    {QStringLiteral("-p"), QStringLiteral("ci-pdf"), QStringLiteral("-o"),
                                     QStringLiteral("PageSize=%1").arg(QLatin1String(row.option))}),
                  0);
        TRepReport report;
        EXPECT_EQ(report.Page().PaperSize(), row.paper);
        report.Page().SetUnits(TRepUnit::MM);
        EXPECT_NEAR(report.Page().Width(), row.widthMm, 0.5);
    }
    QProcess::execute(QStringLiteral("lpadmin"),
                      {QStringLiteral("-p"), QStringLiteral("ci-pdf"), QStringLiteral("-o"), QStringLiteral("PageSize=A4")});
}

// With a printer that offers the report's paper, a run's pages take that
// paper and the report's orientation, whatever the queue's own setting.
TEST(RepPrinterCupsTest, AReportRunsOnItsOwnPaperWhenThePrinterOffersIt)
{
    if (qEnvironmentVariable("ZUMORIA_CUPS_JOB").isEmpty())
        GTEST_SKIP() << "no CUPS queue (run through cups_print.sh)";
    const struct
    {
        const char *name;
        TRepPaperSize paper;
        TPrinterOrientation orientation;
        QSize pixels; // at 96 pixels per inch
    } table[] = {{"Letter landscape", TRepPaperSize::Letter, poLandscape, {1056, 816}},
                 {"A5", TRepPaperSize::A5, poPortrait, {559, 794}}};
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        TRepReport report;
        report.Page().SetPaperSize(row.paper);
        report.Page().SetOrientation(row.orientation);
        auto *detail = new TRepBand(&report, TRepBandType::rbDetail);
        detail->SetName(QStringLiteral("Detail"));
        TRepPrinter printer;
        ASSERT_TRUE(printer.PrinterOK());
        report.GenerateReport(printer);
        ASSERT_EQ(printer.PageCount(), 1);
        const auto page = printer.FetchPage(1);
        ASSERT_TRUE(page);
        EXPECT_EQ(page->Width(), row.pixels.width());
        EXPECT_EQ(page->Height(), row.pixels.height());
    }
}
