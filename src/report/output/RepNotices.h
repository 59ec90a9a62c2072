#pragma once
// The notices between the report printer, its client (the preview control
// or the progress window) and its master (the report). Each is a QEvent of
// a type registered once per process:
//
//   notice              direction          Value()           Printer()  delivery
//   RepProgressNotice   printer -> Client  percent 0..100    none       posted
//   RepPageAvailable    printer -> Client  pages available   none       posted
//   RepPrintRequest     printer -> Master  0                 none       posted
//   RepPreviewClosed    printer -> Master  0                 the printer sent
//
// Posted notices are handled when the producer lets events run; the
// preview-closed notice is sent, so the report reacts before the preview
// window goes away. Receivers test event->type() against these functions and
// cast to TRepNotice.
//
// A master implements TRepPrinterMaster, so those watching a printer (the
// preview window) can ask its master whether the run is over.

#include <QEvent>

class TRepPrinter;

QEvent::Type RepProgressNotice();
QEvent::Type RepPageAvailableNotice();
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

// Implemented by a printer's master, the report that runs onto the printer.
class TRepPrinterMaster
{
public:
    virtual ~TRepPrinterMaster() = default;
    // No run is in progress.
    virtual bool Idle() const = 0;
};
