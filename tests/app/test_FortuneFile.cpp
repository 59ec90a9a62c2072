#include "app/FortuneFile.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/TextLines.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Hand-made fortune files with indexes written by strfile: "forgatott"
// (strfile -x, rotated), "elavult" (indexed with two texts, then given a
// third) and "kukac" (strfile -c @).
const QString Fixtures = QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/app/fortunes/");

TEST(FortuneFileTest, SeparatorLinesInBytes)
{
    struct Case
    {
        QByteArray bytes;
        bool separator;
    } cases[] = {
        {"a\n%\nb", true},
        {"%\n", true},
        {"a\n%", true},
        {"a\r\n%\r\nb", true},
        {"a\r%\rb", true},
        {"a\n% \t\nb", true},
        {"a\n%%\n", false},
        {"a\n %\n", false},
        {"a%\n", false},
        {"100% sure\n", false},
        {"a\n%b\n", false},
        {QByteArray("a\0\n%\n", 5), false},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HasFortuneSeparator(c.bytes), c.separator) << c.bytes.toStdString();
    EXPECT_TRUE(HasFortuneSeparator("x\n@\n", '@'));
    EXPECT_FALSE(HasFortuneSeparator("x\n@\n"));
}

TEST(FortuneFileTest, LinesAreTidied)
{
    struct Case
    {
        const char *line;
        const char *shown;
    } cases[] = {
        {"\tTab", "        Tab"},
        {"ab\tc", "ab      c"},
        {"abcdefgh\ti", "abcdefgh        i"},
        {"a\t\tb", "a               b"},
        {"trailing  \t ", "trailing"},
        {"  lead kept", "  lead kept"},
        {"\t", ""},
        {"ő\tx", "ő       x"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TidyFortuneLine(QString::fromUtf8(c.line)), QString::fromUtf8(c.shown)) << c.line;
}

TEST(FortuneFileTest, CuttingIntoTexts)
{
    struct Case
    {
        const char *name;
        QStringList lines;
        std::vector<QStringList> texts;
    } cases[] = {
        {"empty", {}, {}},
        {"no separator: one text", L({"a", "b"}), {L({"a", "b"})}},
        {"no trailing separator", L({"a", "%", "b"}), {L({"a"}), L({"b"})}},
        {"empty texts dropped", L({"%", "a", "%", "%", "", "  ", "%", "b", "%"}), {L({"a"}), L({"b"})}},
        {"blank lines inside stay", L({"", "a", "", "%"}), {L({"", "a", ""})}},
        {"separator with trailing blanks", L({"a", "% \t", "b"}), {L({"a"}), L({"b"})}},
        {"near separators are text", L({"%%", " %", "100%", "%"}), {L({"%%", " %", "100%"})}},
        {"markers of joke files are text", L({"##a", ">>b.jpg", "<<", "// c", "%"}),
         {L({"##a", ">>b.jpg", "<<", "// c"})}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutIntoFortunes(c.lines), c.texts);
    }
    EXPECT_EQ(CutIntoFortunes(L({"a%", "@", "b"}), u'@'), (std::vector<QStringList>{L({"a%"}), L({"b"})}));
}

TEST(FortuneFileTest, IndexesWrittenByStrfile)
{
    struct Case
    {
        QString path;
        quint32 count;
        bool rotated;
        char delimiter;
    } cases[] = {
        {QStringLiteral("/usr/share/games/fortunes/fortunes.dat"), 431, false, '%'},
        {Fixtures + "forgatott.dat", 2, true, '%'},
        {Fixtures + "elavult.dat", 2, false, '%'},
        {Fixtures + "kukac.dat", 2, false, '@'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const std::optional<FortuneIndex> index = ParseFortuneIndex(ReadAll(c.path));
        ASSERT_TRUE(index.has_value());
        EXPECT_EQ(index->Count, c.count);
        EXPECT_EQ(index->Rotated(), c.rotated);
        EXPECT_EQ(index->Delimiter, c.delimiter);
    }
}

TEST(FortuneFileTest, BytesThatAreNoIndex)
{
    const QByteArray good = ReadAll(Fixtures + "forgatott.dat");
    ASSERT_TRUE(ParseFortuneIndex(good).has_value());
    QByteArray version3 = good, noDelimiter = good, tooLong = good + "xxxx";
    version3[3] = 3;
    noDelimiter[20] = '\n';
    for (const QByteArray &bytes : {QByteArray(), good.left(23), good.left(good.size() - 4), tooLong, version3,
                                    noDelimiter, QByteArray("First text.\n%\nSecond text.\n%\n")})
        EXPECT_FALSE(ParseFortuneIndex(bytes).has_value()) << bytes.toHex().toStdString();
}

TEST(FortuneFileTest, IndexBesideAFileOrItsLinkTarget)
{
    QTemporaryDir tmp;
    const QString file = WriteBytes(tmp.filePath("viccek"), "a\n%\n");
    EXPECT_FALSE(FortuneIndexOf(file).has_value());
    WriteBytes(tmp.filePath("viccek.dat"), ReadAll(Fixtures + "forgatott.dat"));
    ASSERT_TRUE(FortuneIndexOf(file).has_value());
    EXPECT_TRUE(FortuneIndexOf(file)->Rotated());
    ASSERT_TRUE(QFile::link(file, tmp.filePath("viccek.u8")));
    ASSERT_TRUE(FortuneIndexOf(tmp.filePath("viccek.u8")).has_value());
    // Damaged or not a regular file: no index.
    WriteBytes(tmp.filePath("rossz.dat"), "garbage");
    EXPECT_FALSE(FortuneIndexOf(tmp.filePath("rossz")).has_value());
    QDir(tmp.path()).mkdir("mappa.dat");
    EXPECT_FALSE(FortuneIndexOf(tmp.filePath("mappa")).has_value());
}

} // namespace
