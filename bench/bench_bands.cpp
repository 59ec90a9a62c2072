// The band engine on a long joke list: the print list of a 10,000-joke
// collection (about 60,000 lines, about 1,100 pages in two columns) is
// generated into the page store, next to two peers on the same lines: a
// small Qt program that sets them in two columns through QPrinter to PDF,
// and enscript -2 (when installed).
//
// The collection comes from shared/tools/gen_jokes.py; point
// ZUMORIA_BENCH_VICC at a generated file, or the benchmark runs the
// generator itself (ZUMORIA_GEN_JOKES names it, default
// /work/shared/tools/gen_jokes.py).
#include "report/RepBands.h"
#include "report/RepCtrls.h"
#include "report/RepDefinition.h"
#include "report/RepPrinter.h"
#include "report/RepReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

long PeakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QByteArray CollectionBytes(int jokes)
{
    const QByteArray given = qgetenv("ZUMORIA_BENCH_VICC");
    if (!given.isEmpty()) {
        QFile file(QString::fromLocal8Bit(given));
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    QString generator = QString::fromLocal8Bit(qgetenv("ZUMORIA_GEN_JOKES"));
    if (generator.isEmpty())
        generator = QStringLiteral("/work/shared/tools/gen_jokes.py");
    QProcess gen;
    gen.start(QStringLiteral("python3"), {generator, QString::number(jokes)});
    gen.waitForFinished(120000);
    return gen.readAllStandardOutput();
}

// The print list: for each joke its heading (or "*** vicc"), its lines as
// they stand, and "#<number>".
QStringList PrintList(const QByteArray &bytes)
{
    const QString text = QStringDecoder("windows-1250").decode(bytes);
    QStringList list;
    QStringList lines;
    QString heading;
    int number = 0;
    bool first = true;
    auto flush = [&] {
        if (lines.isEmpty() && heading.isEmpty())
            return;
        list << (heading.isEmpty() ? QStringLiteral("*** vicc") : heading);
        list += lines;
        list << QStringLiteral("#%1").arg(++number);
        lines.clear();
        heading.clear();
        first = true;
    };
    for (const QString &line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        if (line.startsWith(QLatin1String("//")))
            continue;
        if (line == QLatin1String("<<")) {
            flush();
            continue;
        }
        if (first && line.startsWith(QLatin1String("##")))
            heading = line.mid(2);
        else if (!line.isEmpty() || !lines.isEmpty())
            lines << line;
        first = false;
    }
    flush();
    return list;
}

// The joke list with its looks, as the program prints it.
class ListReport : public TRepReport
{
public:
    ListReport()
    {
        const QString path = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(
            QStringLiteral("../tests/report/data/joke_list.zrd"));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        LoadReportDefinition(*this, file.readAll(), path);
        Strings = findChild<TRepStringsBand *>(QStringLiteral("RepStringsBand1"));
        Expr = findChild<TRepExpr *>(QStringLiteral("RepExpr"));
        Shape = findChild<TRepShape *>(QStringLiteral("RepShape2"));
    }
    bool BindHandler(TRepControl *component, const QString &, const QString &) override
    {
        static_cast<TRepCustomBand *>(component)->BeforePrint = [this](TRepCustomBand *, bool &) { Look(); };
        return true;
    }
    void Look()
    {
        const QString line = Expr->CurrentValue().Text();
        const QChar c = line.isEmpty() ? QChar() : line.at(0);
        TRepFont font;
        font.Charset = 0;
        if (c == QLatin1Char('*') || c == QLatin1Char('#')) {
            Strings->SetHeight(24);
            Expr->SetLeft(24);
            Expr->SetAlignment(c == QLatin1Char('*') ? TAlignment::taLeftJustify : TAlignment::taRightJustify);
            font.Name = QStringLiteral("Comic Sans MS");
            font.Size = c == QLatin1Char('*') ? 12 : 10;
            font.Bold = true;
            font.Color = c == QLatin1Char('*') ? 0x00FF0000 : 0x000000FF;
            Shape->SetEnabled(c == QLatin1Char('*'));
        } else {
            Strings->SetHeight(19);
            Expr->SetLeft(52);
            Expr->SetAlignment(TAlignment::taLeftJustify);
            font.Name = QStringLiteral("Garamond");
            font.Size = 11;
            font.Color = 0;
            Shape->SetEnabled(false);
        }
        Expr->SetFont(font);
    }
    TRepStringsBand *Strings;
    TRepExpr *Expr;
    TRepShape *Shape;
};

const QStringList &Lines()
{
    static const QStringList lines = PrintList(CollectionBytes(10000));
    return lines;
}

void BM_BandEngine(benchmark::State &state)
{
    const QStringList &all = Lines();
    const QStringList lines = all.mid(0, all.size() * state.range(0) / 100);
    ListReport report;
    report.Strings->SetItems(lines);
    long pages = 0;
    for (auto _ : state) {
        TRepPrinter printer;
        report.GenerateOn(printer);
        pages += printer.PageCount();
    }
    state.counters["lines"] = double(lines.size());
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
    state.counters["peakRSS_MiB"] = double(PeakRssKiB()) / 1024.0;
}
BENCHMARK(BM_BandEngine)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// The Qt peer: the same lines in two columns of an A4 page through QPrinter
// to PDF, heading / number / text fonts as the joke list, no band engine.
void BM_QtPdfPeer(benchmark::State &state)
{
    const QStringList &lines = Lines();
    QTemporaryDir dir;
    long pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("peer.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(10, 10, 10, 16), QPageLayout::Millimeter);
        QPainter painter(&printer);
        const QRect area = painter.viewport();
        const int columnWidth = area.width() / 2;
        QFont heading(QStringLiteral("Comic Sans MS"), 12, QFont::Bold);
        QFont number(QStringLiteral("Comic Sans MS"), 10, QFont::Bold);
        QFont body(QStringLiteral("Garamond"), 11);
        int column = 0;
        int y = 0;
        pages = 1;
        for (const QString &line : lines) {
            const bool isHeading = line.startsWith(QLatin1Char('*'));
            const bool isNumber = !isHeading && line.startsWith(QLatin1Char('#'));
            const int h = isHeading || isNumber ? 24 : 19;
            if (y + h > area.height()) {
                y = 0;
                if (++column == 2) {
                    column = 0;
                    printer.newPage();
                    ++pages;
                }
            }
            painter.setFont(isHeading ? heading : isNumber ? number : body);
            const QRect box(column * columnWidth + (isHeading || isNumber ? 24 : 52), y,
                            columnWidth - 60, h);
            painter.drawText(box, (isNumber ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, line);
            y += h;
        }
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
    state.counters["peakRSS_MiB"] = double(PeakRssKiB()) / 1024.0;
}
BENCHMARK(BM_QtPdfPeer)->Unit(benchmark::kMillisecond)->Iterations(1);

// enscript -2 on the same lines (Latin-2 text, two columns), if installed.
void BM_EnscriptPeer(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("lines.txt"));
    {
        QFile file(input);
        file.open(QIODevice::WriteOnly);
        file.write(QStringEncoder("ISO-8859-2").encode(Lines().join(QLatin1Char('\n'))));
    }
    long pages = 0;
    for (auto _ : state) {
        QProcess enscript;
        enscript.start(QStringLiteral("enscript"),
                       {QStringLiteral("-2"), QStringLiteral("-X"), QStringLiteral("latin2"),
                        QStringLiteral("-o"), dir.filePath(QStringLiteral("out.ps")), input});
        if (!enscript.waitForFinished(300000) || enscript.exitCode() != 0) {
            state.SkipWithError("enscript is not installed");
            return;
        }
        const QString report = QString::fromLocal8Bit(enscript.readAllStandardError());
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("(\\d+) pages?")).match(report);
        pages += m.hasMatch() ? m.captured(1).toLong() : 0;
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EnscriptPeer)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
