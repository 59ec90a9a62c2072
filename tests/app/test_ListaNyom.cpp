// The joke list: the print list of a joke file, the three line looks, the
// printed pages read back as PDF text, the batch export and the printer
// button of the main window.
#include "app/BatchExport.h"
#include "app/ListaNyom.h"
#include "app/Main.h"
#include "app/Maker.h"
#include "app/Program.h"
#include "platform/AppError.h"
#include "report/model/RepBands.h"
#include "report/model/RepCtrls.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepPreview.h"
#include "report/preview/RepStandardPreview.h"
#include "report/preview/detail/RepFindBar.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "support/PdfText.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const QString SampleCollection = QStringLiteral(ZUMORIA_SOURCE_DIR "/examples/Viccek.vicc");

QString WriteJokeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &utf8)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(utf8);
    return path;
}

// Two jokes: the first with a "##" heading and one line, the second without
// a heading and with two lines.
const QByteArray TwoJokes = "##Első vicc\nEgy sor ő és ű\n<<\nKét sor\n* csillaggal\n<<\n";

struct LineLook
{
    QString line;
    int bandHeight;
    int left;
    TAlignment alignment;
    QString font;
    int size;
    bool bold;
    TRepColor color;
    bool strip;
};

// Runs report over lines, noting the look every line was given.
std::vector<LineLook> LooksOfRun(TrepLista &report, const QStringList &lines)
{
    report.SetPrintList(QStringLiteral("/a/folder/lista.vicc"), lines);
    std::vector<LineLook> looks;
    TRepStringsBand *band = report.RepStringsBand1;
    const auto own = band->BeforePrint;
    band->BeforePrint = [&](TRepCustomBand *b, bool &print) {
        own(b, print);
        const TRepFont font = report.RepExpr->Font();
        looks.push_back({report.RepExpr->CurrentValue().Text(), band->Height(), report.RepExpr->Left(),
                         report.RepExpr->Alignment(), font.Name, font.Size, font.Bold, font.Color,
                         report.RepShape2->Enabled()});
    };
    TRepPrinter printer;
    report.RenderInto(printer);
    band->BeforePrint = own;
    return looks;
}

TEST(ListaNyom, SevenLinePrintListWithItsLooks)
{
    QTemporaryDir dir;
    const QStringList list = PrintListOf(PrintJokesOf(ReadJokeCollection(WriteJokeFile(dir, "ket.vicc", TwoJokes)).Jokes));
    EXPECT_EQ(list, (QStringList{"Első vicc", "Egy sor ő és ű", "#1", "*** vicc", "Két sor", "* csillaggal", "#2"}));

    TrepLista report;
    const std::vector<LineLook> looks = LooksOfRun(report, list);
    ASSERT_EQ(looks.size(), 7u);
    const LineLook text{"", 19, 52, TAlignment::taLeftJustify, "Garamond", 11, false, 0x000000, false};
    const LineLook number{"", 24, 24, TAlignment::taRightJustify, "Comic Sans MS", 10, true, 0x0000FF, false};
    const LineLook heading{"", 24, 24, TAlignment::taLeftJustify, "Comic Sans MS", 12, true, 0xFF0000, true};
    const std::vector<LineLook> expected{text, text, number, heading, text, heading, number};
    for (size_t i = 0; i < looks.size(); ++i) {
        SCOPED_TRACE(looks[i].line.toStdString());
        EXPECT_EQ(looks[i].line, list[qsizetype(i)]);
        EXPECT_EQ(looks[i].bandHeight, expected[i].bandHeight);
        EXPECT_EQ(looks[i].left, expected[i].left);
        EXPECT_EQ(looks[i].alignment, expected[i].alignment);
        EXPECT_EQ(looks[i].font, expected[i].font);
        EXPECT_EQ(looks[i].size, expected[i].size);
        EXPECT_EQ(looks[i].bold, expected[i].bold);
        EXPECT_EQ(looks[i].color, expected[i].color);
        EXPECT_EQ(looks[i].strip, expected[i].strip);
    }
    EXPECT_EQ(report.replCim->Caption(), QStringLiteral("lista.vicc"));
}

TEST(ListaNyom, EmptyLinesAndLooksByFirstCharacter)
{
    const std::vector<std::pair<QString, TLineLook>> cases{
        {"", TLineLook::Text},          {"*** vicc", TLineLook::Heading}, {"#12", TLineLook::Number},
        {" *", TLineLook::Text},        {"#", TLineLook::Number},         {"*#", TLineLook::Heading},
        {">>kep.jpg", TLineLook::Text}, {"ő", TLineLook::Text}};
    for (const auto &[line, look] : cases)
        EXPECT_EQ(LineLookOf(line), look) << line.toStdString();
}

