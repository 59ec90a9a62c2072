#include "platform/Paths.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

void Touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(PathsTest, OnlyRegularFilesExist)
{
    QTemporaryDir dir;
    Touch(dir.filePath("file.vicc"));
    const QString fifo = dir.filePath("fifo.vicc");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(RegularFileExists(dir.filePath("file.vicc")));
    EXPECT_FALSE(RegularFileExists(fifo));
    EXPECT_FALSE(RegularFileExists(dir.path()));
    EXPECT_FALSE(RegularFileExists(QStringLiteral("/dev/zero")));
    EXPECT_FALSE(RegularFileExists(QString()));
    EXPECT_FALSE(RegularFileExists(dir.filePath("none.vicc")));
}

TEST(PathsTest, NameAndFolderParts)
{
    EXPECT_EQ(NamePart(QStringLiteral("/j/viccek/a.vicc")), QStringLiteral("a.vicc"));
    EXPECT_EQ(FolderPart(QStringLiteral("/j/viccek/a.vicc")), QStringLiteral("/j/viccek/"));
    EXPECT_EQ(NamePart(QStringLiteral("a.vicc")), QStringLiteral("a.vicc"));
    EXPECT_EQ(FolderPart(QStringLiteral("a.vicc")), QString());
}

TEST(PathsTest, WindowsPictureNamesResolve)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("Kepek/Allatok"));
    Touch(dir.filePath("Kepek/Allatok/Macska.jpg"));
    Touch(dir.filePath("Kepek/a.jpg"));
    Touch(dir.filePath("Kepek/A.jpg"));
    const QString root = dir.path() + "//";
    EXPECT_EQ(ResolveExistingFile(root + "/Kepek/Allatok/Macska.jpg"), root + "/Kepek/Allatok/Macska.jpg");
    EXPECT_EQ(ResolveExistingFile(root + "/kepek\\allatok\\MACSKA.JPG"),
              dir.path() + "/Kepek/Allatok/Macska.jpg");
    // An exact match wins over one that differs in case.
    EXPECT_EQ(ResolveExistingFile(root + "/kepek\\A.jpg"), dir.path() + "/Kepek/A.jpg");
    EXPECT_EQ(ResolveExistingFile(root + "/kepek\\nincs.jpg"), QString());
    // A folder is not a picture.
    EXPECT_EQ(ResolveExistingFile(root + "/kepek"), QString());
}

} // namespace
