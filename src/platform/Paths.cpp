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

QStringList EntriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The entry of folder named name: name itself when it exists, else the one
// that matches without regard to case, else an empty string.
QString MatchEntry(const QString &folder, const QString &name, FolderListings *listings)
{
    const QString where = folder.isEmpty() ? QStringLiteral("/") : folder;
    if (QFileInfo::exists(QDir(where).filePath(name)))
        return name;
    FolderListings once;
    return (listings ? *listings : once).Match(where, name);
}

} // namespace

QString FolderListings::Match(const QString &folder, const QString &name)
{
    auto it = FFolders.find(folder);
    if (it == FFolders.end()) {
        QHash<QString, QString> byFoldedName;
        for (const QString &entry : EntriesOf(folder)) {
            const QString key = entry.toCaseFolded();
            if (!byFoldedName.contains(key))
                byFoldedName.insert(key, entry);
        }
        it = FFolders.insert(folder, std::move(byFoldedName));
    }
    return it->value(name.toCaseFolded());
}

QString ResolveExistingFile(const QString &path, FolderListings *listings)
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
            next = MatchEntry(current.isEmpty() ? QStringLiteral(".") : current, part, listings);
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

QString TemporaryFolder()
{
    const QString folder = QDir::tempPath();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QStringLiteral("/tmp");
}
