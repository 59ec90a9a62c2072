// The peer of the joke-list export as a program of its own (PeerPdfList.h):
// the print list of a joke file straight onto QPrinter's PDF output.
// bench_preview runs it beside `zumoria --export-pdf` and compares time and
// memory.
//
//   peer_pdf_list OUT.pdf FILE.vicc
#include "PeerPdfList.h"
#include "app/ListaNyom.h"
#include "app/Program.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: peer_pdf_list OUT.pdf FILE.vicc\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    StartApplication();
    try {
        const QString file = QString::fromLocal8Bit(argv[2]);
        const QStringList lines = PrintListOf(PrintJokesOf(ReadJokeCollection(file).Jokes));
        return PrintPeerPdfList(QString::fromLocal8Bit(argv[1]), QFileInfo(file).fileName(), lines) > 0 ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "peer_pdf_list: %s\n", e.what());
        return 1;
    }
}
