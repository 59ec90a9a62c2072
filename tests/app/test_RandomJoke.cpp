// The program on the command line with fortune collections: --random picks
// one joke of all the jokes given, the exports print fortune folders.
#include "app/JokeCollection.h"
#include "support/PdfText.h"
#include "support/ProgramRun.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Games = QStringLiteral("/usr/share/games/fortunes");

class RandomJokeTest : public ::testing::Test
{
protected:
    // Runs the program with its settings in a folder of this test.
    ProgramRun Run(const QStringList &args, const QByteArray &lang = "C.UTF-8")
    {
        return RunZumoria(args, config.path(), lang);
    }
    QSet<QString> TextsOf(const QString &path)
    {
        QSet<QString> texts;
        for (const JokeEntry &joke : ReadJokeCollection(path).Jokes)
            texts.insert(JokeText(joke, false) + u'\n');
        return texts;
    }

    QTemporaryDir config;
    QTemporaryDir tmp;
};

TEST_F(RandomJokeTest, EveryAnswerIsOneOfTheTexts)
{
    const QString fortunes = Games + "/fortunes";
    const QSet<QString> texts = TextsOf(fortunes);
    ASSERT_EQ(texts.size(), 431);
    // One more file with a single text: each of the 432 texts is as likely
    // as any other, so this one comes about once in 300 picks, not half the
    // time as a pick of a file first would make it.
    const QString single = WriteBytes(tmp.filePath("egy"), "Egyetlen vicc.\n%\n");
    QSet<QString> seen;
    int singles = 0;
    for (int run = 0; run < 300; ++run) {
        const ProgramRun r = Run({QStringLiteral("--random"), fortunes, single});
        ASSERT_EQ(r.status, 0) << r.errors.toStdString();
        const QString text = QString::fromUtf8(r.output);
        if (text == u"Egyetlen vicc.\n")
            ++singles;
        else
            ASSERT_TRUE(texts.contains(text)) << r.output.toStdString();
        seen.insert(text);
    }
    EXPECT_GE(seen.size(), 100);
    EXPECT_LT(singles, 20);
}

TEST_F(RandomJokeTest, FoldersJokeFilesAndTheRecentFile)
{
    // A folder: any of its texts, written in UTF-8 whatever the locale.
    const QSet<QString> de = TextsOf(Games + "/de/huhn");
    const ProgramRun folder = Run({QStringLiteral("--random"), Games + "/de/huhn"}, "C");
    EXPECT_EQ(folder.status, 0);
    EXPECT_TRUE(de.contains(QString::fromUtf8(folder.output))) << folder.output.toStdString();
    const QString latin1 = WriteBytes(tmp.filePath("regi"), "\xE9t\xE9\n%\n");
    EXPECT_EQ(Run({QStringLiteral("--random"), latin1}, "C").output, QByteArray("\xC3\xA9t\xC3\xA9\n"));
    // A joke file's joke: its lines without heading and pictures.
    const QString vicc = WriteBytes(tmp.filePath("egy.vicc"), "##Cím\nElső sor\n>>kep.jpg\nMásodik\n<<\n");
    EXPECT_EQ(QString::fromUtf8(Run({QStringLiteral("--random"), vicc}).output), "Első sor\nMásodik\n");

    // Without a collection: the first of the recent-files list.
    const ProgramRun none = Run({QStringLiteral("--random")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.errors.startsWith("zumoria: ")) << none.errors.toStdString();
    QDir(config.path()).mkpath(QStringLiteral("Zumoria"));
    WriteBytes(config.filePath("Zumoria/Zumoria.ini"), "[File]\nFile0=" + latin1.toUtf8() + "\nFile1=" + vicc.toUtf8() + "\n");
    const ProgramRun recent = Run({QStringLiteral("--random")});
    EXPECT_EQ(recent.status, 0);
    EXPECT_EQ(recent.output, QByteArray("\xC3\xA9t\xC3\xA9\n"));
}

TEST_F(RandomJokeTest, NothingToChooseFromAndErrors)
{
    const QString empty = WriteBytes(tmp.filePath("ures"), "%\n%\n");
    QDir(tmp.path()).mkdir(QStringLiteral("mappa"));
    struct Case
    {
        QStringList args;
        int status;
    } cases[] = {
        {{QStringLiteral("--random"), empty}, 1},
        {{QStringLiteral("--random"), tmp.filePath("mappa")}, 1},
        {{QStringLiteral("--random"), tmp.filePath("nincs")}, 2},
        {{QStringLiteral("--random"), Games + "/fortunes", tmp.filePath("nincs")}, 2},
        {{QStringLiteral("--random"), QStringLiteral("/dev/null")}, 2},
        {{QStringLiteral("--random"), QStringLiteral("--export-pdf"), tmp.filePath("x.pdf"), empty}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun r = Run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.output.isEmpty());
        EXPECT_TRUE(r.errors.startsWith("zumoria: ")) << r.errors.toStdString();
    }
}

TEST_F(RandomJokeTest, FortuneCollectionsPrintThroughTheBandEngine)
{
    // German texts keep their letters in the printed list.
    const QString huhn = tmp.filePath("huhn.pdf");
    const ProgramRun german = Run({QStringLiteral("--export-pdf"), huhn, Games + "/de/huhn"});
    ASSERT_EQ(german.status, 0) << german.errors.toStdString();
    const QString text = PdfText(huhn, false);
    for (const char *word : {"überquerte", "Straße", "Kindergärtnerin", "*** huhn"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(word))) << word;

    // A folder of 2,000 texts in four files.
    const QString folder = tmp.filePath("ketezer");
    QDir().mkpath(folder);
    for (int file = 0; file < 4; ++file) {
        QByteArray bytes;
        for (int k = 0; k < 500; ++k)
            bytes += "Text " + QByteArray::number(file * 500 + k + 1) + " of file " + QByteArray::number(file) + "\n%\n";
        WriteBytes(folder + "/f" + QString::number(file), bytes);
    }
    const QString pdf = tmp.filePath("ketezer.pdf");
    const ProgramRun many = Run({QStringLiteral("--export-pdf"), pdf, folder});
    ASSERT_EQ(many.status, 0) << many.errors.toStdString();
    const QString list = PdfText(pdf, false);
    for (const char *piece : {"ketezer", "*** f0", "Text 1 of file 0", "*** f3", "Text 2000 of file 3", "#2000"})
        EXPECT_TRUE(list.contains(QString::fromUtf8(piece))) << piece;
    EXPECT_GT(PdfPageCount(pdf), 20);
    const QString zrp = tmp.filePath("ketezer.zrp");
    EXPECT_EQ(Run({QStringLiteral("--export-zrp"), zrp, folder}).status, 0);
    EXPECT_GT(QFileInfo(zrp).size(), 0);
}

} // namespace
