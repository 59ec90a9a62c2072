#pragma once
// Where an installed Zumoria keeps its read-only data (the Hangok sounds):
// <prefix>/share/zumoria of the installation the running executable belongs to.
#include <QString>

namespace InstallLayout {

// The installed data folder of an executable that lies in exeDir: the folder
// reached from exeDir by the installation's relative path (bin/ to
// share/zumoria), so an installation moved to another prefix or installed by
// the Debian package under /usr finds its own data; when that folder does not
// exist, the data folder of the prefix the build was configured for. Clean
// absolute path without a trailing slash.
QString DataDirFor(const QString &exeDir);

// DataDirFor the running program's executable folder.
QString DataDir();

} // namespace InstallLayout
