#pragma once
// The progress window of a report that prints straight to the printer: a
// gauge, a "40%  Completed" line and a Cancel button that asks the printer
// to cancel.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class TRepPrinter;

class TRepProgressForm : public QDialog
{
public:
    explicit TRepProgressForm(TRepPrinter *printer, QWidget *parent = nullptr);

    QProgressBar *Gauge() const { return FGauge; }
    QLabel *Info() const { return FInfo; }
    QPushButton *CancelButton() const { return FCancelButton; }

    // Shows the printer's progress when it is a multiple of 5.
    void ProgressUpdate();

protected:
    bool event(QEvent *e) override;

private:
    TRepPrinter *FPrinter;
    QProgressBar *FGauge;
    QLabel *FInfo;
    QPushButton *FCancelButton;
};
