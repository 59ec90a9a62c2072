#pragma once
// The main of a benchmark that runs the program's own code: the offscreen
// platform, the application set up as the program sets it up (font
// substitutions, resources), error boxes written to stderr, then every
// registered benchmark.
#include "app/Program.h"
#include "platform/AppError.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <ctime>

// A folder for the benchmark's files, removed when the program ends.
inline QTemporaryDir &BenchWorkDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A collection of jokes jokes made with the project's generator
// ($ZUMORIA_GEN_JOKES, else ../shared/tools/gen_jokes.py beside the source
// tree) in BenchWorkDir, once per process: benchmarks only read it.
inline QString GeneratedCollection(int jokes)
{
    const QString path = BenchWorkDir().filePath(QStringLiteral("jokes%1.vicc").arg(jokes));
    if (QFileInfo::exists(path))
        return path;
    QString generator = qEnvironmentVariable("ZUMORIA_GEN_JOKES");
    if (generator.isEmpty())
        generator = QStringLiteral(ZUMORIA_SOURCE_DIR "/../shared/tools/gen_jokes.py");
    if (QProcess::execute(QStringLiteral("python3"),
                          {generator, QString::number(jokes), QStringLiteral("-o"), path})
        != 0)
        qFatal("cannot run the joke generator %s", qPrintable(generator));
    return path;
}

// The collection named by the environment variable, else a generated one.
inline QString GeneratedCollection(const char *variable, int jokes)
{
    const QString given = qEnvironmentVariable(variable);
    return given.isEmpty() ? GeneratedCollection(jokes) : given;
}

// The process's peak resident size so far, in megabytes.
inline double PeakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// CPU seconds of the whole process so far.
inline double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

inline int RunProgramBenchmarks(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StartApplication();
    SetErrorBoxSink([](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// RunProgramBenchmarks for benchmarks that make main windows: their settings
// and recent files go to a folder of their own, not to the user's.
inline int RunProgramBenchmarksInPrivateHome(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    return RunProgramBenchmarks(argc, argv);
}
