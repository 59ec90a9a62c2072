#include "report/preview/RepPrintDialog.h"

#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>

QAbstractPrintDialog::PrintDialogOptions TRepPrintDialog::DialogOptions(int options)
{
    QAbstractPrintDialog::PrintDialogOptions result = QAbstractPrintDialog::PrintShowPageSize;
    if ((options & poPrintToFile) && !(options & poDisablePrintToFile))
        result |= QAbstractPrintDialog::PrintToFile;
    if (options & poPageNums)
        result |= QAbstractPrintDialog::PrintPageRange;
    if (options & poSelection)
        result |= QAbstractPrintDialog::PrintSelection;
    result |= QAbstractPrintDialog::PrintCollateCopies;
    return result;
}

bool TRepPrintDialog::Execute(QPrinter &device)
{
    if (Copies > 0)
        device.setCopyCount(Copies);
    device.setCollateCopies(Collate);
    device.setFromTo(FromPage, ToPage);
    switch (PrintRange) {
    case TPrintRange::prAllPages:
        device.setPrintRange(QPrinter::AllPages);
        break;
    case TPrintRange::prSelection:
        device.setPrintRange(QPrinter::Selection);
        break;
    case TPrintRange::prPageNums:
        device.setPrintRange(QPrinter::PageRange);
        break;
    }

    QPrintDialog dialog(&device);
    dialog.setOptions(DialogOptions(Options));
    dialog.setMinMax(MinPage, MaxPage);
    if (PrintRange == TPrintRange::prPageNums)
        dialog.setFromTo(FromPage, ToPage);
    dialog.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        dialog.move(free.left() + (free.width() - dialog.width()) / 2,
                    free.top() + (free.height() - dialog.height()) / 3);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;

    Collate = device.collateCopies();
    PrintToFile = !device.outputFileName().isEmpty();
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::Selection:
        PrintRange = TPrintRange::prSelection;
        break;
    case QAbstractPrintDialog::PageRange:
        PrintRange = TPrintRange::prPageNums;
        break;
    default:
        PrintRange = TPrintRange::prAllPages;
        break;
    }
    FromPage = dialog.fromPage();
    ToPage = dialog.toPage();
    Copies = device.copyCount();
    return true;
}
