// The page store against Qt's PDF writer: typical text pages (60 short
// lines each) stored through the report printer, plain and compressed, read
// back, and the same pages written with QPdfWriter in the same run.
// Counters: pages per second, bytes per page, peak resident memory.
#include "platform/Canvas.h"
#include "report/output/RepPrinter.h"
#include "report/output/detail/RepStream.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

double PeakRssMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

QString LineText(int page, int line)
{
    return QStringLiteral("%1. Egy rövid vicc sora, ami egy oszlopba fér (%2)").arg(line + 1).arg(page);
}

void DrawPage(TRepPrinter &printer, int page)
{
    Canvas &c = *printer.PageCanvas();
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(10);
    c.SetFont(font, Qt::black);
    c.SetPen({Qt::black, 1, CanvasPenStyle::Solid});
    c.MoveTo(printer.ToDeviceX(100), printer.ToDeviceY(150));
    c.LineTo(printer.ToDeviceX(2000), printer.ToDeviceY(150));
    for (int line = 0; line < 60; ++line)
        c.TextOut(printer.ToDeviceX(100), printer.ToDeviceY(200 + line * 45), LineText(page, line));
    c.TextOut(printer.ToDeviceX(2000), printer.ToDeviceY(2900), QStringLiteral("Oldal: %1").arg(page),
              CanvasTextAlign::Right);
}

std::unique_ptr<TRepPrinter> StorePages(int pages, bool compressed)
{
    auto printer = std::make_unique<TRepPrinter>();
    printer->SetCompression(compressed);
    printer->OpenDocument();
    for (int page = 1; page <= pages; ++page) {
        printer->AdvancePage();
        DrawPage(*printer, page);
    }
    printer->CloseDocument();
    return printer;
}

void BM_StorePages(benchmark::State &state)
{
    const int pages = int(state.range(0));
    const bool compressed = state.range(1) != 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        auto printer = StorePages(pages, compressed);
        bytes = printer->PageStore().Stream()->Size();
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["bytes/page"] = double(bytes) / pages;
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_ReadPages(benchmark::State &state)
{
    const int pages = int(state.range(0));
    const bool compressed = state.range(1) != 0;
    auto printer = StorePages(pages, compressed);
    for (auto _ : state)
        for (int page = 1; page <= pages; ++page)
            benchmark::DoNotOptimize(printer->FetchPage(page));
    state.counters["pages/s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_rss_MB"] = PeakRssMb();
}

void BM_QPdfWriter(benchmark::State &state)
{
    const int pages = int(state.range(0));
    QTemporaryDir dir;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QString name = dir.filePath(QStringLiteral("pages.pdf"));
        {
            QPdfWriter writer(name);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setResolution(96);
            QPainter painter(&writer);
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(10);
            painter.setFont(font);
            const double s = 96 / 254.0;
            for (int page = 1; page <= pages; ++page) {
                if (page > 1)
                    writer.newPage();
                painter.drawLine(QPointF(100 * s, 150 * s), QPointF(2000 * s, 150 * s));
                for (int line = 0; line < 60; ++line)
                    painter.drawText(QPointF(100 * s, (200 + line * 45) * s + 12), LineText(page, line));
                painter.drawText(QPointF(1900 * s, 2900 * s + 12), QStringLiteral("Oldal: %1").arg(page));
            }
        }
        bytes = QFile(name).size();
    }
    state.counters["pages/s"] = benchmark::Counter(double(pages) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["bytes/page"] = double(bytes) / pages;
    state.counters["peak_rss_MB"] = PeakRssMb();
}

} // namespace

// Store runs first, smallest first, so the peak memory they show is theirs.
BENCHMARK(BM_StorePages)->Args({100, 0})->Args({1000, 0})->Args({5000, 0})->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ReadPages)->Args({1000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QPdfWriter)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
