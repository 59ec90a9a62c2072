#pragma once
// The peer of the band engine and of the joke-list export: print-list lines
// set in two columns of A4 pages straight onto QPrinter's PDF output, with
// the looks' fonts, a header line and "Oldal: n" at the foot, lines wider
// than the column wrapped as the joke list wraps them. No band engine, no
// page store: what a small Qt program would do.
#include "app/ListaNyom.h"

#include <QPainter>
#include <QPrinter>

// Writes lines to the PDF file out under title; the number of pages, or 0
// when the printer could not be opened.
inline int PrintPeerPdfList(const QString &out, const QString &title, const QStringList &lines)
{
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(out);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const QRect area = painter.viewport();
    const QRect body = area.adjusted(0, 30, 0, -24);
    const int columnWidth = body.width() / 2;
    const QFont heading(QStringLiteral("Comic Sans MS"), 12, QFont::Bold);
    const QFont number(QStringLiteral("Comic Sans MS"), 10, QFont::Bold);
    const QFont text(QStringLiteral("Garamond"), 11);
    const QFont header(QStringLiteral("Comic Sans MS"), 10, QFont::Bold);
    const QFont footer(QStringLiteral("Courier New"), 8);
    int page = 1, column = 0, y = body.top();
    auto drawFrame = [&] {
        painter.setFont(header);
        painter.drawText(QRect(area.left(), area.top(), area.width(), 24), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Zumoria V3.0"));
        painter.drawText(QRect(area.left(), area.top(), area.width(), 24), Qt::AlignRight | Qt::AlignVCenter,
                         title);
        painter.setFont(footer);
        painter.drawText(QRect(area.left(), area.bottom() - 18, area.width(), 18),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Oldal: %1").arg(page));
    };
    drawFrame();
    for (const QString &line : lines) {
        const TLineLook look = LineLookOf(line);
        painter.setFont(look == TLineLook::Heading ? heading : look == TLineLook::Number ? number : text);
        const int left = (look == TLineLook::Text ? 52 : 24);
        const int flags = (look == TLineLook::Number ? Qt::AlignRight : Qt::AlignLeft) | Qt::TextWordWrap;
        const int pitch = look == TLineLook::Text ? 19 : 24;
        const QRect need = painter.boundingRect(QRect(0, 0, columnWidth - 60, pitch), flags, line);
        const int h = std::max(pitch, need.height());
        if (y + h > body.bottom()) {
            y = body.top();
            if (++column == 2) {
                column = 0;
                printer.newPage();
                ++page;
                drawFrame();
                painter.setFont(look == TLineLook::Heading ? heading : look == TLineLook::Number ? number : text);
            }
        }
        const int x = body.left() + column * columnWidth;
        if (look == TLineLook::Heading)
            painter.fillRect(QRect(x + 4, y + 2, columnWidth - 8, pitch - 4), QColor(0xE0, 0xE0, 0xFF));
        painter.setPen(look == TLineLook::Heading ? Qt::blue : look == TLineLook::Number ? Qt::red : Qt::black);
        painter.drawText(QRect(x + left, y, columnWidth - 60, h), flags, line);
        painter.setPen(Qt::black);
        y += h;
    }
    return painter.end() ? page : 0;
}
