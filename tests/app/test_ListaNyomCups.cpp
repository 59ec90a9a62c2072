// The joke list printed through a real CUPS queue the way a user prints it:
// the printer button opens the preview of the sample collection, its Print
// button runs the report again onto the default printer with the progress
// window, and the queue's PDF must hold the text the preview showed. Runs
// under tests/report/cups_print.sh (a private cupsd whose PDF file queue is
// the default printer); skipped in the plain test run.
#include "app/ListaNyom.h"
#include "app/Main.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepStandardPreview.h"
#include "support/PdfText.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QString SampleCollection = QStringLiteral(ZUMORIA_SOURCE_DIR "/examples/Viccek.vicc");

TRepStandardPreview *OpenPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *preview = dynamic_cast<TRepStandardPreview *>(w); preview && preview->isVisible())
            return preview;
    return nullptr;
}

// The PDF inside the queue's output (which may wrap it in printer job
// language), once the job file holds a whole one; empty after the wait.
QByteArray QueuedPdf(const QString &job, int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        QFile file(job);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const qsizetype from = bytes.indexOf("%PDF"), to = bytes.lastIndexOf("%%EOF");
        if (from >= 0 && to > from)
            return bytes.mid(from, to - from + 5);
        if (deadline.hasExpired())
            return {};
        QThread::msleep(250);
    }
}

// Page text with the footer's date and time taken out (the print is a
// second run of the report, a minute later perhaps), runs of blanks made
// one, so device and screen rounding of positions do not matter, and
// ligatures spelt out (the printer lays text out afresh and may join "fi";
// the stored pages are played back character by character).
QStringList ComparablePages(const QString &text)
{
    QStringList pages = WithoutDateTimes(text)
                            .normalized(QString::NormalizationForm_KC)
                            .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    // The words of each page in sorted order: the printer's resolution may
    // shift a line by a pixel, and pdftotext then reads neighbouring columns
    // in another order.
    for (QString &page : pages) {
        QStringList words = page.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        words.sort();
        page = words.join(QLatin1Char(' '));
    }
    pages.removeAll(QString());
    return pages;
}

TEST(ListaNyomCups, PrinterButtonPrintsThePreviewedJokeListToTheQueue)
{
    const QString job = qEnvironmentVariable("ZUMORIA_CUPS_JOB");
    if (job.isEmpty())
        GTEST_SKIP() << "no CUPS queue (run through cups_print.sh)";
    ASSERT_EQ(QPrinterInfo::defaultPrinterName(), QStringLiteral("ci-pdf"));

    QTemporaryDir dir;
    const QString shown = dir.filePath(QStringLiteral("shown.pdf"));
    TrepLista report;
    bool printed = false;
    report.AfterPrint = [&](TRepCustomReport *) { printed = true; };
    Tfrm_Main window(SampleCollection);
    window.show();
    QCoreApplication::processEvents();

    // Plays the user: waits for the finished preview, keeps its pages as
    // the export writes them, clicks Print, closes the preview once the
    // printed run is over.
    enum { Waiting, PrintAsked, Closed } step = Waiting;
    int previewPages = 0;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        TRepStandardPreview *preview = OpenPreview();
        if (!preview || !preview->Printer())
            return;
        if (step == Waiting && preview->Printer()->Status() == TRepPrinter::StatusFinished &&
            preview->Button(QStringLiteral("Print"))->isEnabled()) {
            step = PrintAsked;
            previewPages = preview->Printer()->PageCount();
            TRepPdfExportFilter filter(shown);
            preview->Printer()->RunExport(filter);
            preview->Button(QStringLiteral("Print"))->click();
        } else if (step == PrintAsked && printed && report.Idle()) {
            step = Closed;
            preview->close();
        }
    });
    QTimer::singleShot(120000, &user, [&] {
        if (TRepStandardPreview *preview = OpenPreview())
            preview->close();
    });
    user.start();
    window.tbNyomtatClick();
    user.stop();
    ASSERT_EQ(step, Closed) << "the printed run did not finish";
    EXPECT_EQ(report.Printer(), nullptr);

    const QByteArray pdf = QueuedPdf(job, 90000);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF in the job file";
    const QString printedPdf = dir.filePath(QStringLiteral("printed.pdf"));
    {
        QFile out(printedPdf);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(pdf);
    }
    const QString printedText = PdfText(printedPdf);
    const QStringList printedPages = ComparablePages(printedText);
    ASSERT_GE(previewPages, 2);
    ASSERT_EQ(printedPages.size(), previewPages) << printedText.toStdString();
    const QString first = printedText.split(QLatin1Char('\f')).first();
    for (const char *expected : {"Zumoria V3.0", "Viccek.vicc", "A csiga és a teknős", "*** vicc", "#1", "Oldal: 1",
                                 "kovirad.example"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(expected))) << expected << "\n" << first.toStdString();
    EXPECT_TRUE(printedText.contains(QStringLiteral("#33")));
    bool twoColumns = false;
    for (const QString &line : first.split(QLatin1Char('\n')))
        if (line.indexOf(QRegularExpression(QStringLiteral("\\S {8,}\\S"))) > 0 && line.trimmed().size() > 40)
            twoColumns = true;
    EXPECT_TRUE(twoColumns) << first.toStdString();
    EXPECT_EQ(printedPages, ComparablePages(PdfText(shown)));
}

} // namespace
