#include "report/preview/RepProgressForm.h"

#include "platform/AppError.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPrinter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

TRepProgressForm::TRepProgressForm(TRepPrinter *printer, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      FPrinter(printer)
{
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(149, 97);
    FGauge = new QProgressBar(this);
    FGauge->setGeometry(16, 18, 114, 16);
    FGauge->setRange(0, 100);
    FGauge->setValue(0);
    FGauge->setTextVisible(false);
    FInfo = new QLabel(this);
    FInfo->setGeometry(0, 44, 145, 13);
    FInfo->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    FCancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    FCancelButton->setGeometry(36, 60, 75, 25);
    connect(FCancelButton, &QPushButton::clicked, this, Guarded([this](bool) {
                if (FPrinter)
                    FPrinter->RequestCancel();
            }));
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TRepProgressForm::ProgressUpdate()
{
    if (!FPrinter)
        return;
    const int p = FPrinter->Progress();
    if (p % 5 != 0)
        return;
    FGauge->setValue(p);
    FInfo->setText(QString::number(p) + QStringLiteral("% ") + QStringLiteral(" Completed"));
    QCoreApplication::processEvents();
}

bool TRepProgressForm::event(QEvent *e)
{
    if (e->type() == RepProgressNotice()) {
        RunGuarded([this] { ProgressUpdate(); });
        return true;
    }
    return QDialog::event(e);
}
