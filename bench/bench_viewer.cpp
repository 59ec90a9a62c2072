// The preview as a reader of a long joke list, with the real joke-list
// report and the real standard preview window on the offscreen platform.
//
//   SearchAsPagesArrived  the list of gen_jokes.py 10000 (1,414 pages)
//                  with "Zebrapinty" in its last line and nowhere else,
//                  run into a printer that a preview window shows, so the
//                  window's text index takes each page as it is announced.
//                  Timed: from the find bar's search for "zebrapinty" until
//                  the last page, where it is, is painted with the word
//                  marked. Beside it what the index cost: the same pages
//                  indexed again in one go, per page, and its bytes.
//   SearchLoadedFile  the same pages saved and loaded into a new window,
//                  whose first search must read the text of every page
//                  first: the same search, the same end.
//   ThumbnailMemory  the list of gen_jokes.py 100000 (about 14,000 pages)
//                  in a preview window with the thumbnail column shown,
//                  scrolled from the first page to the last a column's
//                  height at a time, each step painted and its pictures
//                  rendered: the heap it holds afterwards (and the resident
//                  size it added), the bytes of the pictures kept against
//                  what every picture would take, the pictures rendered and
//                  their time.
//
// The collections: $ZUMORIA_BENCH_VICC and $ZUMORIA_BENCH_VICC_LONG, else
// made with the project's generator ($ZUMORIA_GEN_JOKES, else
// ../shared/tools/gen_jokes.py beside the source tree).
#include "ProgramBenchmarks.h"
#include "app/JokeCollection.h"
#include "app/ListaNyom.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepPreview.h"
#include "report/preview/RepStandardPreview.h"
#include "report/preview/detail/RepFindBar.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "report/preview/detail/RepThumbnailPanel.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <malloc.h>
#include <memory>

