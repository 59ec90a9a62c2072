// Report expressions: evaluating precompiled expressions and compiling them,
// with muParser evaluating the same arithmetic in the same run for
// comparison. Run with --benchmark_repetitions=5 for medians.

#include "report/expr/RepExpr.h"

#include <QLocale>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <muParser.h>

namespace {

const char *const Arithmetic = "(a + 2) * b - c / 4";

struct Entries
{
    Entries()
    {
        QLocale::setDefault(QLocale::c());
        env.DefineEntry(QStringLiteral("a"), QStringLiteral("3"));
        env.DefineEntry(QStringLiteral("b"), QStringLiteral("5"));
        env.DefineEntry(QStringLiteral("c"), QStringLiteral("8"));
        env.DefineEntry(QStringLiteral("first"), QStringLiteral("'Hungarian'"));
        env.DefineEntry(QStringLiteral("last"), QStringLiteral("'joke'"));
        env.CompileEntries();
    }
    TRepEvEnvironment env;
};

void ZumoriaArithmetic(benchmark::State &state)
{
    Entries e;
    TRepEvaluator ev;
    ev.SetEnvironment(&e.env);
    ev.CompileExpression(QString::fromLatin1(Arithmetic));
    double sum = 0;
    for (auto _ : state) {
        const EvalResult r = ev.ComputeResult();
        sum += r.AsFloat();
        benchmark::DoNotOptimize(sum);
    }
    if (sum / double(state.iterations()) != 23)
        state.SkipWithError("wrong value");
}
BENCHMARK(ZumoriaArithmetic);

void MuParserArithmetic(benchmark::State &state)
{
    double a = 3, b = 5, c = 8;
    mu::Parser p;
    p.DefineVar("a", &a);
    p.DefineVar("b", &b);
    p.DefineVar("c", &c);
    p.SetExpr(Arithmetic);
    double sum = 0;
    for (auto _ : state) {
        sum += p.Eval();
        benchmark::DoNotOptimize(sum);
    }
    if (sum / double(state.iterations()) != 23)
        state.SkipWithError("wrong value");
}
BENCHMARK(MuParserArithmetic);

void ZumoriaConcatenation(benchmark::State &state)
{
    Entries e;
    TRepEvaluator ev;
    ev.SetEnvironment(&e.env);
    ev.CompileExpression(QStringLiteral("first + ' ' + last + '!'"));
    int length = 0;
    for (auto _ : state) {
        const EvalResult r = ev.ComputeResult();
        length += r.TextLength();
        benchmark::DoNotOptimize(length);
    }
    if (length / state.iterations() != 15)
        state.SkipWithError("wrong value");
}
BENCHMARK(ZumoriaConcatenation);

QStringList ThousandExpressions()
{
    const QStringList shapes = {
        QStringLiteral("(a + %1) * b - c / 4"),
        QStringLiteral("IF(a > %1, 'big', 'small')"),
        QStringLiteral("first + ' ' + STR(%1) + last"),
        QStringLiteral("SUM(a * %1) + COUNT"),
        QStringLiteral("FORMATNUMERIC('#,##0.00', %1.5 * c)"),
    };
    QStringList all;
    for (int i = 0; i < 1000; ++i)
        all.append(shapes[i % shapes.size()].arg(i));
    return all;
}

void ZumoriaCompileThousand(benchmark::State &state)
{
    Entries e;
    const QStringList expressions = ThousandExpressions();
    TRepEvaluator ev;
    ev.SetEnvironment(&e.env);
    for (auto _ : state)
        for (const QString &text : expressions)
            ev.CompileExpression(text);
}
BENCHMARK(ZumoriaCompileThousand)->Unit(benchmark::kMicrosecond);

void MuParserCompileThousand(benchmark::State &state)
{
    // muParser parses on the first evaluation after SetExpr.
    double a = 3, b = 5, c = 8;
    mu::Parser p;
    p.DefineVar("a", &a);
    p.DefineVar("b", &b);
    p.DefineVar("c", &c);
    std::vector<std::string> expressions;
    for (int i = 0; i < 1000; ++i)
        expressions.push_back("(a + " + std::to_string(i) + ") * b - c / 4");
    for (auto _ : state)
        for (const std::string &text : expressions) {
            p.SetExpr(text);
            benchmark::DoNotOptimize(p.Eval());
        }
}
BENCHMARK(MuParserCompileThousand)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
