// The band engine on a long joke list: the print list of a 10,000-joke
// collection (about 60,000 lines, about 1,100 pages in two columns) is
// generated into the page store, next to two peers on the same lines: a
// small Qt program that sets them in two columns through QPrinter to PDF,
// and enscript -2 (when installed).
//
// The collection comes from shared/tools/gen_jokes.py; point
// ZUMORIA_BENCH_VICC at a generated file, or the benchmark runs the
// generator itself (ZUMORIA_GEN_JOKES names it, default
// ../shared/tools/gen_jokes.py beside the source tree). The engine's run is the program's own
// joke-list report on the program's own print list.
#include "ProgramBenchmarks.h"
#include "PeerPdfList.h"
#include "app/ListaNyom.h"
#include "report/output/RepPrinter.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// The print list of the collection, as the printer button makes it.
const QStringList &Lines()
{
    static const QStringList lines =
        PrintListOf(PrintJokesOf(ReadJokeCollection(GeneratedCollection("ZUMORIA_BENCH_VICC", 10000)).Jokes));
    return lines;
}

void BM_BandEngine(benchmark::State &state)
{
    const QStringList &all = Lines();
    TrepLista report;
    report.SetPrintList(QStringLiteral("jokes.vicc"), all.mid(0, all.size() * state.range(0) / 100));
    long pages = 0;
    for (auto _ : state) {
        TRepPrinter printer;
        report.RenderInto(printer);
        pages += printer.PageCount();
    }
    state.counters["lines"] = double(all.size() * state.range(0) / 100);
    state.counters["pages"] = double(pages);
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
    state.counters["peakRSS_MiB"] = PeakRssMB();
}
BENCHMARK(BM_BandEngine)->Arg(25)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1);

// The Qt peer: the same lines through QPrinter to PDF (PeerPdfList.h).
void BM_QtPdfPeer(benchmark::State &state)
{
    QTemporaryDir dir;
    long pages = 0;
    for (auto _ : state)
        pages += PrintPeerPdfList(dir.filePath(QStringLiteral("peer.pdf")), QStringLiteral("jokes.vicc"), Lines());
    state.counters["pages"] = double(pages);
    state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate);
    state.counters["peakRSS_MiB"] = PeakRssMB();
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
    return RunProgramBenchmarks(argc, argv);
}
