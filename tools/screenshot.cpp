// Grabs the main window showing a joke file, offscreen:
//   screenshot <joke file> <out.png> [scroll position]
#include "app/Main.h"
#include "app/JokeView.h"
#include "app/Program.h"
#include "platform/AppError.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: screenshot <joke file> <out.png> [scroll position]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StartApplication();
    SetErrorBoxSink([](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    Tfrm_Main window(AbsoluteJokePath(QString::fromLocal8Bit(argv[1])));
    window.show();
    QTest::qWait(50);
    if (argc > 3)
        window.sbxMain->SetScrollPosition(QString::fromLocal8Bit(argv[3]).toInt());
    QTest::qWait(50);
    const bool ok = window.grab().save(QString::fromLocal8Bit(argv[2]));
    return ok ? 0 : 1;
}
