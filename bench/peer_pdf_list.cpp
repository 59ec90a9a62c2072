// The peer of the joke-list export: the same print-list lines of a joke file
// set in two columns of A4 pages straight onto QPrinter's PDF output, with
// the looks' fonts, a header line and "Oldal: n" at the foot — no band
// engine, no page store. bench_preview runs it beside
// `zumoria --export-pdf` and compares time and memory.
//
//   peer_pdf_list OUT.pdf FILE.vicc
#include "app/ListaNyom.h"
#include "app/Program.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include <cstdio>
#include <exception>

namespace {

struct PageFrame
{
    QRect body;
    int columnWidth;
};

void DrawFrame(QPainter &painter, const QRect &area, const QString &title, int page)
{
    painter.setFont(QFont(QStringLiteral("Comic Sans MS"), 10, QFont::Bold));
    painter.drawText(QRect(area.left(), area.top(), area.width(), 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Zumoria V3.0"));
    painter.drawText(QRect(area.left(), area.top(), area.width(), 24), Qt::AlignRight | Qt::AlignVCenter, title);
    painter.setFont(QFont(QStringLiteral("Courier New"), 8));
    painter.drawText(QRect(area.left(), area.bottom() - 18, area.width(), 18), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Oldal: %1").arg(page));
}

int Print(const QString &out, const QString &jokeFile)
{
    const QStringList lines = PrintListOf(PrintJokesOfFile(jokeFile));
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return 1;
    const QRect area = painter.viewport();
    const QRect body = area.adjusted(0, 30, 0, -24);
    const int columnWidth = body.width() / 2;
    const QFont heading(QStringLiteral("Comic Sans MS"), 12, QFont::Bold);
    const QFont number(QStringLiteral("Comic Sans MS"), 10, QFont::Bold);
    const QFont text(QStringLiteral("Garamond"), 11);
    const QString title = QFileInfo(jokeFile).fileName();
    int page = 1, column = 0, y = body.top();
    DrawFrame(painter, area, title, page);
    for (const QString &line : lines) {
        const TLineLook look = LineLookOf(line);
        const int h = look == TLineLook::Text ? 19 : 24;
        if (y + h > body.bottom()) {
            y = body.top();
            if (++column == 2) {
                column = 0;
                printer.newPage();
                DrawFrame(painter, area, title, ++page);
            }
        }
        const int left = body.left() + column * columnWidth;
        if (look == TLineLook::Heading)
            painter.fillRect(QRect(left + 4, y + 2, columnWidth - 8, h - 4), QColor(0xE0, 0xE0, 0xFF));
        painter.setFont(look == TLineLook::Heading ? heading : look == TLineLook::Number ? number : text);
        painter.setPen(look == TLineLook::Heading ? Qt::blue : look == TLineLook::Number ? Qt::red : Qt::black);
        const QRect box(left + (look == TLineLook::Text ? 52 : 24), y, columnWidth - 60, h);
        painter.drawText(box, (look == TLineLook::Number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, line);
        painter.setPen(Qt::black);
        y += h;
    }
    return painter.end() ? 0 : 1;
}

} // namespace

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
        return Print(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "peer_pdf_list: %s\n", e.what());
        return 1;
    }
}
