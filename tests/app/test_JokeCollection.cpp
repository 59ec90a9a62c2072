#include "app/JokeCollection.h"
#include "platform/AppError.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/TextLines.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The fortune files of fortunes-min and fortunes-de, installed with the
// other test dependencies.
const QString Games = QStringLiteral("/usr/share/games/fortunes");
const QString Fixtures = QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/app/fortunes/");

QStringList Headings(const TJokeCollection &collection)
{
    QStringList headings;
    for (const JokeEntry &joke : collection.Jokes)
        headings << joke.heading;
    return headings;
}

// Sets an environment variable for one scope.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QByteArray &value) : FName(name), FOld(qgetenv(name)), FHad(qEnvironmentVariableIsSet(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (FHad)
            qputenv(FName, FOld);
        else
            qunsetenv(FName);
    }

private:
    const char *FName;
    QByteArray FOld;
    bool FHad;
};

// Every real fortune file holds as many texts as the index strfile wrote
// beside it says, or, without an index, as it has '%' lines.
TEST(JokeCollectionTest, RealFortuneFilesHoldTheirTexts)
{
    ASSERT_TRUE(QFileInfo(Games + "/fortunes").isFile()) << "fortunes-min is not installed";
    ASSERT_TRUE(QFileInfo(Games + "/de").isDir()) << "fortunes-de is not installed";
    int files = 0, indexed = 0;
    for (const QString &folder : {Games, Games + "/de"}) {
        for (const QFileInfo &entry : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            if (entry.suffix() == u"dat" || entry.suffix() == u"u8")
                continue;
            SCOPED_TRACE(entry.filePath().toStdString());
            const TJokeCollection collection = ReadJokeCollection(entry.filePath());
            if (const std::optional<FortuneIndex> index = ParseFortuneIndex(ReadAll(entry.filePath() + ".dat"))) {
                EXPECT_EQ(collection.Jokes.size(), index->Count);
                ++indexed;
            } else {
                EXPECT_EQ(qsizetype(collection.Jokes.size()),
                          ReadAll(entry.filePath()).split('\n').count(QByteArray("%")));
            }
            EXPECT_TRUE(collection.PictureDir.isEmpty());
            EXPECT_TRUE(collection.SourceLines.isEmpty());
            for (const JokeEntry &joke : collection.Jokes)
                ASSERT_EQ(joke.heading, "*** " + entry.fileName());
            ++files;
        }
    }
    EXPECT_GE(files, 40);
    EXPECT_GE(indexed, 30);
}

