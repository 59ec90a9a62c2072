// The joke list as PDF: the writer's own PDF against Qt's engine on the same
// stored pages (the sample collection and a long generated one), and every
// way of exporting taking the writer's own path.
#include "app/BatchExport.h"
#include "app/JokeCollection.h"
#include "app/ListaNyom.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"
#include "report/output/detail/RepPdfWriter.h"
#include "support/PdfRender.h"
#include "support/PdfText.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString SampleCollection = QStringLiteral(ZUMORIA_SOURCE_DIR "/examples/Viccek.vicc");

// A collection of count jokes made of Hungarian words, with headings, short
// and long lines (long ones wrap in the column), always the same.
QString GeneratedCollection(const QTemporaryDir &dir, int count)
{
    static const char *words[] = {
        "Pistike",      "mondja",    "a",        "tanító",    "néninek",     "hogy", "őszintén", "szólva",
        "tükörfúrógép", "árvíztűrő", "füstölgő", "kocsmáros", "ügyvéd",      "és",   "Őrült",    "Űrhajós",
        "„idézet”",     "szerényen", "már",      "megint",    "csütörtökön", "mező"};
    quint32 seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 16) % quint32(n));
    };
    QByteArray text;
    for (int j = 0; j < count; ++j) {
        if (next(3) == 0)
            text += "##" + QByteArray(words[next(22)]) + " vicc\n";
        for (int lines = 1 + next(5); lines > 0; --lines) {
            for (int w = 2 + next(next(5) == 0 ? 40 : 10); w > 0; --w)
                text += QByteArray(words[next(22)]) + (w > 1 ? " " : "");
            text += '\n';
        }
        text += "<<\n";
    }
    const QString path = dir.filePath(QStringLiteral("generalt.vicc"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

void RunJokeList(const QString &collection, TRepPrinter &printer)
{
    TrepLista report;
    report.SetPrintList(collection, PrintListOf(PrintJokesOf(ReadJokeCollection(collection).Jokes)));
    report.RenderInto(printer);
}

// The words of every page, sorted: where two columns' lines meet,
// pdftotext's reading order and line grouping may go either way, but every
// word of every line is there.
std::vector<QStringList> WordsPerPage(const QString &pdf)
{
    std::vector<QStringList> pages;
    for (const QString &page : PdfText(pdf).split(u'\f')) {
        QStringList words = page.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        words.sort();
        pages.push_back(words);
    }
    while (!pages.empty() && pages.back().isEmpty())
        pages.pop_back();
    return pages;
}

bool AllFontsEmbeddedSubsets(const QString &pdf)
{
    const QStringList fonts = PdfFonts(pdf);
    for (const QString &line : fonts)
        if (!line.contains(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+\\S+ .* yes +yes +yes +\\d+ +\\d+$"))))
            return false;
    return !fonts.isEmpty();
}

} // namespace

TEST(JokeListPdf, SameWordsPagesAndLookAsQtsPdf)
{
    QTemporaryDir dir;
    for (const QString &collection : {SampleCollection, GeneratedCollection(dir, 600)}) {
        SCOPED_TRACE(collection.toStdString());
        TRepPrinter printer;
        RunJokeList(collection, printer);
        const int pages = printer.PageCount();
        ASSERT_GT(pages, 0);
        const RepPageSource source = [&printer](int n) { return printer.FetchPage(n); };

        QFile directFile(dir.filePath(QStringLiteral("direct.pdf"))),
            qtFile(dir.filePath(QStringLiteral("qt.pdf")));
        ASSERT_TRUE(directFile.open(QIODevice::WriteOnly) && qtFile.open(QIODevice::WriteOnly));
        const RepPdfReport report = WritePdf(directFile, printer.Title(), pages, source);
        std::vector<int> all;
        for (int n = 1; n <= pages; ++n)
            all.push_back(n);
        WritePdfThroughQt(qtFile, printer.Title(), all, source);
        directFile.close();
        qtFile.close();
        EXPECT_TRUE(report.throughQt.empty());

        const QString direct = directFile.fileName(), qt = qtFile.fileName();
        EXPECT_EQ(PdfPageCount(direct), pages);
        const std::vector<QStringList> mine = WordsPerPage(direct), theirs = WordsPerPage(qt);
        ASSERT_EQ(mine.size(), size_t(pages));
        for (int n = 0; n < pages; ++n)
            EXPECT_EQ(mine[size_t(n)], theirs[size_t(n)]) << "page " << n + 1;
        for (int n : {1, (pages + 1) / 2, pages})
            EXPECT_LE(PixelsApart(RenderPdfPage(direct, n), RenderPdfPage(qt, n)), 40) << "page " << n;

        EXPECT_TRUE(AllFontsEmbeddedSubsets(direct)) << PdfFonts(direct).join(u'\n').toStdString();
        const auto [check, text] = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), direct});
        EXPECT_EQ(check, 0) << text.toStdString();
        // Past the fonts, embedded once, the writer's own pages take less
        // than two thirds of Qt's.
        if (pages >= 20) {
            EXPECT_LT(QFileInfo(direct).size() * 3, QFileInfo(qt).size() * 2) << pages << " pages";
        }
    }
}

TEST(JokeListPdf, BatchExportAndLoadedReportsTakeTheWritersOwnPath)
{
    QTemporaryDir dir;
    const QString batch = dir.filePath(QStringLiteral("batch.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, batch, SampleCollection), BatchOk);
    EXPECT_TRUE(AllFontsEmbeddedSubsets(batch)) << PdfFonts(batch).join(u'\n').toStdString();
    EXPECT_TRUE(
        RunTool(QStringLiteral("pdfinfo"), {batch}).second.contains(QStringLiteral("Producer:        Zumoria")));

    const QString zrp = dir.filePath(QStringLiteral("lista.zrp"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Zrp, zrp, SampleCollection), BatchOk);
    TRepPrinter loaded;
    loaded.LoadReportFile(zrp);
    const QString again = dir.filePath(QStringLiteral("again.pdf"));
    TRepPdfExportFilter(again).WritePages(loaded);
    EXPECT_TRUE(AllFontsEmbeddedSubsets(again)) << PdfFonts(again).join(u'\n').toStdString();
    // Two runs: the pages differ only in the time printed at their foot.
    EXPECT_EQ(WithoutDateTimes(PdfText(again)), WithoutDateTimes(PdfText(batch)));
}
