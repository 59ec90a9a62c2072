// Program block: handles the options that need no window, then starts the
// GUI with the main window on the joke file named on the command line.
#include "app/Main.h"
#include "app/Program.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    const CommandLine command = ParseCommandLine(argc, argv);
    if (command.action != CommandLine::Run) {
        std::fputs(command.output.c_str(), command.action == CommandLine::Fail ? stderr : stdout);
        return command.action == CommandLine::Fail ? 2 : 0;
    }
    QApplication app(argc, argv);
    StartApplication();
    Tfrm_Main mainWindow(AbsoluteJokePath(command.jokeFile));
    mainWindow.show();
    return app.exec();
}
