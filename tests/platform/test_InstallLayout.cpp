// The installed data folder is found from the executable's folder first, so a
// package installed under another prefix than the configured one still finds
// its sounds; the configured prefix is the fallback.
#include "platform/InstallLayout.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(InstallLayout, FindsDataOfItsOwnPrefixElseTheConfiguredOne)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath("bin");
    ASSERT_TRUE(QDir().mkpath(bin));

    // Nothing installed beside this executable: the configured prefix.
    EXPECT_EQ(InstallLayout::DataDirFor(bin), QDir::cleanPath(ZUMORIA_DATA_DIR));

    // An installation under this prefix: its own data folder, whatever prefix
    // the build was configured for.
    const QString own = QDir::cleanPath(QDir(bin).filePath(ZUMORIA_RELATIVE_DATA_DIR));
    ASSERT_TRUE(own.startsWith(QDir::cleanPath(prefix.path()) + "/"));
    ASSERT_TRUE(QDir().mkpath(own));
    EXPECT_EQ(InstallLayout::DataDirFor(bin), own);
    EXPECT_FALSE(InstallLayout::DataDirFor(bin + "/").endsWith("/"));
}
