#include "platform/AppError.h"
#include "platform/ProfileFile.h"

#include "support/NoFileOverride.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class ProfileFileTest : public ::testing::Test
{
protected:
    QString IniPath() const { return dir.path() + "/Zumoria.ini"; }
    QTemporaryDir dir;
};

} // namespace

TEST(ProfileInteger, ParsesDecimalAndBothHexForms)
{
    struct Case { const char *text; bool ok; int value; };
    const Case cases[] = {
        {"42", true, 42},          {"-5", true, -5},          {"+7", true, 7},
        {"  12  ", true, 12},      {"0x3", true, 3},          {"0X1f", true, 31},
        {"$10", true, 16},         {"$ff", true, 255},        {"-0x10", true, -16},
        {"$FFFFFFFF", true, -1},   {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},  {"0x100000000", false, 0}, {"", false, 0},
        {"abc", false, 0},         {"12abc", false, 0},       {"0x", false, 0},
        {"$", false, 0},           {"-", false, 0},           {"1 2", false, 0},
        {"1.5", false, 0},         {"0x1g", false, 0},        {"\xd9\xa3", false, 0}, // Arabic-Indic 3
    };
    for (const Case &c : cases) {
        int value = 12345;
        EXPECT_EQ(ParseProfileInteger(QString::fromUtf8(c.text), &value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text;
    }
}

TEST_F(ProfileFileTest, ReadsWithWindowsProfileRules)
{
    WriteRaw(IniPath(),
             "; a comment line\n"
             "[Screen]\n"
             "  left = -5  \n"
             "Top=\"  quoted  \"\n"
             "Mixed='single'\n"
             "Half=\"open\n"
             "Width=abc\n"
             "Empty=\n"
             "Color=0x3\n"
             "color=4\n"
             "[screen]\n"
             "Height=999\n"
             "[Defaults]\r\n"
             "Sound=0\r\n"
             "Big=$7fffffff\r\n");
    const ProfileFile ini(IniPath());
    EXPECT_EQ(ini.ReadInteger("SCREEN", "Left", 10), -5);
    EXPECT_EQ(ini.ReadString("Screen", "Top", "x"), "  quoted  ");
    EXPECT_EQ(ini.ReadString("Screen", "Mixed", "x"), "single");
    EXPECT_EQ(ini.ReadString("Screen", "Half", "x"), "\"open");
    EXPECT_EQ(ini.ReadInteger("Screen", "Width", 522), 522);    // not a number
    EXPECT_EQ(ini.ReadString("Screen", "Empty", "x"), "");      // present but empty
    EXPECT_EQ(ini.ReadInteger("Screen", "Empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Screen", "Color", 1), 3);        // first key wins
    EXPECT_EQ(ini.ReadInteger("Screen", "Height", 430), 430);   // second [screen] is ignored
    EXPECT_FALSE(ini.ReadBool("defaults", "SOUND", true));      // CRLF lines
    EXPECT_EQ(ini.ReadInteger("Defaults", "Big", 0), 2147483647);
    EXPECT_EQ(ini.ReadString("Nowhere", "Left", "def"), "def");
    EXPECT_EQ(ini.ReadString("Screen", "; a comment line", "def"), "def");
    EXPECT_TRUE(ini.KeyExists("Screen", "Empty"));
    EXPECT_FALSE(ini.KeyExists("Screen", "Missing"));
}

TEST_F(ProfileFileTest, BooleansReadAsIntegers)
{
    WriteRaw(IniPath(), "[D]\nA=0\nB=1\nC=-3\nD=abc\nE=$0\nF=true\n");
    const ProfileFile ini(IniPath());
    EXPECT_FALSE(ini.ReadBool("D", "A", true));
    EXPECT_TRUE(ini.ReadBool("D", "B", false));
    EXPECT_TRUE(ini.ReadBool("D", "C", false));
    EXPECT_TRUE(ini.ReadBool("D", "D", true));   // non-number: the default
    EXPECT_FALSE(ini.ReadBool("D", "D", false));
    EXPECT_FALSE(ini.ReadBool("D", "E", true));
    EXPECT_TRUE(ini.ReadBool("D", "F", true));
}

TEST_F(ProfileFileTest, LongValuesAreCutAt2047Characters)
{
    const QString longValue(5000, QChar(u'ő'));
    ProfileFile ini(IniPath());
    ini.WriteString("File", "File0", longValue);
    EXPECT_EQ(ini.ReadString("File", "File0", ""), longValue.left(2047));
    // The file itself keeps the whole value.
    EXPECT_TRUE(ReadAll(IniPath()).contains(longValue.toUtf8()));
}

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndFirstWriteCreatesFolderAndFile)
{
    const QString nested = dir.path() + "/config/Zumoria/Zumoria.ini";
    ProfileFile ini(nested);
    EXPECT_EQ(ini.ReadInteger("Screen", "Left", 10), 10);
    ini.DeleteKey("File", "File3"); // nothing to delete: no file appears
    EXPECT_FALSE(QFile::exists(nested));

    ini.WriteString("File", "File0", "/home/u/a.vicc");
    ini.WriteString("Defaults", "Path", "/opt/z/Viccek");
    ini.WriteBool("Defaults", "Sound", true);
    ini.WriteInteger("Screen", "Left", -5);
    ini.WriteString("File", "File1", "/home/u/b.vicc");
    EXPECT_EQ(ReadAll(nested), QByteArray("[File]\n"
                                          "File0=/home/u/a.vicc\n"
                                          "File1=/home/u/b.vicc\n"
                                          "\n"
                                          "[Defaults]\n"
                                          "Path=/opt/z/Viccek\n"
                                          "Sound=1\n"
                                          "\n"
                                          "[Screen]\n"
                                          "Left=-5\n"));
}

TEST_F(ProfileFileTest, WritesKeepEveryOtherLineByteForByte)
{
    const QByteArray original = "; Zumoria settings, edited by hand\n"
                                "[Screen]\n"
                                "Left=1\n"
                                "# not a key line\n"
                                "Custom = keep me \n"
                                "\n"
                                "[Plugins]\n"
                                "Junk line without equals\n"
                                "Raw=\xff\xfe not UTF-8\n"
                                "[Defaults]\n"
                                "Sound=1";
    WriteRaw(IniPath(), original);
    ProfileFile ini(IniPath());
    ini.WriteInteger("screen", "LEFT", 200);      // replaced where it stands
    ini.WriteInteger("Screen", "Top", 30);        // appended to its section, before the blank
    ini.WriteBool("Defaults", "Sound", false);    // last line without a line break
    ini.WriteString("Defaults", "Path", "a\nb");  // a line break cannot split the line
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("; Zumoria settings, edited by hand\n"
                                             "[Screen]\n"
                                             "LEFT=200\n"
                                             "# not a key line\n"
                                             "Custom = keep me \n"
                                             "Top=30\n"
                                             "\n"
                                             "[Plugins]\n"
                                             "Junk line without equals\n"
                                             "Raw=\xff\xfe not UTF-8\n"
                                             "[Defaults]\n"
                                             "Sound=0\n"
                                             "Path=a b\n"));
}