// The joke list as the program stores it (ListaNyom.zrd): its paper, bands,
// functions and printables.
TEST(ListaNyom, TheStoredDefinitionGivesTheListItsLayout)
{
    TrepLista report;
    EXPECT_EQ(report.Name(), "repLista");
    EXPECT_EQ(report.ReportTitle, QStringLiteral("Események"));
    EXPECT_EQ(report.Page().PaperSize(), TRepPaperSize::A4);
    EXPECT_EQ(report.Page().Orientation(), poPortrait);
    EXPECT_EQ(report.Page().Columns(), 2);
    EXPECT_EQ(report.Width(), 794);
    EXPECT_EQ(report.Height(), 1123);
    EXPECT_EQ(report.Units(), TRepUnit::MM);
    EXPECT_DOUBLE_EQ(report.Page().TopMargin(), 10.0);
    EXPECT_DOUBLE_EQ(report.Page().BottomMargin(), 16.0);
    EXPECT_EQ(report.Font().Name, "Comic Sans MS");
    EXPECT_EQ(report.Font().Charset, 238);

    ASSERT_EQ(report.BandList().size(), 3u);
    EXPECT_EQ(report.BandList()[0]->Name(), "RepBand1");
    EXPECT_EQ(report.BandList()[1], report.RepStringsBand1);
    EXPECT_EQ(report.BandList()[2]->Name(), "RepBand2");
    EXPECT_EQ(report.RepStringsBand1->Width(), 359);
    EXPECT_EQ(report.RepStringsBand1->Master(), &report);
    EXPECT_EQ(report.Functions().Name(3), "REPSTRINGSBAND1");

    // A joke line wider than the column goes on below, the band growing.
    EXPECT_EQ(report.RepExpr->Expression(), "RepStringsBand1");
    EXPECT_TRUE(report.RepExpr->AutoStretch);
    EXPECT_TRUE(report.RepExpr->WordWrap);
    EXPECT_FALSE(report.RepExpr->AutoSize());

    auto *banner = report.findChild<TRepLabel *>(QStringLiteral("RepLabel5"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->Caption(), "Zumoria V3.0");
    EXPECT_EQ(banner->Font().Size, 26);
    EXPECT_TRUE(banner->Font().Bold);
    EXPECT_EQ(banner->Font().Color, 0x00DADADAu);
    auto *page = report.findChild<TRepSysData *>(QStringLiteral("RepSysData2"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Text(), "Oldal: ");
    EXPECT_EQ(page->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(page->Left() + page->Width(), 718);
    EXPECT_EQ(report.RepShape2->Shape, TRepShapeType::rsTopAndBottom);
    EXPECT_EQ(report.RepShape2->Brush.Color, 0x00E9E9E9u);
    EXPECT_EQ(report.RepShape2->Width(), 661);
    EXPECT_EQ(report.RepLabel1->Caption(), QString::fromLatin1(Maker::HomePage));
}

// Where one band print ended: band, page, column and cursor after it.
struct Placed
{
    QString band;
    int page, column, cursorX, cursorY;
};

// A heading, 120 lines and a number: down column 1, on into column 2 and
// over to page 2, with a header on top and a footer at the bottom of every
// page.
TEST(ListaNyom, TheListFlowsDownTwoColumnsAndOverPages)
{
    TrepLista report;
    QStringList lines{QStringLiteral("*** vicc")};
    for (int i = 0; i < 120; ++i)
        lines << QStringLiteral("sor %1").arg(i);
    lines << QStringLiteral("#1");
    report.SetPrintList(QStringLiteral("/a/lista.vicc"), lines);
    std::map<QString, std::vector<Placed>> placed;
    for (TRepCustomBand *band : report.BandList())
        band->AfterPrint = [&](TRepCustomBand *b, bool) {
            placed[b->Name()].push_back(
                {b->Name(), report.PagesStarted(), report.ColumnIndex(), report.CursorX(), report.CursorY()});
        };
    TRepPrinter printer;
    report.RenderInto(printer);

    EXPECT_NEAR(report.FooterReserve(), 105.833, 0.001);
    const auto &printed = placed["RepStringsBand1"];
    ASSERT_EQ(printed.size(), size_t(lines.size()));
    // The header ends at 100 + 156; the heading (63.5 rounds to 64) and the
    // first line (50.27 rounds to 50) follow at the column's top.
    const auto &headers = placed["RepBand1"];
    ASSERT_EQ(headers.size(), 2u);
    EXPECT_EQ(headers[0].cursorY, 100 + 156);
    EXPECT_EQ(printed[0].cursorX, 100);
    EXPECT_EQ(printed[0].cursorY, 256 + 64);
    EXPECT_EQ(printed[1].cursorY, 256 + 64 + 50);
    // Column 1 holds the heading and 47 lines: one more would end at 2720,
    // below 2810 less the footer's 105.8. The next starts column 2.
    EXPECT_EQ(printed[47].column, 1);
    EXPECT_EQ(printed[47].cursorY, 256 + 64 + 47 * 50);
    EXPECT_EQ(printed[48].column, 2);
    EXPECT_EQ(printed[48].page, 1);
    EXPECT_EQ(printed[48].cursorX, 1050);
    EXPECT_EQ(printed[48].cursorY, 256 + 50);
    const auto &footers = placed["RepBand2"];
    ASSERT_EQ(footers.size(), 2u);
    for (const Placed &footer : footers)
        EXPECT_EQ(footer.cursorY, 2704 + 106);
    EXPECT_EQ(headers[1].page, 2);
    EXPECT_EQ(printed.back().page, 2);
    EXPECT_EQ(printer.PageCount(), 2);
    EXPECT_EQ(printer.Status(), TRepPrinter::StatusFinished);
}

TEST(ListaNyom, SampleCollectionExportedToPdf)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("viccek.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, out, SampleCollection), BatchOk);
    const QString text = PdfText(out);
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Zumoria V3.0")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Viccek.vicc")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("A csiga és a teknős")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("*** vicc")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("#1")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Oldal: 1")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Oldal: 2")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("kovirad.example")));
    // Two columns: some printed line of page 1 holds text of both, far apart.
    bool twoColumns = false;
    for (const QString &line : pages[0].split(QLatin1Char('\n')))
        if (line.indexOf(QRegularExpression(QStringLiteral("\\S {8,}\\S"))) > 0 && line.trimmed().size() > 40)
            twoColumns = true;
    EXPECT_TRUE(twoColumns) << pages[0].toStdString();
    // The last joke's number ends the list.
    EXPECT_TRUE(text.contains(QStringLiteral("#33")));
}

