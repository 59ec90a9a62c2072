#include "app/Settings.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test
{
protected:
    QString IniPath() const { return dir.path() + "/Zumoria.ini"; }
    SettingsValues Load() const { return SettingsFile(IniPath()).LoadSettings("/opt/zumoria", 522, 430); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(SettingsTest, NoFileGivesTheDefaults)
{
    const SettingsValues v = Load();
    EXPECT_EQ(v.Path, "/opt/zumoria/Viccek");
    EXPECT_TRUE(v.Sound);
    EXPECT_EQ(v.Color, 1);
    EXPECT_EQ(QRect(v.Left, v.Top, v.Width, v.Height), QRect(10, 10, 522, 430));
    QStringList recent{"stale"};
    SettingsFile(IniPath()).LoadRecentFiles(recent);
    EXPECT_TRUE(recent.isEmpty());
    EXPECT_FALSE(QFile::exists(IniPath())); // reading never creates the file
}

TEST_F(SettingsTest, ValuesReadFromTheFile)
{
    struct Case { const char *screen; const char *defaults; int color; bool sound; QRect bounds; };
    const Case cases[] = {
        {"Color=0x3\nLeft=-5\nTop=$10\nWidth=400\nHeight=300", "Sound=0", 3, false, QRect(-5, 16, 400, 300)},
        {"Color=4", "Sound=abc", 4, true, QRect(10, 10, 522, 430)},
        {"Color=0", "Sound=-1", 1, true, QRect(10, 10, 522, 430)},      // no scheme 0: the first
        {"Color=5\nLeft=x", "Sound=", 1, true, QRect(10, 10, 522, 430)}, // no scheme 5 either
        {"Color=$FFFFFFFF", "Sound=2", 1, true, QRect(10, 10, 522, 430)},
        {"Color=2\nWidth=99999", "", 2, true, QRect(10, 10, 99999, 430)}, // no range test
    };
    for (const Case &c : cases) {
        WriteRaw(IniPath(), QByteArray("[Screen]\n") + c.screen + "\n[Defaults]\n" + c.defaults + "\n");
        const SettingsValues v = Load();
        EXPECT_EQ(v.Color, c.color) << c.screen;
        EXPECT_EQ(v.Sound, c.sound) << c.defaults;
        EXPECT_EQ(QRect(v.Left, v.Top, v.Width, v.Height), c.bounds) << c.screen;
    }
}

TEST_F(SettingsTest, RecentFilesCloseUpGapsAndKeepDuplicates)
{
    WriteRaw(IniPath(), "[File]\nFile2=/b/two.vicc\nFile0=/a/zero.vicc\nFile1=\nFile3=/a/zero.vicc\nFile4=/x.vicc\n");
    QStringList recent;
    SettingsFile(IniPath()).LoadRecentFiles(recent);
    EXPECT_EQ(recent, (QStringList{"/a/zero.vicc", "/b/two.vicc", "/a/zero.vicc"}));
}

TEST_F(SettingsTest, FirstCloseCreatesTheFileInItsOrder)
{
    SettingsFile ini(IniPath());
    ini.SaveRecentFiles({"/home/u/Viccek/a.vicc"});
    ini.SaveSettings({"/opt/zumoria/Viccek", true, 1, 10, 10, 522, 430});
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("[File]\n"
                                             "File0=/home/u/Viccek/a.vicc\n"
                                             "\n"
                                             "[Defaults]\n"
                                             "Path=/opt/zumoria/Viccek\n"
                                             "Sound=1\n"
                                             "\n"
                                             "[Screen]\n"
                                             "Color=1\n"
                                             "Left=10\n"
                                             "Top=10\n"
                                             "Width=522\n"
                                             "Height=430\n"));
}

TEST_F(SettingsTest, EmptyListAtFirstCloseWritesNoFileSection)
{
    SettingsFile ini(IniPath());
    ini.SaveRecentFiles({});
    ini.SaveSettings({"/p", false, 4, -5, 0, 600, 500});
    EXPECT_FALSE(ReadAll(IniPath()).contains("[File]"));
    const SettingsValues v = Load();
    EXPECT_FALSE(v.Sound);
    EXPECT_EQ(v.Color, 4);
    EXPECT_EQ(QRect(v.Left, v.Top, v.Width, v.Height), QRect(-5, 0, 600, 500));
}

TEST_F(SettingsTest, ShorterListRemovesTheKeysBeyondItSoDroppedPathsStayDropped)
{
    WriteRaw(IniPath(), "[File]\nFile0=/a\nFile1=/b\nFile2=/c\nFile3=/d\n[Screen]\nColor=2\n");
    SettingsFile ini(IniPath());
    ini.SaveRecentFiles({"/b", "/c"});
    QStringList recent;
    ini.LoadRecentFiles(recent);
    EXPECT_EQ(recent, (QStringList{"/b", "/c"}));
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("[File]\nFile0=/b\nFile1=/c\n[Screen]\nColor=2\n"));
    // Only the first four entries of a longer list are kept.
    ini.SaveRecentFiles({"/1", "/2", "/3", "/4", "/5"});
    ini.LoadRecentFiles(recent);
    EXPECT_EQ(recent, (QStringList{"/1", "/2", "/3", "/4"}));
}

TEST_F(SettingsTest, SavingKeepsCommentsAndUnknownKeys)
{
    WriteRaw(IniPath(), "; my settings\n[Defaults]\nPath=/old\nLanguage=hu\n[Screen]\nColor=3\n"
                        "; keep this\nZoom=2\n[Extra]\nA=1\n");
    SettingsFile ini(IniPath());
    ini.SaveRecentFiles({"/x.vicc"});
    ini.SaveSettings({"/old", true, 2, 1, 2, 600, 400});
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("; my settings\n[Defaults]\nPath=/old\nLanguage=hu\nSound=1\n"
                                             "[Screen]\nColor=2\n; keep this\nZoom=2\nLeft=1\nTop=2\n"
                                             "Width=600\nHeight=400\n[Extra]\nA=1\n"
                                             "\n[File]\nFile0=/x.vicc\n"));
}
