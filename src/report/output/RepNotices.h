#pragma once
// The notices between the report printer, its client (the preview control
// or the progress window) and its master (the report). Each is a QEvent of
// a type registered once per process:
//
//   notice              direction          Value()           Printer()  delivery
//   RepProgressNotice   printer -> Client  percent 0..100    none       posted
//   RepPageAvailable    printer -> Client  pages available   none       posted
//   RepRunEnded         printer -> Client  0                 none       posted
//   RepPrintRequest     printer -> Master  0                 none       posted
//   RepPreviewClosed    printer -> Master  0                 the printer sent
//
// Posted notices are handled when the producer lets events run; the
// preview-closed notice is sent, so the report reacts before the preview
// window goes away. Receivers test event->type() against these functions and
// cast to TRepNotice.
//
// The run-ended notice follows every run on the printer, however it ended:
// with its last page, cancelled, refused by its report before a document
// was opened, or failed. It arrives after the run's page-available notices,
// and its report is idle by then.

#include <QEvent>

class TRepPrinter;

QEvent::Type RepProgressNotice();
QEvent::Type RepPageAvailableNotice();
QEvent::Type RepRunEndedNotice();
QEvent::Type RepPrintRequest();
QEvent::Type RepPreviewClosedNotice();

class TRepNotice : public QEvent
{
public:
    TRepNotice(QEvent::Type type, int value, TRepPrinter *printer = nullptr)
        : QEvent(type), FValue(value), FPrinter(printer)
    {
    }
    int Value() const { return FValue; }
    TRepPrinter *Printer() const { return FPrinter; }

private:
    int FValue;
    TRepPrinter *FPrinter;
};
