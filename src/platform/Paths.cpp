#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

bool RegularFileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString NamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString FolderPart(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

namespace {

// The entry of folder whose name equals name without regard to case, or an
// empty string. An exact match wins over a case-insensitive one.
QString MatchEntry(const QString &folder, const QString &name)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral("/") : folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return name;
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                              | QDir::NoDotAndDotDot);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return {};
}

} // namespace

QString ResolveExistingFile(const QString &path)
{
    if (RegularFileExists(path))
        return path;
    QString unixPath = path;
    unixPath.replace(u'\\', u'/');
    if (unixPath.isEmpty())
        return {};
    const bool absolute = unixPath.startsWith(u'/');
    const QStringList parts = unixPath.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts.at(i);
        QString next;
        if (part == u"." || part == u"..")
            next = part;
        else
            next = MatchEntry(current.isEmpty() ? QStringLiteral(".") : current, part);
        if (next.isEmpty())
            return {};
        current += next;
        if (i + 1 < parts.size())
            current += u'/';
    }
    return RegularFileExists(current) ? current : QString();
}

QString ProgramFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}
