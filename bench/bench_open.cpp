// Opening a generated joke file until the first paint of the view, beside a
// QPlainTextEdit loading and painting the same text; the same for the
// folder of the system's fortune collections; and a collection whose missing
// pictures lie in a large folder, opened and dragged, beside the same
// collection without pictures.
//
//   build-bench/bench/bench_open --benchmark_filter=Zumoria/10000
//
// The joke files come from the project's generator (gen_jokes.py), found at
// $ZUMORIA_GEN_JOKES or ../shared/tools/gen_jokes.py beside the source tree.
// peak_rss_MB is the process's peak resident size after the benchmark: run
// one filter per process to read it for one case alone.
#include "ProgramBenchmarks.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Opens path in a shown main window until the view has painted, once per
// iteration; returns the number of jokes on show.
int OpenAndPaint(benchmark::State &state, const QString &path)
{
    Tfrm_Main window;
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.OpenJokeFile(path, true);
        window.sbxMain->repaint();
    }
    return window.sbxMain->JokeCount();
}

void Zumoria(benchmark::State &state)
{
    state.counters["jokes"] = OpenAndPaint(state, GeneratedCollection(int(state.range(0))));
    state.counters["peak_rss_MB"] = PeakRssMB();
}

void PlainTextEditPeer(benchmark::State &state)
{
    const QString path = GeneratedCollection(int(state.range(0)));
    QPlainTextEdit edit;
    edit.resize(522, 330);
    edit.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot read the joke file");
        edit.setPlainText(DecodeText(file.readAll()));
        edit.repaint();
    }
    state.counters["peak_rss_MB"] = PeakRssMB();
}

// The fortune collections of the system (fortunes-min and fortunes-de):
// the whole folder opened until the view has painted its first panels.
const QString FortuneFolder = QStringLiteral("/usr/share/games/fortunes");

void ZumoriaFortuneFolder(benchmark::State &state)
{
    state.counters["jokes"] = OpenAndPaint(state, FortuneFolder);
    state.counters["peak_rss_MB"] = PeakRssMB();
}

// The peer: every file of the folder and of de/ (not the indexes and links)
// read, decoded and painted by a QPlainTextEdit.
void PlainTextEditFortunePeer(benchmark::State &state)
{
    QStringList files;
    for (const QString &folder : {FortuneFolder, FortuneFolder + QStringLiteral("/de")})
        for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
            if (!entry.isSymLink() && entry.suffix() != QLatin1String("dat"))
                files << entry.filePath();
    QPlainTextEdit edit;
    edit.resize(522, 330);
    edit.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QString text;
        for (const QString &path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read a fortune file");
            text += DecodeText(file.readAll());
        }
        edit.setPlainText(text);
        edit.repaint();
    }
    state.counters["files"] = double(files.size());
    state.counters["peak_rss_MB"] = PeakRssMB();
}

BENCHMARK(ZumoriaFortuneFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(PlainTextEditFortunePeer)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A folder of 5,000 other files holding a collection of 20,000 jokes, of
// which `missing` name a picture that is not there (each its own name, some
// written the Windows way); made once per count.
QString CollectionWithMissingPictures(int missing)
{
    static QTemporaryDir dir;
    static bool filled = false;
    if (!filled) {
        for (int i = 0; i < 5000; ++i) {
            QFile other(dir.filePath(QStringLiteral("masik%1.dat").arg(i)));
            other.open(QIODevice::WriteOnly);
        }
        filled = true;
    }
    const QString path = dir.filePath(QStringLiteral("hianyzo%1.vicc").arg(missing));
    if (QFile::exists(path))
        return path;
    QByteArray text;
    for (int k = 0; k < 20000; ++k) {
        text += "##Vicc " + QByteArray::number(k) + "\nElso sor\nMasodik sor\n";
        if (k < missing)
            text += (k % 2 ? ">>kepek\\Nincs" : ">>nincs") + QByteArray::number(k) + ".jpg\n";
        text += "<<\n";
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Opening until the first panels are painted.
void OpenWithMissingPictures(benchmark::State &state)
{
    OpenAndPaint(state, CollectionWithMissingPictures(int(state.range(0))));
}

// Dragging: 100 steps of 15 pixels through the first jokes, each repainted.
void DragOverMissingPictures(benchmark::State &state)
{
    const QString path = CollectionWithMissingPictures(int(state.range(0)));
    Tfrm_Main window;
    window.show();
    window.OpenJokeFile(path, true);
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.sbxMain->SetScrollPosition(0);
        for (int step = 0; step < 100; ++step) {
            window.sbxMain->ScrollBy(15);
            window.sbxMain->repaint();
        }
    }
}

BENCHMARK(OpenWithMissingPictures)->Arg(0)->Arg(6000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(DragOverMissingPictures)->Arg(0)->Arg(6000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(Zumoria)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(PlainTextEditPeer)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    return RunProgramBenchmarks(argc, argv);
}