namespace {

const QString Planted = QStringLiteral("Zebrapinty");

using Steady = std::chrono::steady_clock;

double Seconds(Steady::time_point from)
{
    return std::chrono::duration<double>(Steady::now() - from).count();
}


// Bytes the heap has handed out and not got back, in megabytes: what the
// program holds, whether or not freed memory went back to the system.
double HeapInUseMB()
{
    return double(mallinfo2().uordblks) / (1024 * 1024);
}

// A field of /proc/self/status in megabytes (VmRSS, VmHWM).
double StatusMB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

// A preview window of its own on printer, not maximised.
std::unique_ptr<TRepStandardPreview> Window(TRepPrinter &printer)
{
    auto window = std::make_unique<TRepStandardPreview>(nullptr, &printer);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowState(Qt::WindowNoState);
    window->resize(1000, 760);
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// The joke list of collection (with the planted word in a last line of its
// own when asked) run into printer while window shows it.
void RunList(const QString &collection, bool plant, TRepPrinter &printer)
{
    QStringList lines = PrintListOf(PrintJokesOf(ReadJokeCollection(collection).Jokes));
    if (plant)
        lines << QStringLiteral("A végén ott a %1 is.").arg(Planted);
    TrepLista report;
    report.SetPrintList(collection, lines);
    report.RenderInto(printer);
}

// Searches for the planted word in window and paints its page: wall and CPU
// seconds, and whether the page on show is the last and holds the mark.
struct Found
{
    double wall = 0, cpu = 0;
    bool right = false;
};

Found SearchPlanted(TRepStandardPreview &window)
{
    const auto t0 = Steady::now();
    const double cpu0 = ProcessCpuSeconds();
    window.FindBar()->Search(Planted.toLower());
    window.RepPreview()->Image()->repaint();
    Found found{Seconds(t0), ProcessCpuSeconds() - cpu0, false};
    found.right = window.RepPreview()->PageNumber() == window.Printer()->PageCount()
                  && window.RepPreview()->Image()->Highlights().size() == 1;
    return found;
}

struct Pages
{
    TRepPrinter printer;
    std::unique_ptr<TRepStandardPreview> window;
    QString saved;
};

Pages &TenThousandJokes()
{
    static Pages *pages = nullptr;
    if (!pages) {
        pages = new Pages;
        pages->window = Window(pages->printer);
        RunList(GeneratedCollection("ZUMORIA_BENCH_VICC", 10000), true, pages->printer);
        QCoreApplication::processEvents();
        pages->saved = BenchWorkDir().filePath(QStringLiteral("list.zrp"));
        pages->printer.SaveReportFile(pages->saved);
    }
    return *pages;
}

void SearchAsPagesArrived(benchmark::State &state)
{
    Pages &pages = TenThousandJokes();
    for (auto _ : state) {
        pages.window->FindBar()->Search(QString()); // no search, the page on show stays
        pages.window->RepPreview()->SetPageNumber(1);
        const Found found = SearchPlanted(*pages.window);
        if (!found.right) {
            state.SkipWithError("the planted word was not shown");
            return;
        }
        state.SetIterationTime(found.wall);
        state.counters["cpu_ms"] = found.cpu * 1000;
    }
    TRepPageTextIndex again;
    const auto t0 = Steady::now();
    again.CatchUp(pages.printer);
    state.counters["pages"] = again.PageCount();
    state.counters["index_us_per_page"] = Seconds(t0) * 1e6 / again.PageCount();
    state.counters["index_bytes_per_page"] = double(again.Bytes()) / again.PageCount();
}

void SearchLoadedFile(benchmark::State &state)
{
    const QString saved = TenThousandJokes().saved;
    for (auto _ : state) {
        TRepPrinter printer;
        printer.LoadReportFile(saved);
        std::unique_ptr<TRepStandardPreview> window = Window(printer);
        const Found found = SearchPlanted(*window);
        if (!found.right) {
            state.SkipWithError("the planted word was not shown");
            return;
        }
        state.SetIterationTime(found.wall);
        state.counters["cpu_ms"] = found.cpu * 1000;
        state.counters["pages"] = printer.PageCount();
    }
}

void ThumbnailMemory(benchmark::State &state)
{
    for (auto _ : state) {
        TRepPrinter printer;
        std::unique_ptr<TRepStandardPreview> window = Window(printer);
        RunList(GeneratedCollection("ZUMORIA_BENCH_VICC_LONG", 100000), false, printer);
        QCoreApplication::processEvents();
        TRepThumbnailPanel &column = *window->Thumbnails();
        const double heapBefore = HeapInUseMB();
        const double before = StatusMB("VmRSS:");
        const auto t0 = Steady::now();
        window->ThumbnailsClick();
        QScrollBar &bar = *column.verticalScrollBar();
        for (int at = 0;; at = std::min(at + bar.pageStep(), bar.maximum())) {
            bar.setValue(at);
            column.viewport()->repaint();
            column.RenderPending();
            if (at == bar.maximum())
                break;
        }
        const double seconds = Seconds(t0);
        if (column.RenderedPages().size() != size_t(column.PageCount())) {
            state.SkipWithError("not every picture was rendered");
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["pages"] = column.PageCount();
        state.counters["rendered"] = column.Renderings();
        state.counters["ms_per_picture"] = seconds * 1000 / column.Renderings();
        state.counters["added_heap_MB"] = HeapInUseMB() - heapBefore;
        state.counters["added_rss_MB"] = StatusMB("VmRSS:") - before;
        state.counters["cached_MB"] = double(column.CachedBytes()) / (1024 * 1024);
        state.counters["budget_MB"] = double(column.Budget()) / (1024 * 1024);
        state.counters["all_pictures_MB"] = double(column.CachedBytes())
                                            / std::max<qint64>(1, qint64(column.CachedCount()))
                                            * column.PageCount() / (1024 * 1024);
    }
}

BENCHMARK(SearchAsPagesArrived)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(9);
BENCHMARK(SearchLoadedFile)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5);
BENCHMARK(ThumbnailMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(1);

} // namespace

int main(int argc, char **argv)
{
    return RunProgramBenchmarksInPrivateHome(argc, argv);
}
