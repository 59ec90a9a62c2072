#pragma once
// The main window's recent-files list and current file as a user meets
// them: the items of the collections menu, the question of the delete
// button, the settings file on disk. Tests read these instead of the
// window's fields.
#include "app/Main.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QRegularExpression>
#include <QToolButton>

// The recent-file items of the collections menu, by their hints (the file
// names, without folders), top to bottom.
inline QStringList RecentFileNames(const Tfrm_Main &window)
{
    QStringList names;
    for (QAction *item : window.RecentFileItems())
        names << item->statusTip();
    return names;
}

// The path the delete button asks about, answered No so nothing is deleted:
// the file at the current index of the recent-files list. Empty when it
// asks nothing (nothing listed at the index). Silent, and the window's
// error box and message boxes stay as they were.
inline QString FileTheDeleteButtonNames(Tfrm_Main &window)
{
    QString asked;
    const MessageBoxSink boxes = SetMessageBoxSink([&](MessageBoxKind, const QString &, const QString &text) {
        static const QRegularExpression question(QStringLiteral("^Valóban töröljem a (.*) file-t\\?$"));
        asked = question.match(text).captured(1);
        return false;
    });
    const ErrorBoxSink errors = SetErrorBoxSink([](const QString &) {});
    const bool sounds = window.tbHangok->isChecked();
    window.tbHangok->setChecked(false);
    window.tbTorol->click();
    window.tbHangok->setChecked(sounds);
    SetErrorBoxSink(errors);
    SetMessageBoxSink(boxes);
    return asked;
}

// The recent-files list with whole paths, as the close sequence writes it
// to the settings file: written there and read back from the file's [File]
// section.
inline QStringList SavedRecentFiles(Tfrm_Main &window)
{
    window.SaveRecentFiles();
    QStringList files;
    bool inFile = false;
    for (const QByteArray &line : ReadAll(window.SettingsPath).split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.startsWith(u'['))
            inFile = text.compare(QStringLiteral("[File]"), Qt::CaseInsensitive) == 0;
        else if (inFile && text.contains(u'='))
            files << text.section(u'=', 1);
    }
    return files;
}
