#include "platform/MessageBoxes.h"

#include <QMessageBox>
#include <utility>

namespace {
MessageBoxSink &CurrentSink()
{
    static MessageBoxSink sink;
    return sink;
}
} // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink)
{
    return std::exchange(CurrentSink(), std::move(sink));
}

bool AskYesNo(QWidget *owner, const QString &caption, const QString &text)
{
    if (CurrentSink())
        return CurrentSink()(MessageBoxKind::Question, caption, text);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void ShowInformation(QWidget *owner, const QString &caption, const QString &text)
{
    if (CurrentSink()) {
        CurrentSink()(MessageBoxKind::Information, caption, text);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.exec();
}
