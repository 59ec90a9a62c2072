#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace InstallLayout {

QString DataDirFor(const QString &exeDir)
{
    const QString beside =
        QDir::cleanPath(QDir(exeDir).absoluteFilePath(QStringLiteral(ZUMORIA_RELATIVE_DATA_DIR)));
    if (QFileInfo(beside).isDir())
        return beside;
    return QDir::cleanPath(QStringLiteral(ZUMORIA_DATA_DIR));
}

QString DataDir()
{
    return DataDirFor(QCoreApplication::applicationDirPath());
}

} // namespace InstallLayout
