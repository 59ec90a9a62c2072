// zumoria --find: the jokes that hold a text, printed by the program itself.
#include "app/Program.h"
#include "platform/ProfileFile.h"

#include "support/ProgramRun.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FindJokesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        jokes = WriteJokeFile(tmp.filePath("viccek.vicc"),
                              {"// megjegyzés: szörny", "##A szörny", "Egy SZÖRNY jön.", ">>szorny.jpg", "<<",
                               "Semmi különös.", "<<", "##Harmadik", "Még egy szörnyeteg,", "", "és vége.", "<<"});
        fortunes = WriteBytes(tmp.filePath("mondasok"), "Szorny a neve.\n%\nNem az.\n%\n");
    }
    // Runs the program in the C locale: the output is UTF-8 all the same.
    ProgramRun Run(const QStringList &args) { return RunZumoria(args, config.path(), "C"); }

    QTemporaryDir tmp;
    QTemporaryDir config;
    QString jokes;
    QString fortunes;
};

TEST_F(FindJokesTest, EveryJokeThatHoldsTheTextWithItsHeadingLinesAndNumber)
{
    const ProgramRun r = Run({"--find", "szörny", jokes});
    EXPECT_EQ(r.status, 0) << r.errors.toStdString();
    // Comments and picture names are no text; the output is UTF-8 whatever
    // the locale.
    EXPECT_EQ(r.output, QByteArray("A szörny\nEgy SZÖRNY jön.\n#1\n"
                                   "\n"
                                   "Harmadik\nMég egy szörnyeteg,\n\nés vége.\n#3\n"));
    EXPECT_TRUE(r.errors.isEmpty());
}

TEST_F(FindJokesTest, CaseAndAccentsAsAsked)
{
    struct Case
    {
        QStringList options;
        QString text;
        int status;
        QByteArray numbers;
    };
    const Case cases[] = {
        {{}, "SZÖRNY", 0, "#1\n"},
        {{}, "Szörny", 1, ""},
        {{"-i"}, "Szörny", 0, "#1\n#3\n"},
        {{"--ignore-case"}, "SZÖRNYETEG", 0, "#3\n"},
        {{}, "szorny", 1, ""},
        {{"--ignore-accents"}, "szorny", 0, "#1\n#3\n"},
        {{"-i", "--ignore-accents"}, "SZORNY JON", 0, "#1\n"},
        {{}, "nincs ilyen", 1, ""},
    };
    for (const Case &c : cases) {
        const ProgramRun r = Run(QStringList{"--find", c.text} + c.options + QStringList{jokes});
        EXPECT_EQ(r.status, c.status) << c.text.toStdString();
        QByteArray numbers;
        for (const QByteArray &line : r.output.split('\n'))
            if (line.startsWith('#'))
                numbers += line + '\n';
        EXPECT_EQ(numbers, c.numbers) << c.text.toStdString();
    }
}

TEST_F(FindJokesTest, SeveralCollectionsFoldersAndTheOneShownLast)
{
    // Several collections: the path follows each number. A fortune's
    // heading names its file and is not searched.
    ProgramRun r = Run({"--find", "szorny", "--ignore-accents", "-i", jokes, fortunes});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.output.endsWith("\n*** mondasok\nSzorny a neve.\n#1 " + fortunes.toUtf8() + "\n"))
        << r.output.toStdString();
    EXPECT_TRUE(r.output.contains("#3 " + jokes.toUtf8() + "\n"));
    r = Run({"--find", "mondasok", fortunes});
    EXPECT_EQ(r.status, 1);

    // Without a collection: the first of the recent files.
    ProfileFile(config.path() + "/Zumoria/Zumoria.ini").WriteString("File", "File0", fortunes);
    r = Run({"--find", "nem az"});
    EXPECT_EQ(r.status, 1);
    r = Run({"-i", "--find", "nem az"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "*** mondasok\nNem az.\n#2\n");
}

TEST_F(FindJokesTest, MistakesAndMissingCollectionsEndWithStatusTwo)
{
    struct Case
    {
        QStringList args;
        QByteArray says;
    };
    const Case cases[] = {
        {{"--find"}, "needs a text to find"},
        {{"--find", ""}, "needs a text to find"},
        {{"-i", "x.vicc"}, "go with --find"},
        {{"--find", "a", "--random"}, "does not go with --find"},
        {{"--find", "a", "--export-pdf", "ki.pdf"}, "does not go with an export"},
        {{"--find", "a", "--find", "b"}, "one search per run"},
        {{"--find", "a", "/nincs/ilyen.vicc"}, "/nincs/ilyen.vicc: no such joke file or folder"},
        {{"--find", "a"}, "no collection given and none shown before"},
    };
    for (const Case &c : cases) {
        const ProgramRun r = Run(c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.errors.startsWith("zumoria: ") && r.errors.contains(QString::fromUtf8(c.says)))
            << r.errors.toStdString();
        EXPECT_TRUE(r.output.isEmpty());
    }
}

TEST(FindCommandLine, OptionsOfTheSearch)
{
    const char *const args[] = {"zumoria", "--ignore-accents", "--find", "Szörny", "-i", "a.vicc", "b"};
    const CommandLine c = ParseCommandLine(7, args);
    EXPECT_EQ(c.action, CommandLine::Find);
    EXPECT_EQ(c.findText, "Szörny");
    EXPECT_TRUE(c.ignoreCase);
    EXPECT_TRUE(c.ignoreAccents);
    EXPECT_EQ(c.jokeFiles, (QStringList{"a.vicc", "b"}));
    // "--" ends the options: a text that starts with a dash is given as
    // the option's value.
    const char *const dashed[] = {"zumoria", "--find", "-i", "--", "-x.vicc"};
    const CommandLine d = ParseCommandLine(5, dashed);
    EXPECT_EQ(d.action, CommandLine::Find);
    EXPECT_EQ(d.findText, "-i");
    EXPECT_FALSE(d.ignoreCase);
    EXPECT_EQ(d.jokeFiles, QStringList{"-x.vicc"});
}

} // namespace
