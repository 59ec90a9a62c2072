#pragma once
// The program's two message boxes besides the error box: a question with the
// buttons Yes and No, and a notice with OK. Both are owned by the given
// window and modal. Tests and headless runs answer them through a sink.

#include <QString>
#include <functional>

class QWidget;

enum class MessageBoxKind { Question, Information };

// Receives every box instead of the screen; returns true for Yes (or OK).
// Passing an empty function restores the real boxes. Returns the previous sink.
using MessageBoxSink = std::function<bool(MessageBoxKind kind, const QString &caption, const QString &text)>;
MessageBoxSink SetMessageBoxSink(MessageBoxSink sink);

// Question icon, buttons Yes and No; true only for Yes.
bool AskYesNo(QWidget *owner, const QString &caption, const QString &text);
// Information icon and OK; returns when the user has confirmed it.
void ShowInformation(QWidget *owner, const QString &caption, const QString &text);
