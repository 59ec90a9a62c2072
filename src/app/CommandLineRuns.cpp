#include "app/CommandLineRuns.h"

#include "app/Settings.h"

#include <cstdio>

int FailOnCommandLine(int status, const QString &text)
{
    std::fprintf(stderr, "zumoria: %s\n", text.toLocal8Bit().constData());
    return status;
}

QStringList CollectionsToRead(const QStringList &given, const QString &settingsPath)
{
    if (!given.isEmpty())
        return given;
    QStringList recent;
    SettingsFile(settingsPath).LoadRecentFiles(recent);
    return recent.mid(0, 1);
}
