#pragma once
// File names as the program sees them: "exists" means a regular file exists
// (a FIFO or a device never counts), name and folder parts split at the last
// '/', and picture names written on Windows resolved case-insensitively.

#include <QString>

// True when a regular file (or a symbolic link to one) exists at path.
bool RegularFileExists(const QString &path);

// What follows the last '/' of path (the whole path when there is none).
QString NamePart(const QString &path);

// Everything up to and including the last '/' of path (empty when none).
QString FolderPart(const QString &path);

// The path of an existing regular file named by path, or an empty string.
// When path itself names none, the name is tried again with every '\' turned
// into '/' and each component below the deepest existing folder matched
// without regard to letter case (a picture name written on Windows).
QString ResolveExistingFile(const QString &path);

// The folder of the running executable, as given (not lower-cased: file
// names are case-sensitive here), without a trailing '/'.
QString ProgramFolder();
