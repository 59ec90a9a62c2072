#pragma once
// The main of a benchmark that runs the program's own code: the offscreen
// platform, the application set up as the program sets it up (font
// substitutions, resources), error boxes written to stderr, then every
// registered benchmark.
#include "app/Program.h"
#include "platform/AppError.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cstdio>

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
