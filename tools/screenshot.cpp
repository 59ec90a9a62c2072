// Grabs what the user sees, offscreen:
//   screenshot <joke file> <out.png> [scroll position]   the main window
//   screenshot --preview <joke file> <out.png>           the print preview
//                                                        of its joke list,
//                                                        thumbnails shown and
//                                                        a word found
#include "app/Main.h"
#include "app/JokeView.h"
#include "app/Program.h"
#include "platform/AppError.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepStandardPreview.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

// Clicks the printer button and grabs the preview once every page is made.
bool GrabPreview(Tfrm_Main &window, const QString &out)
{
    bool saved = false;
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *preview = dynamic_cast<TRepStandardPreview *>(w);
            if (!preview || !preview->isVisible() || !preview->Printer() ||
                preview->Printer()->Status() != TRepPrinter::StatusFinished)
                continue;
            // As a reader shows it: the thumbnails beside the page and a
            // word found on it.
            preview->resize(1000, 720);
            preview->ThumbnailsClick();
            preview->FindClick();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("medve"));
            QTest::qWait(600); // the search after typing, the thumbnails after painting
            saved = preview->grab().save(out);
            preview->close();
            watch.stop();
            return;
        }
    });
    watch.start();
    window.tbNyomtatClick();
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    const bool preview = argc > 1 && qstrcmp(argv[1], "--preview") == 0;
    const int first = preview ? 2 : 1;
    if (argc < first + 2) {
        std::fprintf(stderr, "usage: screenshot [--preview] <joke file> <out.png> [scroll position]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StartApplication();
    SetErrorBoxSink([](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    Tfrm_Main window(AbsoluteJokePath(QString::fromLocal8Bit(argv[first])));
    window.show();
    QTest::qWait(50);
    const QString out = QString::fromLocal8Bit(argv[first + 1]);
    if (preview)
        return GrabPreview(window, out) ? 0 : 1;
    if (argc > first + 2)
        window.sbxMain->SetScrollPosition(QString::fromLocal8Bit(argv[first + 2]).toInt());
    QTest::qWait(50);
    return window.grab().save(out) ? 0 : 1;
}