// A joke line wider than the column continues on the lines below it (and in
// the next column or page when the column is full): no word is lost.
// The longest run of dark pixels in row y of image between x0 and x1.
int LongestDarkRun(const QImage &image, int y, int x0, int x1)
{
    int longest = 0, run = 0;
    for (int x = x0; x < x1; ++x) {
        run = qGray(image.pixel(x, y)) < 200 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The preview draws the rules of the sample's first page where the
// exported PDF has them, at every zoom: the left column's heading rules run
// on under the right column's bands, which cover them, and once showed
// through there as grey lines at zooms like 80 %. Every row of the right
// column that holds a rule in the preview holds one in the PDF as a PDF
// reader draws it.
TEST(ListaNyom, ThePreviewDrawsTheRulesWhereThePdfHasThem)
{
    QTemporaryDir dir;
    const QString zrp = dir.filePath(QStringLiteral("viccek.zrp"));
    const QString pdf = dir.filePath(QStringLiteral("viccek.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Zrp, zrp, SampleCollection), BatchOk);
    TRepPrinter printer;
    printer.LoadReportFile(zrp);
    TRepPdfExportFilter(pdf).WritePages(printer);
    TRepPreviewImage image;
    image.SetPrinter(&printer);
    image.SetPageNumber(1);
    ASSERT_TRUE(image.PagePresent());
    for (const int zoom : {40, 45, 50, 55, 60, 67, 75, 79, 80, 82, 86, 90, 104, 125}) {
        const QSize size(printer.ToDeviceWidth(printer.OrientedPaperWidth() / 100.0 * zoom) + 4,
                         printer.ToDeviceHeight(printer.OrientedPaperLength() / 100.0 * zoom) + 4);
        image.resize(size);
        QImage shown(size, QImage::Format_RGB32);
        shown.fill(Qt::white);
        {
            QPainter p(&shown);
            image.PaintPage(p, image.rect());
        }
        const QString stem = dir.filePath(QStringLiteral("page%1").arg(zoom));
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                    {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                     QStringLiteral("1"), QStringLiteral("-png"), QStringLiteral("-scale-to-x"),
                                     QString::number(size.width()), QStringLiteral("-scale-to-y"),
                                     QString::number(size.height()), pdf, stem}),
                  0);
        const QImage read(
            QDir(dir.path()).entryInfoList({QStringLiteral("page%1-*.png").arg(zoom)}).value(0).filePath());
        ASSERT_EQ(read.size(), size) << zoom;
        // The right column's text, between its margins.
        const int x0 = size.width() * 56 / 100, x1 = size.width() * 90 / 100;
        const int rule = (x1 - x0) / 2;
        int rules = 0;
        for (int y = 2; y < size.height() - 6; ++y) {
            if (LongestDarkRun(shown, y, x0, x1) < rule)
                continue;
            ++rules;
            int inPdf = 0;
            for (int near = y - 2; near <= y + 2; ++near)
                inPdf = std::max(inPdf, LongestDarkRun(read, near, x0, x1));
            EXPECT_GE(inPdf, rule * 4 / 5)
                << "zoom " << zoom << ", row " << y << ": a rule the PDF does not have";
        }
        EXPECT_GE(rules, 4) << "zoom " << zoom << ": the title's and the headings' rules";
    }
}

TEST(ListaNyom, LongLinesPrintWhole)
{
    QTemporaryDir dir;
    QByteArray joke = "##Hosszú sorok\n";
    QStringList words;
    for (int line = 0; line < 60; ++line) {
        QStringList lineWords;
        for (int w = 0; w < 14; ++w)
            lineWords << QStringLiteral("s%1x%2").arg(line).arg(w);
        joke += lineWords.join(QLatin1Char(' ')).toUtf8() + "\n";
        words += lineWords;
    }
    const QString out = dir.filePath(QStringLiteral("hosszu.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, out, WriteJokeFile(dir, "hosszu.vicc", joke + "<<\n")), BatchOk);
    const QString text = PdfText(out);
    const QStringList printed = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString &word : words)
        EXPECT_TRUE(printed.contains(word)) << word.toStdString();
    EXPECT_GE(text.count(QLatin1Char('\f')), 2) << "the lines fill more than one page";
    EXPECT_TRUE(printed.contains(QStringLiteral("#1")));
}

// A line of 700 characters prints whole, beyond what one expression result
// holds (255 characters).
TEST(ListaNyom, ASevenHundredCharacterLinePrintsWhole)
{
    QTemporaryDir dir;
    QStringList words;
    for (int w = 0; words.join(QLatin1Char(' ')).size() < 700; ++w)
        words << QStringLiteral("szo%1").arg(w, 3, 10, QLatin1Char('0'));
    const QString line = words.join(QLatin1Char(' ')).left(700);
    ASSERT_EQ(line.size(), 700);
    const QString out = dir.filePath(QStringLiteral("hetszaz.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, out, WriteJokeFile(dir, "hetszaz.vicc", line.toUtf8() + "\n<<\n")),
              BatchOk);
    const QStringList printed = PdfText(out).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const QString &word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        EXPECT_TRUE(printed.contains(word)) << word.toStdString();
}

TEST(ListaNyom, BatchExportFailures)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("nincs.vicc"));
    const QString out = dir.filePath(QStringLiteral("out.pdf"));
    EXPECT_EQ(RunBatchExport(TBatchFormat::Pdf, out, missing), BatchFailed);
    EXPECT_FALSE(QFileInfo::exists(out));

    const QString empty = WriteJokeFile(dir, "ures.vicc", "// csak megjegyzés\n");
    EXPECT_EQ(RunBatchExport(TBatchFormat::Pdf, out, empty), BatchNoJokes);
    EXPECT_EQ(RunBatchExport(TBatchFormat::Zrp, out, empty), BatchNoJokes);
    EXPECT_FALSE(QFileInfo::exists(out));

    const QString nowhere = dir.filePath(QStringLiteral("nincs/ilyen/mappa/out.pdf"));
    EXPECT_EQ(RunBatchExport(TBatchFormat::Pdf, nowhere, SampleCollection), BatchFailed);
    EXPECT_EQ(RunBatchExport(TBatchFormat::Zrp, nowhere, SampleCollection), BatchFailed);
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

TEST(ListaNyom, SavedReportFileLoadsAndExportsTheSameText)
{
    QTemporaryDir dir;
    const QString zrp = dir.filePath(QStringLiteral("viccek.zrp"));
    const QString direct = dir.filePath(QStringLiteral("direct.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Zrp, zrp, SampleCollection), BatchOk);
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, direct, SampleCollection), BatchOk);

    TRepPrinter loaded;
    loaded.LoadReportFile(zrp);
    EXPECT_GE(loaded.PageCount(), 2);
    const QString again = dir.filePath(QStringLiteral("again.pdf"));
    TRepPdfExportFilter filter(again);
    loaded.RunExport(filter);
    // Same pages; only the time of the run in the footer may differ.
    EXPECT_EQ(WithoutDateTimes(PdfText(again)), WithoutDateTimes(PdfText(direct)));
}

ino_t Inode(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// Every file of a folder with its bytes, to see that nothing was touched.
std::map<QString, QByteArray> Snapshot(const QTemporaryDir &dir)
{
    std::map<QString, QByteArray> files;
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        files[name] = ReadAll(dir.filePath(name));
    return files;
}

// An export never writes over its own input, through links or not, nor over
// a file that holds something else than what it writes: it fails, and every
// file keeps its bytes. A file of the same format, or an empty one, is
// replaced (a new file, renamed into place).
TEST(ListaNyom, ExportNeverWritesOverItsInputOrAnotherKindOfFile)
{
    QTemporaryDir dir;
    const QString mine = WriteJokeFile(dir, "mine.vicc", TwoJokes);
    const QString zrp = dir.filePath(QStringLiteral("mine.zrp"));
    const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
    ASSERT_EQ(RunBatchExport(TBatchFormat::Zrp, zrp, mine), BatchOk);
    ASSERT_EQ(RunBatchExport(TBatchFormat::Pdf, pdf, mine), BatchOk);
    const QString soft = dir.filePath(QStringLiteral("soft.vicc"));
    const QString hard = dir.filePath(QStringLiteral("hard.vicc"));
    ASSERT_TRUE(QFile::link(mine, soft));
    ASSERT_EQ(::link(QFile::encodeName(mine).constData(), QFile::encodeName(hard).constData()), 0);
    const QString notes = WriteJokeFile(dir, "notes.txt", "bevásárlólista\n");

    struct Case { TBatchFormat format; QString target, input; };
    const Case refused[] = {
        {TBatchFormat::Pdf, mine, mine},  // its own input
        {TBatchFormat::Pdf, soft, mine},  // through a symbolic link
        {TBatchFormat::Zrp, hard, mine},  // through a hard link
        {TBatchFormat::Pdf, mine, soft},
        {TBatchFormat::Pdf, mine, pdf},   // arguments swapped: the collection stays
        {TBatchFormat::Zrp, zrp, zrp},    // a report file onto itself
        {TBatchFormat::Zrp, pdf, mine},   // a PDF is no report file
        {TBatchFormat::Pdf, zrp, mine},   // a report file is no PDF
        {TBatchFormat::Pdf, notes, mine},
    };
    const auto before = Snapshot(dir);
    for (const Case &c : refused) {
        SCOPED_TRACE((QFileInfo(c.target).fileName() + " <- " + QFileInfo(c.input).fileName()).toStdString());
        EXPECT_EQ(RunBatchExport(c.format, c.target, c.input), BatchFailed);
        EXPECT_TRUE(Snapshot(dir) == before);
    }

    const QString empty = WriteJokeFile(dir, "empty.pdf", "");
    const Case replaced[] = {
        {TBatchFormat::Pdf, pdf, mine},
        {TBatchFormat::Zrp, zrp, mine},
        {TBatchFormat::Pdf, empty, mine},
        {TBatchFormat::Pdf, pdf, zrp}, // a saved report converted
    };
    for (const Case &c : replaced) {
        SCOPED_TRACE((QFileInfo(c.target).fileName() + " <- " + QFileInfo(c.input).fileName()).toStdString());
        const ino_t inode = Inode(c.target);
        ASSERT_EQ(RunBatchExport(c.format, c.target, c.input), BatchOk);
        EXPECT_NE(Inode(c.target), inode);
    }
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Egy sor ő és ű")));
    EXPECT_EQ(ReadAll(mine), TwoJokes);
}

// A path made by mknod in dir for a device of the system, or an empty string
// when this user may not make device nodes.
QString DeviceNode(const QTemporaryDir &dir, const char *name, unsigned major, unsigned minor)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(major, minor)) == 0 ? path
                                                                                                   : QString();
}

// Devices and FIFOs are written in place and stay what they are: a copy of
// /dev/null swallows the export, a reader on a FIFO gets the whole PDF.
TEST(ListaNyom, ExportWritesDevicesAndPipesInPlace)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("cso"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The reader is there before the export starts and reads until the
    // export is over; it never waits on a FIFO nobody writes.
    const int in = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(in, 0);
    std::atomic<bool> exported = false;
    QByteArray received;
    std::thread reader([&] {
        char buffer[65536];
        for (;;) {
            const bool last = exported;
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, n);
            else if (last)
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    EXPECT_EQ(RunBatchExport(TBatchFormat::Pdf, fifo, SampleCollection), BatchOk);
    exported = true;
    reader.join();
    ::close(in);
    EXPECT_TRUE(received.startsWith("%PDF-"));
    EXPECT_TRUE(received.trimmed().endsWith("%%EOF"));
    EXPECT_FALSE(QFileInfo(fifo).isFile());

    const QString null = DeviceNode(dir, "null", 1, 3);
    if (null.isEmpty())
        GTEST_SKIP() << "device nodes cannot be made here";
    EXPECT_EQ(RunBatchExport(TBatchFormat::Zrp, null, SampleCollection), BatchOk);
    EXPECT_EQ(RunBatchExport(TBatchFormat::Pdf, null, SampleCollection), BatchOk);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(null).constData(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, makedev(1, 3));
}

int PreviewWindows()
{
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (dynamic_cast<TRepStandardPreview *>(w) && w->isVisible())
            ++n;
    return n;
}

TEST(ListaNyom, PrinterButtonOpensOnePreviewAndASecondClickRaisesIt)
{
    TrepLista report;
    Tfrm_Main window(SampleCollection);
    window.show();
    QCoreApplication::processEvents();
    int previewsSeen = 0;
    int pages = 0;
    bool acted = false;
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        // Once the preview is open: a second click brings the same window up.
        if (acted || PreviewWindows() == 0 || !report.Printer())
            return;
        acted = true;
        window.tbNyomtatClick();
        previewsSeen = PreviewWindows();
        pages = report.Printer() ? report.Printer()->PageCount() : -1;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *preview = dynamic_cast<TRepStandardPreview *>(w))
                preview->close();
    });
    watch.start();
    window.tbNyomtatClick();
    EXPECT_EQ(previewsSeen, 1);
    EXPECT_GE(pages, 2);
    EXPECT_EQ(report.replCim->Caption(), QStringLiteral("Viccek.vicc"));
    EXPECT_EQ(report.Printer(), nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(PreviewWindows(), 0);
}

// The preview's stored-page buttons after a modal preview run that ends in
// the given way, read once Load is offered again (or after a generous wait).
struct ButtonsAfterRun
{
    bool printSetup = false, print = false, save = false, load = false;
    QString status;
    bool threw = false;
    bool previewLeftOpen = false;
};

ButtonsAfterRun RunModalPreviewOf(TrepLista &report)
{
    ButtonsAfterRun seen;
    QTimer user;
    user.setInterval(10);
    QDeadlineTimer patience(20000);
    QObject::connect(&user, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *preview = dynamic_cast<TRepStandardPreview *>(w);
            if (!preview || !preview->isVisible())
                continue;
            const auto on = [&](const char *name) { return preview->Button(QString::fromLatin1(name))->isEnabled(); };
            if (!on("LoadReport") && !patience.hasExpired())
                return;
            seen.printSetup = on("PrintSetup");
            seen.print = on("Print");
            seen.save = on("SaveReport");
            seen.load = on("LoadReport");
            seen.status = preview->StatusText();
            preview->close();
        }
    });
    user.start();
    try {
        report.RunModalPreview();
    } catch (const std::exception &) {
        seen.threw = true;
    }
    // A run that failed leaves its preview open; the user closes it later.
    seen.previewLeftOpen = PreviewWindows() > 0;
    while (PreviewWindows() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return seen;
}

TEST(ListaNyom, EveryEndOfARunGivesThePreviewButtonsBack)
{
    enum End { NothingListed, Vetoed, FailsBeforeItStarts, FailsHalfway };
    struct Case
    {
        End end;
        const char *name;
        bool pages; // the printer finished with its pages: Print and Save too
        bool threw;
    };
    // Nothing listed makes no page (the strings band is all the list has),
    // so there is nothing to print or save either.
    const std::vector<Case> cases{{NothingListed, "nothing listed", false, false},
                                  {Vetoed, "vetoed", false, false},
                                  {FailsBeforeItStarts, "fails before it starts", false, true},
                                  {FailsHalfway, "fails halfway", true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TrepLista report;
        QStringList lines;
        for (int i = 0; i < 400; ++i)
            lines << QStringLiteral("sor %1").arg(i);
        report.SetPrintList(QStringLiteral("lista.vicc"), c.end == NothingListed ? QStringList() : lines);
        if (c.end == Vetoed)
            report.BeforePrint = [](TRepCustomReport *, bool &print) { print = false; };
        if (c.end == FailsBeforeItStarts)
            report.BeforePrint = [](TRepCustomReport *, bool &) { throw AppError(QStringLiteral("no paper")); };
        if (c.end == FailsHalfway) {
            const auto own = report.RepStringsBand1->BeforePrint;
            int printed = 0;
            report.RepStringsBand1->BeforePrint = [own, printed](TRepCustomBand *b, bool &print) mutable {
                own(b, print);
                if (++printed == 300)
                    throw AppError(QStringLiteral("out of ink"));
            };
        }
        const ButtonsAfterRun seen = RunModalPreviewOf(report);
        EXPECT_EQ(seen.threw, c.threw);
        EXPECT_EQ(seen.previewLeftOpen, c.threw);
        EXPECT_TRUE(seen.load);
        EXPECT_TRUE(seen.printSetup);
        EXPECT_EQ(seen.print, c.pages);
        EXPECT_EQ(seen.save, c.pages);
        if (c.end == NothingListed) {
            EXPECT_EQ(seen.status, QStringLiteral("Page 0 of 0"));
        }
        // Closing the preview let the printer go, and the report runs again.
        EXPECT_EQ(report.Printer(), nullptr);
        EXPECT_TRUE(report.Idle());
    }
}

// A long joke list whose last line holds a word found nowhere else: the
// preview's find bar finds it on the last page and marks it there.
TEST(ListaNyom, AWordPlantedInTheLastLineIsFoundOnTheLastPage)
{
    TrepLista report;
    QStringList lines;
    for (int joke = 1; joke <= 600; ++joke)
        lines << QStringLiteral("##Vicc %1").arg(joke) << QStringLiteral("Egy sor a medvéről, %1.").arg(joke)
              << QStringLiteral("Még egy sor.") << QStringLiteral("#%1").arg(joke);
    lines << QStringLiteral("A zsiráfnyakú Zebrapinty utolsó szava.");
    report.SetPrintList(QStringLiteral("lista.vicc"), lines);
    TRepPrinter printer;
    report.RenderInto(printer);
    ASSERT_GT(printer.PageCount(), 20);

    auto *preview = new TRepStandardPreview(nullptr, &printer);
    preview->show();
    QCoreApplication::processEvents();
    TRepFindBar &bar = *preview->FindBar();
    bar.Search(QStringLiteral("ZEBRAPINTY"));
    EXPECT_EQ(bar.ResultText(), QStringLiteral("1 / 1"));
    EXPECT_EQ(preview->RepPreview()->PageNumber(), printer.PageCount());
    const TRepPreviewImage &image = *preview->RepPreview()->Image();
    ASSERT_EQ(image.Highlights().size(), 1u);
    // The box is where the word is printed: a second search for the
    // words on both sides of it marks boxes beside it on the same line.
    const QRectF word = image.Highlights().front();
    bar.Search(QStringLiteral("zsiráfnyakú"));
    ASSERT_EQ(image.Highlights().size(), 1u);
    const QRectF before = image.Highlights().front();
    EXPECT_NEAR(before.center().y(), word.center().y(), 0.5);
    EXPECT_LT(before.right(), word.left());
    bar.Search(QStringLiteral("medverol"));
    EXPECT_EQ(bar.ResultText(), QStringLiteral("No matches"));
    bar.SetIgnoreAccents(true);
    EXPECT_EQ(bar.Matches().size(), 600u);
    delete preview;
}

TEST(ListaNyom, NothingListedGivesTheListIndexError)
{
    TrepLista report;
    Tfrm_Main window{QString()};
    QString shown;
    const auto old = SetErrorBoxSink([&](const QString &text) { shown = text; });
    RunGuarded([&] { window.tbNyomtatClick(); });
    SetErrorBoxSink(old);
    EXPECT_EQ(shown, QStringLiteral("List index out of bounds (0)"));
    EXPECT_EQ(PreviewWindows(), 0);
}

} // namespace

namespace {

TEST(ListaNyom, ExportCommandLine)
{
    struct Case
    {
        std::vector<const char *> args;
        CommandLine::Action action;
        QString format, target, file;
    };
    const std::vector<Case> cases{
        {{"zumoria", "--export-pdf", "out.pdf", "a.vicc"}, CommandLine::Export, "pdf", "out.pdf", "a.vicc"},
        {{"zumoria", "--export-zrp", "out.zrp", "--", "-a.vicc"}, CommandLine::Export, "zrp", "out.zrp", "-a.vicc"},
        {{"zumoria", "a.vicc", "--export-pdf", "x.pdf"}, CommandLine::Export, "pdf", "x.pdf", "a.vicc"},
        {{"zumoria", "--export-pdf"}, CommandLine::Fail, "", "", ""},
        {{"zumoria", "--export-pdf", "out.pdf"}, CommandLine::Fail, "", "", ""},
        {{"zumoria", "--", "--export-pdf"}, CommandLine::Run, "", "", "--export-pdf"},
    };
    for (const Case &c : cases) {
        const CommandLine got = ParseCommandLine(int(c.args.size()), c.args.data());
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(got.action, c.action);
        if (c.action == CommandLine::Fail) {
            EXPECT_FALSE(got.output.empty());
            continue;
        }
        EXPECT_EQ(got.exportFormat, c.format);
        EXPECT_EQ(got.exportTarget, c.target);
        EXPECT_EQ(got.jokeFile, c.file);
    }
}

struct ProgramRun
{
    int status;
    QString errors;
};

ProgramRun RunProgram(const QStringList &args)
{
    QProcess program;
    program.start(QStringLiteral(ZUMORIA_BINARY_DIR "/zumoria"), args);
    if (!program.waitForFinished(120000))
        return {-1, QStringLiteral("did not finish")};
    return {program.exitCode(), QString::fromLocal8Bit(program.readAllStandardError())};
}

TEST(ListaNyom, ProgramExportsWithoutAWindow)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("lista.pdf"));
    // Even with a display named, the export never opens one.
    qputenv("DISPLAY", ":97");
    const ProgramRun ok = RunProgram({QStringLiteral("--export-pdf"), pdf, SampleCollection});
    EXPECT_EQ(ok.status, 0) << ok.errors.toStdString();
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Oldal: 1")));

    const QString zrp = dir.filePath(QStringLiteral("lista.zrp"));
    EXPECT_EQ(RunProgram({QStringLiteral("--export-zrp"), zrp, SampleCollection}).status, 0);
    TRepPrinter loaded;
    loaded.LoadReportFile(zrp);
    EXPECT_EQ(loaded.PageCount(), PdfPageCount(pdf));

    const QString empty = WriteJokeFile(dir, "ures.vicc", "");
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    const ProgramRun noJokes = RunProgram({QStringLiteral("--export-pdf"), none, empty});
    EXPECT_EQ(noJokes.status, 2);
    EXPECT_TRUE(noJokes.errors.contains(QRegularExpression(QStringLiteral("(^|\\n)zumoria: .*ures.vicc"))))
        << noJokes.errors.toStdString();
    const ProgramRun missing = RunProgram({QStringLiteral("--export-pdf"), none, dir.filePath(QStringLiteral("x.vicc"))});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.errors.contains(QStringLiteral("x.vicc")));
    const ProgramRun unwritable =
        RunProgram({QStringLiteral("--export-pdf"), dir.filePath(QStringLiteral("no/such/dir.pdf")), SampleCollection});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_FALSE(unwritable.errors.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(none));
}

