// Program block: handles the options that need no window, then starts the
// GUI with the main window on the joke file named on the command line and
// the joke-list report.
#include "app/BatchExport.h"
#include "app/FindJokes.h"
#include "app/ListaNyom.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/RandomJoke.h"
#include "platform/DataLocations.h"
#include "platform/Paths.h"

#include <QApplication>
#include <cstdio>

namespace {

// The joke list written to a file without any window: the offscreen
// platform at its fixed density of 96 pixels per inch, whatever the
// environment asks for, so the output is the same on every machine. No
// widget is made, so the application is a GUI one without widgets.
int RunExport(const CommandLine &command, char *program)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    for (const char *name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_USE_PHYSICAL_DPI"})
        qunsetenv(name);
    int argc = 1;
    char *argv[] = {program, nullptr};
    QGuiApplication app(argc, argv);
    StartApplication();
    const TBatchFormat format =
        command.exportFormat == QLatin1String("pdf") ? TBatchFormat::Pdf : TBatchFormat::Zrp;
    return RunBatchExport(format, command.exportTarget, AbsoluteJokePath(command.jokeFile));
}

// A joke picked at random, or the jokes that hold a text, printed without
// any window or display.
int RunWithoutWindow(const CommandLine &command, char *program)
{
    int argc = 1;
    char *argv[] = {program, nullptr};
    QCoreApplication app(argc, argv);
    QStringList collections;
    for (const QString &path : command.jokeFiles)
        collections.append(AbsoluteJokePath(path));
    const QString settings = SettingsFilePath(ProgramFolder());
    if (command.action == CommandLine::Random)
        return RunRandomJoke(collections, settings);
    return RunFindJokes(command.findText, {command.ignoreCase, command.ignoreAccents}, collections, settings);
}

} // namespace

int main(int argc, char **argv)
{
    const CommandLine command = ParseCommandLine(argc, argv);
    if (command.action == CommandLine::Export)
        return RunExport(command, argv[0]);
    if (command.action == CommandLine::Random || command.action == CommandLine::Find)
        return RunWithoutWindow(command, argv[0]);
    if (command.action != CommandLine::Run) {
        std::fputs(command.output.c_str(), command.action == CommandLine::Fail ? stderr : stdout);
        return command.action == CommandLine::Fail ? 2 : 0;
    }
    QApplication app(argc, argv);
    StartApplication();
    Tfrm_Main mainWindow(AbsoluteJokePath(command.jokeFile));
    TrepLista lista;
    mainWindow.show();
    return app.exec();
}