TEST(JokeCollectionTest, KnownTextsOfRealFiles)
{
    struct Case
    {
        const char *file;
        int joke;  // from the end when negative
        QStringList lines;
    } cases[] = {
        {"fortunes", 0, L({"A day for firm decisions!!!!!  Or is it?"})},
        {"fortunes", 3, L({"A long-forgotten loved one will appear soon.", "", "Buy the negatives at any price."})},
        {"fortunes", -1, L({"Your true value depends entirely on what you are compared with."})},
        {"de/huhn", 0,
         L({"Warum überquerte das Huhn die Straße?", "Kindergärtnerin:", "  Um auf die andere Straßenseite zu kommen."})},
        // Tabs become spaces up to the next stop of eight columns.
        {"de/fussball", 0,
         L({"Unser Koch hat gerade Inter Mailand gekauft.", "                -- Fiat-Chef Agnelli",
            "(Der \"Koch\" war Großküchen-Betreiber Pellegrini)"})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const TJokeCollection collection = ReadJokeCollection(Games + '/' + QString::fromLatin1(c.file));
        const int n = int(collection.Jokes.size());
        ASSERT_GT(n, 0);
        const JokeEntry &joke = collection.Jokes[size_t(c.joke < 0 ? n + c.joke : c.joke)];
        EXPECT_EQ(joke.lines, c.lines);
        EXPECT_EQ(joke.height, 15 * c.lines.size() + 60);
    }
}

TEST(JokeCollectionTest, TheRealFolderInNameOrder)
{
    const TJokeCollection all = ReadJokeCollection(Games);
    QStringList order;  // every heading once, in the order met
    for (const QString &heading : Headings(all))
        if (order.isEmpty() || order.back() != heading)
            order << heading;
    ASSERT_GE(order.size(), 40);
    EXPECT_EQ(order.mid(0, 4), (QStringList{"*** fortunes", "*** literature", "*** riddles", "*** de/anekdoten"}));
    EXPECT_EQ(order.removeDuplicates(), 0) << "a file read twice";
    for (const QString &heading : order)
        EXPECT_FALSE(heading.endsWith(u".dat") || heading.endsWith(u".u8")) << heading.toStdString();
    // Every file's texts, stacked one below the other.
    size_t expected = 0;
    for (const QString &heading : order)
        expected += ReadJokeCollection(Games + '/' + heading.mid(4)).Jokes.size();
    EXPECT_EQ(all.Jokes.size(), expected);
    EXPECT_EQ(all.Jokes.front().top, 4);
    for (size_t k = 1; k < all.Jokes.size(); ++k)
        ASSERT_EQ(all.Jokes[k].top, all.Jokes[k - 1].top + all.Jokes[k - 1].height + 4);
    EXPECT_EQ(all.ScrollRange, all.Jokes.back().top + all.Jokes.back().height + 8);
}

// Which rules a file is read by, and what they make of it.
TEST(JokeCollectionTest, JokeFilesAndFortuneFiles)
{
    QTemporaryDir tmp;
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList headings;
        std::vector<QStringList> lines;
        bool pictures;
    } cases[] = {
        // A .vicc name keeps the joke file rules, '%' lines or not.
        {"a.vicc", "##H\na\n%\n>>p.jpg\n<<\nrest\n", {"H"}, {L({"a", "%", ">>p.jpg"})}, true},
        {"B.VICC", "// c\na\n%\n<<\n", {"*** vicc"}, {L({"a", "%"})}, true},
        // Without separators and without an index: a joke file by any name.
        {"regi", "##H\nt\n<<\n", {"H"}, {L({"t"})}, true},
        {"ures", "", {}, {}, true},
        // '%' lines make a fortune file: markers are text.
        {"uj", "##H\n>>t\n%\n// c\n<<\n%\n", {"*** uj", "*** uj"}, {L({"##H", ">>t"}), L({"// c", "<<"})}, false},
        {"crlf", "a\r\nb \r\n%\r\n\r\n%\r\nc\r\n", {"*** crlf", "*** crlf"}, {L({"a", "b"}), L({"c"})}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteBytes(tmp.filePath(QString::fromLatin1(c.name)), c.bytes);
        const TJokeCollection collection = ReadJokeCollection(path);
        EXPECT_EQ(Headings(collection), c.headings);
        ASSERT_EQ(collection.Jokes.size(), c.lines.size());
        for (size_t k = 0; k < c.lines.size(); ++k)
            EXPECT_EQ(collection.Jokes[k].lines, c.lines[k]);
        EXPECT_EQ(collection.PictureDir, c.pictures ? tmp.path() + "//" : QString());
    }
}

TEST(JokeCollectionTest, IndexesBesideHandMadeFiles)
{
    struct Case
    {
        const char *name;
        std::vector<QStringList> lines;
    } cases[] = {
        // Rotated texts are shown turned back.
        {"forgatott", {L({"Why did the chicken cross the road?", "To get to the other side."}),
                       L({"Knock, knock.", "        Who is there?"})}},
        // The index was made when the file had two texts: the file wins.
        {"elavult", {L({"First text."}), L({"Second text, grown."}), L({"Third text, new."})}},
        // No '%' line at all: the index makes it a fortune file and names '@'.
        {"kukac", {L({"Egy@"}), L({"Ket"})}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const TJokeCollection collection = ReadJokeCollection(Fixtures + QString::fromLatin1(c.name));
        ASSERT_EQ(collection.Jokes.size(), c.lines.size());
        for (size_t k = 0; k < c.lines.size(); ++k) {
            EXPECT_EQ(collection.Jokes[k].lines, c.lines[k]);
            EXPECT_EQ(collection.Jokes[k].heading, "*** " + QString::fromLatin1(c.name));
        }
    }
}

TEST(JokeCollectionTest, TextThatIsNotUtf8IsReadInTheLocalesEncoding)
{
    QTemporaryDir tmp;
    const QString fortune = WriteBytes(tmp.filePath("regi"), "\xE9t\xE9 \xF5\n%\n");
    const QString joke = WriteBytes(tmp.filePath("regi.vicc"), "\xE9t\xE9 \xF5\n<<\n");
    const QString utf8 = WriteBytes(tmp.filePath("uj"), "\xC3\xA9t\xC3\xA9 \xC5\x91\n%\n");
    ScopedEnv noAll("LC_ALL", QByteArray());
    ScopedEnv noCtype("LC_CTYPE", QByteArray());
    {
        ScopedEnv lang("LANG", "hu_HU.UTF-8");
        EXPECT_EQ(ReadJokeCollection(fortune).Jokes.at(0).lines, L({"été ő"}));
        EXPECT_EQ(ReadJokeCollection(utf8).Jokes.at(0).lines, L({"été ő"}));
    }
    {
        ScopedEnv lang("LANG", "C.UTF-8");
        EXPECT_EQ(ReadJokeCollection(fortune).Jokes.at(0).lines, L({"été õ"}));
        // A joke file stays in code page 1250 whatever the locale.
        EXPECT_EQ(ReadJokeCollection(joke).Jokes.at(0).lines, L({"été ő"}));
    }
}

TEST(JokeCollectionTest, AFolderReadsItsFortuneFilesOnly)
{
    QTemporaryDir tmp;
    QDir dir(tmp.path());
    WriteBytes(tmp.filePath("b"), "B1\n%\nB2\n");
    WriteBytes(tmp.filePath("a"), "A1\n%\n");
    WriteBytes(tmp.filePath("a.dat"), ReadAll(Fixtures + "forgatott.dat"));  // rotated
    ASSERT_TRUE(QFile::link(tmp.filePath("a"), tmp.filePath("a.u8")));
    ASSERT_TRUE(QFile::link(tmp.filePath("b"), tmp.filePath("0-first-link")));
    ASSERT_TRUE(QFile::link(tmp.filePath("nowhere"), tmp.filePath("dangling")));
    WriteBytes(tmp.filePath("jokes.vicc"), "x\n%\n<<\n");
    WriteBytes(tmp.filePath("notes.txt"), "no separator here\n");
    WriteBytes(tmp.filePath("binary"), QByteArray("\x7f" "ELF\0\n%\n", 8));
    WriteBytes(tmp.filePath(".hidden"), "H\n%\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(tmp.filePath("fifo")).constData(), 0600), 0);
    dir.mkpath("sub/deeper");
    WriteBytes(tmp.filePath("sub/c"), "C1\n%\n");
    WriteBytes(tmp.filePath("sub/deeper/d"), "D1\n%\n");
    ASSERT_TRUE(QFile::link(tmp.path(), tmp.filePath("sub/up")));
    ASSERT_TRUE(QFile::link(tmp.filePath("sub"), tmp.filePath("sub2")));

    const TJokeCollection collection = ReadJokeCollection(tmp.path());
    // A link to a file of the folder leaves it to the file's own name; "a"
    // is rotated by its index.
    EXPECT_EQ(Headings(collection), (QStringList{"*** a", "*** b", "*** b", "*** sub/c"}));
    std::vector<QStringList> lines;
    for (const JokeEntry &joke : collection.Jokes)
        lines.push_back(joke.lines);
    EXPECT_EQ(lines, (std::vector<QStringList>{L({"N1"}), L({"B1"}), L({"B2"}), L({"C1"})}));
    EXPECT_TRUE(collection.PictureDir.isEmpty());
}

TEST(JokeCollectionTest, WhatCannotBeRead)
{
    QTemporaryDir tmp;
    EXPECT_FALSE(CollectionExists(tmp.filePath("nincs")));
    EXPECT_FALSE(CollectionExists(QString()));
    EXPECT_FALSE(CollectionExists(QStringLiteral("/dev/null")));
    EXPECT_TRUE(CollectionExists(tmp.path()));
    EXPECT_THROW(ReadCollectionFiles(tmp.filePath("nincs")), AppError);
    // An empty folder is an empty collection.
    EXPECT_TRUE(ReadJokeCollection(tmp.path()).Jokes.empty());
    EXPECT_EQ(ReadJokeCollection(tmp.path()).ScrollRange, 0);
}

} // namespace
