// Finding as the reader types, on a generated collection of 100,000 jokes
// (gen_jokes.py 100000, about 44 MB) with one word planted in joke #77,777:
// every keystroke of a word typed into the find bar of a shown main window,
// timed from the key to the repainted view; the search alone per keystroke;
// beside it the naive search over the jokes' lines (QString::indexOf without
// regard to case, counting every match), and the folding of the collection
// that the first keystroke after opening the bar waits for.
//
//   build-bench/bench/bench_find
//
// The joke file comes from the project's generator, found at
// $ZUMORIA_GEN_JOKES or ../shared/tools/gen_jokes.py beside the source tree.
#include "ProgramBenchmarks.h"
#include "app/FindBar.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/ReaderNavigation.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

namespace {

constexpr int JokeCount = 100000;
constexpr int PlantedJoke = 77777;

// The words typed, letter by letter: a frequent one, the planted one (with
// and without its accents) and one found nowhere.
struct Word
{
    const char *name;
    const char *text;
    bool ignoreAccents;
};
const Word Words[] = {
    {"frequent", "a tanító", false},
    {"planted", "Szörnyeteg", false},
    {"planted_no_accents", "szornyeteg", true},
    {"nowhere", "xylofon", false},
};

// The generated collection with "Szörnyeteg" on a line of its own at the
// end of the planted joke (made once per process).
QString Collection()
{
    static QString path;
    if (!path.isEmpty())
        return path;
    QFile generated(GeneratedCollection(JokeCount));
    generated.open(QIODevice::ReadOnly);
    QByteArray bytes = generated.readAll();
    path = BenchWorkDir().filePath(QStringLiteral("planted.vicc"));
    QFile file(path);
    qsizetype at = -1;
    for (int k = 0; k < PlantedJoke; ++k)
        at = bytes.indexOf("\r\n<<\r\n", at + 1);
    bytes.insert(at, "\r\nEgyszer volt egy Sz\xf6rnyeteg"); // cp1250 ö
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

// The main window on the collection, shown once per process.
Tfrm_Main &Window()
{
    static Tfrm_Main *window = [] {
        auto *w = new Tfrm_Main;
        w->show();
        w->OpenJokeFile(Collection(), true);
        QCoreApplication::processEvents();
        return w;
    }();
    return *window;
}

// Times of single keys, reported as the iteration's mean and as counters.
class KeyTimes
{
public:
    double Time(const std::function<void()> &key)
    {
        QElapsedTimer clock;
        clock.start();
        key();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        FKeys.push_back(ms);
        return ms;
    }
    void Report(benchmark::State &state)
    {
        std::sort(FKeys.begin(), FKeys.end());
        state.counters["key_max_ms"] = FKeys.back();
        state.counters["key_median_ms"] = FKeys[FKeys.size() / 2];
    }

private:
    std::vector<double> FKeys;
};

// Types word into the open find bar of a view at the top, one key at a time;
// each key is timed until the view has repainted.
void Keystrokes(benchmark::State &state)
{
    const Word &word = Words[state.range(0)];
    Tfrm_Main &window = Window();
    TFindBar &bar = *window.Reader->pnlKereses;
    bar.Open();
    bar.SetIgnoreAccents(word.ignoreAccents);
    const QString text = QString::fromUtf8(word.text);
    KeyTimes keys;
    for (auto _ : state) {
        bar.edtKereses->clear();
        window.sbxMain->SetScrollPosition(0);
        QCoreApplication::processEvents();
        double total = 0;
        for (const QChar letter : text) {
            total += keys.Time([&] {
                // The key as the window system hands it over, whatever letter it is.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
                QApplication::sendEvent(bar.edtKereses, &press);
                window.sbxMain->repaint();
            });
        }
        state.SetIterationTime(total / 1000.0 / double(text.size()));
    }
    keys.Report(state);
    state.counters["top_joke"] = window.sbxMain->TopJoke() + 1;
}

// The search alone for each prefix of the word, as typing asks for it.
void SearchAlone(benchmark::State &state)
{
    const Word &word = Words[state.range(0)];
    TJokeSearch search(Window().sbxMain->Jokes(), false, {true, word.ignoreAccents});
    const QString text = QString::fromUtf8(word.text);
    KeyTimes keys;
    for (auto _ : state) {
        double total = 0;
        for (qsizetype n = 1; n <= text.size(); ++n)
            total += keys.Time([&] { search.Find(text.first(n), 0); });
        state.SetIterationTime(total / 1000.0 / double(text.size()));
    }
    keys.Report(state);
    state.counters["matches"] = double(search.Count());
}

// The peer: each prefix looked for in every line of every joke with
// QString::indexOf without regard to case, every match counted.
void NaivePeer(benchmark::State &state)
{
    const Word &word = Words[state.range(0)];
    const std::vector<JokeEntry> &jokes = Window().sbxMain->Jokes();
    const QString text = QString::fromUtf8(word.text);
    KeyTimes keys;
    qint64 matches = 0;
    for (auto _ : state) {
        double total = 0;
        for (qsizetype n = 1; n <= text.size(); ++n) {
            const QString prefix = text.first(n);
            total += keys.Time([&] {
                matches = 0;
                for (const JokeEntry &joke : jokes)
                    for (const QString &line : joke.lines)
                        for (qsizetype at = line.indexOf(prefix, 0, Qt::CaseInsensitive); at >= 0;
                             at = line.indexOf(prefix, at + n, Qt::CaseInsensitive))
                            ++matches;
            });
        }
        state.SetIterationTime(total / 1000.0 / double(text.size()));
    }
    keys.Report(state);
    state.counters["matches"] = double(matches);
}

// Folding the whole collection: what opening the bar (or ticking the accents
// box) costs once.
void Folding(benchmark::State &state)
{
    const std::vector<JokeEntry> &jokes = Window().sbxMain->Jokes();
    for (auto _ : state) {
        TJokeSearch search(jokes, false, {true, state.range(0) != 0});
        benchmark::DoNotOptimize(search.JokeCount());
    }
}

// Wrapping long lines: the whole collection laid out anew for a width of
// the view, as a resize of the window with wrapping on does.
void WrapLayout(benchmark::State &state)
{
    Tfrm_Main &window = Window();
    TJokeView &view = *window.sbxMain;
    view.SetWrapLines(true);
    int step = 0;
    for (auto _ : state) {
        // Widths a character apart, so every step has other rows.
        view.resize(500 + 9 * (++step % 20), view.height());
    }
    state.counters["columns"] = view.WrapColumns();
    view.SetWrapLines(false);
}

} // namespace

BENCHMARK(WrapLayout)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(Folding)->ArgName("accents_ignored")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()
    ->Iterations(3);
BENCHMARK(Keystrokes)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(SearchAlone)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(NaivePeer)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

int main(int argc, char **argv)
{
    return RunProgramBenchmarks(argc, argv);
}
