#include "platform/DataLocations.h"

#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {
const QString SettingsFileName = QStringLiteral("Zumoria.ini");

QString ConfigHome()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + "/.config";
}

bool IsWritableFolder(const QString &folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}
} // namespace

QString ExecutableFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString SettingsFilePath(const QString &programFolder)
{
    const QString portable = programFolder + u'/' + SettingsFileName;
    if (QFileInfo(portable).isFile() && IsWritableFolder(programFolder))
        return portable;
    return ConfigHome() + "/Zumoria/" + SettingsFileName;
}

QString SoundFolderPath(const QString &programFolder)
{
    const QString beside = programFolder + "/Hangok";
    if (QFileInfo(beside).isDir())
        return beside;
    return InstallLayout::DataDirFor(programFolder) + "/Hangok";
}

QString SoundFilePath(const QString &programFolder, const QString &eventName)
{
    return SoundFolderPath(programFolder) + u'/' + eventName + ".wav";
}