TEST_F(ProfileFileTest, CrLfFilesStayCrLfAndKeysCanBeDeleted)
{
    WriteRaw(IniPath(), "[File]\r\nFile0=a\r\nFile1=b\r\nFile2=c\r\n");
    ProfileFile ini(IniPath());
    ini.DeleteKey("file", "FILE1");
    ini.WriteString("File", "File3", "d");
    ini.DeleteKey("File", "File9");
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("[File]\r\nFile0=a\r\nFile2=c\r\nFile3=d\r\n"));
}

TEST_F(ProfileFileTest, RefusedWriteRaisesUnableToWriteAndLeavesNothingBehind)
{
    // A plain file stands where the settings folder should be.
    WriteRaw(dir.path() + "/Zumoria", "not a folder");
    const QString path = dir.path() + "/Zumoria/Zumoria.ini";
    ProfileFile ini(path);
    try {
        ini.WriteInteger("Screen", "Left", 1);
        FAIL() << "the write did not fail";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), "Unable to write to " + path);
    }
    EXPECT_EQ(ReadAll(dir.path() + "/Zumoria"), QByteArray("not a folder"));
}

TEST_F(ProfileFileTest, WriteThatFailsHalfWayLeavesTheOldFileIntact)
{
    const QByteArray original = "[Defaults]\nSound=1\n[File]\nFile0=/a.vicc\n";
    WriteRaw(IniPath(), original);
    ProfileFile ini(IniPath());

    // Let the system refuse every byte beyond 256 of any file this process
    // writes: the new file is cut off in the middle of its write.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
        ini.WriteString("File", "File1", QString(1000, u'x'));
    } catch (const AppError &) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadAll(IniPath()), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Zumoria.ini"});
}

TEST_F(ProfileFileTest, WriteThroughSymbolicLinkKeepsTheLink)
{
    WriteRaw(dir.path() + "/real.ini", "[Screen]\nLeft=1\n");
    ASSERT_TRUE(QFile::link(dir.path() + "/real.ini", IniPath()));
    ProfileFile ini(IniPath());
    ini.WriteInteger("Screen", "Left", 2);
    EXPECT_TRUE(QFileInfo(IniPath()).isSymLink());
    EXPECT_EQ(ReadAll(dir.path() + "/real.ini"), QByteArray("[Screen]\nLeft=2\n"));
}

