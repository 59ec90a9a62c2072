// The window icon comes from the icon theme when Zumoria is installed and
// from the drawing built into the program otherwise (build tree, portable
// copy); either way the windows never show an empty icon.
#include "app/Artwork.h"

#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Share of pixels of the icon at size x size that are not transparent.
double CoveredShare(const QIcon &icon, int size)
{
    const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return 0;
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 128;
    return double(covered) / (image.width() * image.height());
}

void UseThemeFolder(const QString &folder)
{
    QIcon::setThemeSearchPaths({folder});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("hicolor"));
}

} // namespace

TEST(ProgramIconTest, BuiltInDrawingWhenNoThemeHasIt)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    UseThemeFolder(empty.path());
    const QIcon icon = ProgramIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.name().isEmpty());
    for (int size : {16, 48, 256})
        EXPECT_GT(CoveredShare(icon, size), 0.5) << size;
}

TEST(ProgramIconTest, InstalledThemeIconWins)
{
    QTemporaryDir theme;
    ASSERT_TRUE(theme.isValid());
    const QDir hicolor(theme.filePath("hicolor"));
    ASSERT_TRUE(hicolor.mkpath("scalable/apps"));
    QFile index(hicolor.filePath("index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=Hicolor\nDirectories=scalable/apps\n\n"
                "[scalable/apps]\nSize=64\nMinSize=8\nMaxSize=512\nType=Scalable\n");
    index.close();
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZUMORIA_SOURCE_DIR "/data/icons/zumoria.svg"),
                            hicolor.filePath("scalable/apps/zumoria.svg")));
    UseThemeFolder(theme.path());
    const QIcon icon = ProgramIcon();
    EXPECT_EQ(icon.name(), "zumoria");
    EXPECT_GT(CoveredShare(icon, 48), 0.5);
}
