// The preview and the PDF export of the joke list on a long collection
// (gen_jokes.py 10000), with the real joke-list report and the real standard
// preview window on the offscreen platform.
//
//   PrinterButton  the main window on the collection; from the printer
//                  button's handler until page 1 is painted in the preview
//                  (its page-available notice handled and the page image
//                  painted), and until the last page is stored; then, in the
//                  finished preview, 100 flips to random pages (go to the
//                  page and paint the visible image): median and worst.
//   ExportAgainstPeer
//                  `zumoria --export-pdf OUT FILE` and peer_pdf_list (a
//                  small Qt program that sets the same print-list lines in
//                  two columns straight onto QPrinter's PDF output), one
//                  after the other in every repetition, each a child
//                  process: wall and CPU time (wait4's rusage), peak
//                  resident size (/usr/bin/time's %M), pages, bytes per
//                  page, and the ratio of pages per CPU second.
//   ExportScaling  the export of the collection and of one ten times as
//                  long: pages per CPU second of each and their ratio.
//   ExportSteps    the export's steps in this process: the run into the
//                  page store, the stored pages written as PDF, and the
//                  same pages written through Qt's PDF engine (QPdfWriter,
//                  the writer of every page before), with bytes per page.
//
// The collection: $ZUMORIA_BENCH_VICC, else made with the project's
// generator ($ZUMORIA_GEN_JOKES, else ../shared/tools/gen_jokes.py beside the
// source tree); the long one ($ZUMORIA_BENCH_VICC_LONG) is made with the
// generator at ten times the jokes.
#include "ProgramBenchmarks.h"
#include "app/JokeView.h"
#include "app/ListaNyom.h"
#include "app/Main.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPdfExport.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "report/output/RepPrinter.h"
#include "report/output/detail/RepPdfWriter.h"
#include "report/preview/RepStandardPreview.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

QString Collection()
{
    static const QString path = GeneratedCollection("ZUMORIA_BENCH_VICC", 10000);
    return path;
}

QString LongCollection()
{
    static const QString path = GeneratedCollection("ZUMORIA_BENCH_VICC_LONG", 100000);
    return path;
}

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

using Steady = std::chrono::steady_clock;

double Seconds(Steady::time_point from, Steady::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

TRepStandardPreview *OpenPreview()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *preview = dynamic_cast<TRepStandardPreview *>(w); preview && preview->isVisible())
            return preview;
    return nullptr;
}

// Watches one printer-button run from the application's event filter: the
// first paint of page 1 (delivered here so its time includes the painting)
// and the first notice of the finished printer; then flips through the
// finished preview and closes it.
class RunWatch : public QObject
{
public:
    Steady::time_point start;
    double startCpu = 0;
    double page1Wall = -1, page1Cpu = -1, lastWall = -1, lastCpu = -1;
    int pagesAtPage1 = 0, pages = 0;
    QSize imageSize; // the page image's size in the finished preview
    std::vector<double> flips, flipsCpu; // seconds, wall and CPU

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && page1Wall < 0 && !FDelivering)
            return PaintOfPage1(watched, event);
        if (event->type() == RepPageAvailableNotice() && lastWall < 0)
            NoteFinished(watched);
        return false;
    }

private:
    bool PaintOfPage1(QObject *watched, QEvent *event)
    {
        auto *image = dynamic_cast<TRepPreviewImage *>(watched);
        if (!image || !image->PagePresent() || image->PageNumber() != 1)
            return false;
        FDelivering = true;
        QCoreApplication::sendEvent(watched, event);
        FDelivering = false;
        page1Wall = Seconds(start, Steady::now());
        page1Cpu = ProcessCpuSeconds() - startCpu;
        pagesAtPage1 = image->Printer() ? image->Printer()->PageCount() : 0;
        return true;
    }

    void NoteFinished(QObject *watched)
    {
        auto *control = dynamic_cast<TRepPreview *>(watched);
        if (!control || !control->ShownPrinter() || control->ShownPrinter()->Status() != TRepPrinter::StatusFinished)
            return;
        lastWall = Seconds(start, Steady::now());
        lastCpu = ProcessCpuSeconds() - startCpu;
        pages = control->ShownPrinter()->PageCount();
        QTimer::singleShot(0, this, [this] { FlipAndClose(); });
    }

    void FlipAndClose()
    {
        // The store is closed when the report is idle again.
        if (!JokeListReport().Idle()) {
            QTimer::singleShot(1, this, [this] { FlipAndClose(); });
            return;
        }
        TRepStandardPreview *preview = OpenPreview();
        if (!preview)
            return;
        TRepPreview *control = preview->RepPreview();
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> anyPage(1, std::max(1, pages));
        for (int i = 0; i < 100; ++i) {
            int n = anyPage(random);
            while (pages > 1 && n == control->PageNumber())
                n = anyPage(random);
            const auto t0 = Steady::now();
            const double cpu0 = ThreadCpuSeconds();
            control->SetPageNumber(n);
            control->Image()->repaint();
            flips.push_back(Seconds(t0, Steady::now()));
            flipsCpu.push_back(ThreadCpuSeconds() - cpu0);
        }
        imageSize = control->Image()->size();
        preview->close();
    }

    bool FDelivering = false;
};

