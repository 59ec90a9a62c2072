#pragma once
// File names as the program sees them: "exists" means a regular file exists
// (a FIFO or a device never counts), name and folder parts split at the last
// '/', and picture names written on Windows resolved case-insensitively.

#include <QHash>
#include <QString>

// True when a regular file (or a symbolic link to one) exists at path.
bool RegularFileExists(const QString &path);

// What follows the last '/' of path (the whole path when there is none).
QString NamePart(const QString &path);

// Everything up to and including the last '/' of path (empty when none).
QString FolderPart(const QString &path);

// Folder listings kept while many names are resolved in the same folders:
// each folder is listed at most once, and its entries are found by their
// case-folded names, so a name costs the same in a folder of 5 or 5,000.
class FolderListings
{
public:
    // The entry of folder whose name equals name without regard to letter
    // case (the first one listed when several do), or an empty string.
    QString Match(const QString &folder, const QString &name);

private:
    QHash<QString, QHash<QString, QString>> FFolders;
};

// The path of an existing regular file named by path, or an empty string.
// When path itself names none, the name is tried again with every '\' turned
// into '/' and each component below the deepest existing folder matched
// without regard to letter case (a picture name written on Windows). With
// listings, folders are listed through them (and kept there).
QString ResolveExistingFile(const QString &path, FolderListings *listings = nullptr);

// The folder temporary files go to: QDir::tempPath() ($TMPDIR, else /tmp)
// when it names an existing folder, otherwise the system's /tmp, so a TMPDIR
// that names a missing folder never sends them to the root folder.
QString TemporaryFolder();

// The folder of the running executable, as given (not lower-cased: file
// names are case-sensitive here), without a trailing '/'.
QString ProgramFolder();