// A settings file that is there but cannot be read, that is read-only, or
// that is no regular file is never replaced, whatever its folder allows: a
// write raises "Unable to write to <path>" and every byte stays. (Renaming
// over it would succeed in the writable folder.)
TEST_F(ProfileFileTest, FileThatCannotBeReadOrWrittenIsRefusedAndKept)
{
    const QByteArray original = "[File]\nFile0=/a.vicc\n[Screen]\nColor=2\n";
    struct Case { const char *what; mode_t mode; bool fifo; };
    const Case cases[] = {
        {"unreadable", 0200, false},
        {"read-only", 0444, false},
        {"a FIFO", 0644, true},
    };
    for (const Case &c : cases) {
        QFile::remove(IniPath());
        if (c.fifo)
            ASSERT_EQ(::mkfifo(QFile::encodeName(IniPath()).constData(), c.mode), 0);
        else
            WriteRaw(IniPath(), original);
        ASSERT_EQ(::chmod(QFile::encodeName(IniPath()).constData(), c.mode), 0);
        QString raised;
        {
            const NoFileOverride plainUser;
            ProfileFile ini(IniPath());
            try {
                ini.WriteInteger("Screen", "Height", 430);
            } catch (const AppError &e) {
                raised = e.text();
            }
            if (c.mode == 0444) {
                EXPECT_THROW(ini.DeleteKey("File", "File0"), AppError) << c.what;
            }
        }
        EXPECT_EQ(raised, "Unable to write to " + IniPath()) << c.what;
        ::chmod(QFile::encodeName(IniPath()).constData(), 0644);
        if (c.fifo)
            EXPECT_FALSE(QFileInfo(IniPath()).isFile()) << "the FIFO stays a FIFO";
        else
            EXPECT_EQ(ReadAll(IniPath()), original) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                  QStringList{"Zumoria.ini"}) << c.what;
    }
}

// Byte-order marks before the first line stay as they were, however many:
// the first section is read after them, and values written read back.
TEST_F(ProfileFileTest, ByteOrderMarksStayAndValuesReadBack)
{
    const QByteArray marks = "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF";
    const QByteArray finding = ReadAll(ZUMORIA_SOURCE_DIR "/tests/fuzz/corpus/fuzz_profile/profile-three-byte-order-marks.ini");
    ASSERT_TRUE(finding.startsWith(marks));
    for (const QByteArray &start : {finding, marks + "[File]\r\nFile1=/b.vicc\r\n", QByteArray("\xEF\xBB\xBF[Screen]\n")}) {
        WriteRaw(IniPath(), start);
        ProfileFile ini(IniPath());
        for (int round = 0; round < 3; ++round) {
            ini.WriteInteger("Screen", "Color", 3 + round);
            ASSERT_EQ(ini.ReadInteger("Screen", "Color", 0), 3 + round) << start.toHex().toStdString();
            ini.WriteString("File", "File0", "/a/b.vicc");
            ASSERT_EQ(ini.ReadString("File", "File0", {}), "/a/b.vicc") << start.toHex().toStdString();
            ini.DeleteKey("File", "File0");
            EXPECT_FALSE(ini.KeyExists("File", "File0"));
        }
        const QByteArray after = ReadAll(IniPath());
        const qsizetype kept = start.startsWith(marks) ? marks.size() : 3;
        EXPECT_EQ(after.first(kept), start.first(kept));
        EXPECT_FALSE(after.sliced(kept).startsWith("\xEF")) << "no mark added";
        // A key the file held before is still found in its section.
        if (start.contains("File1")) {
            EXPECT_EQ(ini.ReadString("File", "File1", {}), "/b.vicc");
        }
    }
}

TEST_F(ProfileFileTest, AWholeSectionIsReadAndReplacedInOneWrite)
{
    WriteRaw(IniPath(), "[Screen]\r\nLeft=1\r\n[places]\r\n; kept\r\nPlace0=\"3 /a\"\r\nPLACE0=9 /x\r\n"
                        "Place1 = 4 /b \r\n\r\n[File]\r\nFile0=/a\r\n");
    ProfileFile ini(IniPath());
    EXPECT_EQ(ini.ReadSection("PLACES"), (ProfileFile::Entries{{"Place0", "3 /a"}, {"Place1", "4 /b"}}));
    ini.WriteSection("Places", {{"Place0", "1 /c"}});
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("[Screen]\r\nLeft=1\r\n[places]\r\nPlace0=1 /c\r\n; kept\r\n\r\n"
                                             "[File]\r\nFile0=/a\r\n"));
    // A new section goes to the end; nothing to write for a missing one
    // writes nothing.
    ini.WriteSection("Reader", {{"WrapLines", "1"}, {"FindIgnoresAccents", "0"}});
    ini.WriteSection("Nothing", {});
    EXPECT_EQ(ReadAll(IniPath()), QByteArray("[Screen]\r\nLeft=1\r\n[places]\r\nPlace0=1 /c\r\n; kept\r\n\r\n"
                                             "[File]\r\nFile0=/a\r\n\r\n[Reader]\r\nWrapLines=1\r\n"
                                             "FindIgnoresAccents=0\r\n"));
    EXPECT_TRUE(ini.ReadSection("Nothing").isEmpty());
}