double Median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void PrinterButton(benchmark::State &state)
{
    static Tfrm_Main *window = nullptr;
    if (!window) {
        window = new Tfrm_Main(Collection());
        window->show();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        RunWatch watch;
        qApp->installEventFilter(&watch);
        watch.start = Steady::now();
        watch.startCpu = ProcessCpuSeconds();
        window->tbNyomtatClick();
        qApp->removeEventFilter(&watch);
        if (watch.page1Wall < 0 || watch.lastWall < 0 || watch.flips.empty()) {
            state.SkipWithError("the preview did not show the joke list");
            return;
        }
        state.SetIterationTime(watch.lastWall);
        state.counters["page1_s"] = watch.page1Wall;
        state.counters["page1_cpu_s"] = watch.page1Cpu;
        state.counters["stored_at_page1"] = watch.pagesAtPage1;
        state.counters["last_page_s"] = watch.lastWall;
        state.counters["last_page_cpu_s"] = watch.lastCpu;
        state.counters["pages"] = watch.pages;
        state.counters["image_w"] = watch.imageSize.width();
        state.counters["image_h"] = watch.imageSize.height();
        state.counters["flip_median_ms"] = Median(watch.flips) * 1000;
        state.counters["flip_worst_ms"] = *std::max_element(watch.flips.begin(), watch.flips.end()) * 1000;
        state.counters["flip_cpu_median_ms"] = Median(watch.flipsCpu) * 1000;
        state.counters["flip_cpu_worst_ms"] = *std::max_element(watch.flipsCpu.begin(), watch.flipsCpu.end()) * 1000;
    }
    state.counters["jokes"] = window->sbxMain->JokeCount();
}

struct ChildRun
{
    double wall = 0, cpu = 0, peakMB = 0;
    int status = -1;
};