// What the command line says and does at the edges: one export a run, a
// refused target, a full device, standard output, and saved reports (the
// crafted one too) converted to PDF.
TEST(ListaNyom, ProgramExportEdges)
{
    QTemporaryDir dir;
    const QString mine = WriteJokeFile(dir, "mine.vicc", TwoJokes);
    const QString a = dir.filePath(QStringLiteral("a.pdf"));
    const QString b = dir.filePath(QStringLiteral("b.zrp"));

    const ProgramRun two = RunProgram({QStringLiteral("--export-pdf"), a, QStringLiteral("--export-zrp"), b, mine});
    EXPECT_EQ(two.status, 2);
    EXPECT_TRUE(two.errors.contains(QStringLiteral("one export per run"))) << two.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(a) || QFileInfo::exists(b));

    const ProgramRun self = RunProgram({QStringLiteral("--export-pdf"), mine, mine});
    EXPECT_EQ(self.status, 1);
    EXPECT_TRUE(self.errors.contains(QStringLiteral("mine.vicc is the file being exported"))) << self.errors.toStdString();
    EXPECT_EQ(ReadAll(mine), TwoJokes);

    // A full device: the fixed text, then which file and why.
    QString full = DeviceNode(dir, "full", 1, 7);
    if (full.isEmpty() && ::access("/dev", W_OK) != 0)
        full = QStringLiteral("/dev/full"); // never replaceable by this user
    if (!full.isEmpty()) {
        const ProgramRun zrp = RunProgram({QStringLiteral("--export-zrp"), full, mine});
        EXPECT_EQ(zrp.status, 1);
        EXPECT_TRUE(zrp.errors.contains(QStringLiteral("Stream write error: %1: No space left on device").arg(full)))
            << zrp.errors.toStdString();
        const ProgramRun pdf = RunProgram({QStringLiteral("--export-pdf"), full, mine});
        EXPECT_EQ(pdf.status, 1);
        EXPECT_TRUE(pdf.errors.contains(QStringLiteral("No space left on device"))) << pdf.errors.toStdString();
    }

    // "-" streams to standard output, and so does /dev/stdout when it is a file.
    QProcess toStdout;
    toStdout.start(QStringLiteral(ZUMORIA_BINARY_DIR "/zumoria"), {QStringLiteral("--export-pdf"), QStringLiteral("-"), mine});
    ASSERT_TRUE(toStdout.waitForFinished(120000));
    EXPECT_EQ(toStdout.exitCode(), 0);
    EXPECT_TRUE(toStdout.readAllStandardOutput().startsWith("%PDF-"));
    const QString redirected = dir.filePath(QStringLiteral("kimenet.pdf"));
    QProcess toFile;
    toFile.setStandardOutputFile(redirected);
    toFile.start(QStringLiteral(ZUMORIA_BINARY_DIR "/zumoria"),
                 {QStringLiteral("--export-pdf"), QStringLiteral("/dev/stdout"), mine});
    ASSERT_TRUE(toFile.waitForFinished(120000));
    EXPECT_EQ(toFile.exitCode(), 0) << toFile.readAllStandardError().toStdString();
    EXPECT_TRUE(PdfText(redirected).contains(QStringLiteral("Egy sor ő és ű")));

    // Standard output appended to the joke file itself is refused too.
    QProcess ontoItself;
    ontoItself.setStandardOutputFile(mine, QIODevice::Append);
    ontoItself.start(QStringLiteral(ZUMORIA_BINARY_DIR "/zumoria"), {QStringLiteral("--export-pdf"), QStringLiteral("-"), mine});
    ASSERT_TRUE(ontoItself.waitForFinished(120000));
    EXPECT_EQ(ontoItself.exitCode(), 1);
    EXPECT_EQ(ReadAll(mine), TwoJokes);

    // A saved report converted from the command line gives the same text;
    // the crafted one plays through the guards without harm.
    ASSERT_EQ(RunProgram({QStringLiteral("--export-zrp"), b, mine}).status, 0);
    ASSERT_EQ(RunProgram({QStringLiteral("--export-pdf"), a, b}).status, 0);
    EXPECT_EQ(WithoutDateTimes(PdfText(a)), WithoutDateTimes(PdfText(redirected)));
    const ProgramRun crafted = RunProgram(
        {QStringLiteral("--export-pdf"), dir.filePath(QStringLiteral("c.pdf")),
         QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/fuzz/corpus/fuzz_zrp/zrp-text-without-font.zrp")});
    EXPECT_EQ(crafted.status, 0) << crafted.errors.toStdString();
    const QString broken = WriteJokeFile(dir, "broken.zrp", ReadAll(b).left(400));
    const ProgramRun refused = RunProgram({QStringLiteral("--export-pdf"), dir.filePath(QStringLiteral("d.pdf")), broken});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("not a valid report file"))) << refused.errors.toStdString();
}

} // namespace
