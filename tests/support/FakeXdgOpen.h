#pragma once
// A fake `xdg-open` put first on PATH for the life of the object. Every call
// appends its arguments to a log, one "[argument]" line each after a line
// with their count; it exits with the status set by SetExitCode and can take
// its time (SetSeconds) like an opener that waits for the browser.
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

class FakeXdgOpen
{
public:
    FakeXdgOpen()
        : FOldPath(qgetenv("PATH"))
    {
        QFile script(FDir.filePath(QStringLiteral("xdg-open")));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n"
                     // One write per call, so calls started together never interleave.
                     "rec=\"$#\"\n"
                     "for a in \"$@\"; do rec=\"$rec\n[$a]\"; done\n"
                     "printf '%s\\n' \"$rec\" >> \"$FAKE_XDG_LOG\"\n"
                     "if [ -n \"$FAKE_XDG_SECONDS\" ]; then sleep \"$FAKE_XDG_SECONDS\"; fi\n"
                     "exit \"${FAKE_XDG_EXIT:-0}\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("FAKE_XDG_LOG", LogPath().toLocal8Bit());
        qputenv("PATH", FDir.path().toLocal8Bit() + ':' + FOldPath);
        SetExitCode(0);
        SetSeconds(QString());
    }
    ~FakeXdgOpen()
    {
        qputenv("PATH", FOldPath);
        qunsetenv("FAKE_XDG_LOG");
        qunsetenv("FAKE_XDG_EXIT");
        qunsetenv("FAKE_XDG_SECONDS");
    }
    // PATH holds only an empty folder: no opener at all.
    void HideEverything() { qputenv("PATH", FEmpty.path().toLocal8Bit()); }

    void SetExitCode(int code) { qputenv("FAKE_XDG_EXIT", QByteArray::number(code)); }
    void SetSeconds(const QString &seconds) { qputenv("FAKE_XDG_SECONDS", seconds.toLocal8Bit()); }
    QString LogPath() const { return FDir.filePath(QStringLiteral("calls.log")); }

    // The argument lists of every call so far, oldest first.
    QList<QStringList> Calls() const
    {
        QFile log(LogPath());
        QList<QStringList> calls;
        if (!log.open(QIODevice::ReadOnly))
            return calls;
        const QStringList lines = QString::fromUtf8(log.readAll()).split(u'\n');
        for (qsizetype i = 0; i < lines.size() && !lines[i].isEmpty();) {
            const int count = lines[i++].toInt();
            QStringList args;
            for (int k = 0; k < count && i < lines.size(); ++k, ++i)
                args << lines[i].mid(1, lines[i].size() - 2);
            calls << args;
        }
        return calls;
    }

private:
    QTemporaryDir FDir;
    QTemporaryDir FEmpty;
    QByteArray FOldPath;
};