// Runs program with args to its end under /usr/bin/time. Wall and CPU time
// come from wait4; the peak resident size from time's own report, as a
// child started from this big process inherits this process's peak until
// its exec (Linux keeps the larger of the two), while time is small.
ChildRun RunChild(const QString &program, const QStringList &args)
{
    const QString peakFile = BenchWorkDir().filePath(QStringLiteral("peak.txt"));
    QStringList all{QStringLiteral("/usr/bin/time"), QStringLiteral("-f"), QStringLiteral("%M"),
                    QStringLiteral("-o"), peakFile, program};
    all += args;
    std::vector<QByteArray> bytes;
    for (const QString &a : all)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    ChildRun run;
    const auto t0 = Steady::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.wall = Seconds(t0, Steady::now());
    run.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    QFile peak(peakFile);
    if (peak.open(QIODevice::ReadOnly))
        run.peakMB = peak.readAll().trimmed().split('\n').last().toDouble() / 1024.0;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// pdfinfo's page count of a PDF file, -1 when it cannot tell.
int PdfPages(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(60000))
        return -1;
    for (const QByteArray &line : info.readAllStandardOutput().split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// One run of a program writing a PDF: the child's figures and the file's.
struct PdfRun
{
    ChildRun child;
    int pages = -1;
    qint64 bytes = 0;
    double PagesPerCpuSecond() const { return child.cpu > 0 ? pages / child.cpu : 0; }
    double BytesPerPage() const { return pages > 0 ? double(bytes) / pages : 0; }
};

PdfRun RunPdfChild(const QString &program, const QStringList &args, const QString &out)
{
    QFile::remove(out);
    PdfRun run;
    run.child = RunChild(program, args);
    if (run.child.status == 0 && QFileInfo::exists(out)) {
        run.pages = PdfPages(out);
        run.bytes = QFileInfo(out).size();
    }
    return run;
}

PdfRun ExportOf(const QString &collection)
{
    const QString out = BenchWorkDir().filePath(QStringLiteral("zumoria.pdf"));
    return RunPdfChild(QStringLiteral(ZUMORIA_PROGRAM), {QStringLiteral("--export-pdf"), out, collection}, out);
}

void Report(benchmark::State &state, const char *who, const PdfRun &run)
{
    const std::string name(who);
    state.counters[name + "_cpu_s"] = run.child.cpu;
    state.counters[name + "_peak_MB"] = run.child.peakMB;
    state.counters[name + "_pages"] = run.pages;
    state.counters[name + "_pages_per_cpu_s"] = run.PagesPerCpuSecond();
    state.counters[name + "_bytes_per_page"] = run.BytesPerPage();
}

void ExportAgainstPeer(benchmark::State &state)
{
    const QString peerOut = BenchWorkDir().filePath(QStringLiteral("peer.pdf"));
    for (auto _ : state) {
        const PdfRun mine = ExportOf(Collection());
        const PdfRun peer = RunPdfChild(QStringLiteral(ZUMORIA_PEER), {peerOut, Collection()}, peerOut);
        if (mine.pages < 1 || peer.pages < 1) {
            state.SkipWithError("a child process failed");
            return;
        }
        state.SetIterationTime(mine.child.wall);
        Report(state, "zumoria", mine);
        Report(state, "peer", peer);
        state.counters["speed_ratio"] = mine.PagesPerCpuSecond() / peer.PagesPerCpuSecond();
        state.counters["memory_ratio"] = mine.child.peakMB / peer.child.peakMB;
    }
}

void ExportScaling(benchmark::State &state)
{
    for (auto _ : state) {
        const PdfRun shorter = ExportOf(Collection());
        const PdfRun longer = ExportOf(LongCollection());
        if (shorter.pages < 1 || longer.pages < 1) {
            state.SkipWithError("the export failed");
            return;
        }
        state.SetIterationTime(longer.child.wall);
        Report(state, "short", shorter);
        Report(state, "long", longer);
        state.counters["long_to_short_speed"] = longer.PagesPerCpuSecond() / shorter.PagesPerCpuSecond();
    }
}

// Where the export's time goes, in this process: the joke list run into the
// page store, then the stored pages written as PDF.
void ExportSteps(benchmark::State &state)
{
    const QString collection = Collection();
    const QString out = BenchWorkDir().filePath(QStringLiteral("steps.pdf"));
    const QString qtOut = BenchWorkDir().filePath(QStringLiteral("steps-qt.pdf"));
    for (auto _ : state) {
        const auto t0 = Steady::now();
        const double cpu0 = ProcessCpuSeconds();
        TRepPrinter printer;
        {
            TrepLista report;
            report.SetPrintList(collection, PrintListOf(PrintJokesOf(ReadJokeCollection(collection).Jokes)));
            report.RenderInto(printer);
        }
        const auto t1 = Steady::now();
        const double cpu1 = ProcessCpuSeconds();
        TRepPdfExportFilter(out).WritePages(printer);
        const auto t2 = Steady::now();
        const double cpu2 = ProcessCpuSeconds();
        {
            QFile file(qtOut);
            file.open(QIODevice::WriteOnly);
            std::vector<int> all;
            for (int n = 1; n <= printer.PageCount(); ++n)
                all.push_back(n);
            WritePdfThroughQt(file, printer.Title(), all, [&printer](int n) { return printer.FetchPage(n); });
        }
        const double cpu3 = ProcessCpuSeconds();
        const int pages = printer.PageCount();
        state.SetIterationTime(Seconds(t0, t2));
        state.counters["store_s"] = Seconds(t0, t1);
        state.counters["store_cpu_s"] = cpu1 - cpu0;
        state.counters["pdf_s"] = Seconds(t1, t2);
        state.counters["pdf_cpu_s"] = cpu2 - cpu1;
        state.counters["qt_pdf_cpu_s"] = cpu3 - cpu2;
        state.counters["pages"] = pages;
        state.counters["bytes_per_page"] = double(QFileInfo(out).size()) / pages;
        state.counters["qt_bytes_per_page"] = double(QFileInfo(qtOut).size()) / pages;
        state.counters["size_ratio"] = double(QFileInfo(out).size()) / double(QFileInfo(qtOut).size());
    }
}

BENCHMARK(PrinterButton)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(3);
BENCHMARK(ExportAgainstPeer)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(5);
BENCHMARK(ExportScaling)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(2);
BENCHMARK(ExportSteps)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1)->Repetitions(2);

} // namespace

int main(int argc, char **argv)
{
    return RunProgramBenchmarksInPrivateHome(argc, argv);
}
