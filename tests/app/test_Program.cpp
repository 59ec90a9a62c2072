#include "app/Program.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <vector>

namespace {

CommandLine Parse(std::vector<const char *> args)
{
    args.insert(args.begin(), "zumoria");
    return ParseCommandLine(int(args.size()), args.data());
}

TEST(CommandLineTest, Grammar)
{
    struct Case
    {
        std::vector<const char *> args;
        CommandLine::Action action;
        const char *jokeFile;
        const char *outputStart;
    } cases[] = {
        {{}, CommandLine::Run, "", ""},
        {{"a.vicc"}, CommandLine::Run, "a.vicc", ""},
        {{"a.vicc", "b.vicc"}, CommandLine::Run, "a.vicc", ""},
        {{"--version"}, CommandLine::Print, "", "Zumoria 3.0.1.47\n"},
        {{"a.vicc", "--version"}, CommandLine::Print, "", "Zumoria 3.0.1.47\n"},
        {{"--help"}, CommandLine::Print, "", "Usage: zumoria"},
        {{"-h"}, CommandLine::Print, "", "Usage: zumoria"},
        {{"--", "-dash.vicc"}, CommandLine::Run, "-dash.vicc", ""},
        {{"--", "--version"}, CommandLine::Run, "--version", ""},
        {{"-dash.vicc"}, CommandLine::Fail, "", "zumoria: unknown option '-dash.vicc'"},
        {{"--nope"}, CommandLine::Fail, "", "zumoria: unknown option '--nope'"},
        {{"-platform", "offscreen", "a.vicc"}, CommandLine::Run, "a.vicc", ""},
        {{"-reverse", "a.vicc"}, CommandLine::Run, "a.vicc", ""},
        {{"-"}, CommandLine::Run, "-", ""},
    };
    for (const Case &c : cases) {
        const CommandLine parsed = Parse(c.args);
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.front());
        EXPECT_EQ(parsed.action, c.action);
        EXPECT_EQ(parsed.jokeFile, QString::fromLocal8Bit(c.jokeFile));
        EXPECT_EQ(parsed.output.rfind(c.outputStart, 0), 0u) << parsed.output;
    }
}

TEST(CommandLineTest, RandomTakesEveryCollection)
{
    struct Case
    {
        std::vector<const char *> args;
        CommandLine::Action action;
        QStringList files;
    } cases[] = {
        {{"--random"}, CommandLine::Random, {}},
        {{"--random", "a", "dir/"}, CommandLine::Random, {"a", "dir/"}},
        {{"a", "--random", "--", "-b"}, CommandLine::Random, {"a", "-b"}},
        {{"a", "b"}, CommandLine::Run, {"a", "b"}},
        {{"--random", "--export-pdf", "o.pdf", "a"}, CommandLine::Fail, {}},
        {{"--export-zrp", "o.zrp", "a", "--random"}, CommandLine::Fail, {}},
    };
    for (const Case &c : cases) {
        const CommandLine parsed = Parse(c.args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(parsed.action, c.action);
        if (c.action == CommandLine::Fail) {
            EXPECT_EQ(parsed.output.rfind("zumoria: ", 0), 0u);
            continue;
        }
        EXPECT_EQ(parsed.jokeFiles, c.files);
        EXPECT_EQ(parsed.jokeFile, c.files.value(0));
    }
}

TEST(CommandLineTest, JokeFileIsMadeAbsolute)
{
    EXPECT_EQ(AbsoluteJokePath(QString()), QString());
    EXPECT_EQ(AbsoluteJokePath(QStringLiteral("/j/a.vicc")), QStringLiteral("/j/a.vicc"));
    EXPECT_EQ(AbsoluteJokePath(QStringLiteral("x/../a.vicc")), QDir::currentPath() + "/a.vicc");
}

// The buttons Qt draws in the user's language; the program's own texts stay.
TEST(QtTranslationsTest, HungarianButtonsUnderAHungarianLocale)
{
    QTranslator *translator = InstallQtTranslations(QLocale(QLocale::Hungarian, QLocale::Hungary));
    ASSERT_NE(translator, nullptr) << "Qt's translations (qt6-translations-l10n) are missing";
    QMessageBox box(QMessageBox::Question, QStringLiteral("Megerősítés"), QStringLiteral("Valóban töröljem?"),
                    QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Igen"));
    EXPECT_EQ(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Nem"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(u'&'), QStringLiteral("Mégse"));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Megerősítés"));
    EXPECT_EQ(box.text(), QStringLiteral("Valóban töröljem?"));
    QCoreApplication::removeTranslator(translator);
    EXPECT_EQ(QMessageBox(QMessageBox::Question, {}, {}, QMessageBox::Yes).button(QMessageBox::Yes)->text().remove(u'&'),
              QStringLiteral("Yes"));
}

// Run by ctest under LC_ALL=hu_HU.UTF-8 (app.qt_texts_in_the_users_language):
// the program takes the user's language from the environment.
TEST(QtTranslationsTest, DISABLED_StartApplicationTakesTheUsersLanguage)
{
    ASSERT_EQ(QLocale::system().language(), QLocale::Hungarian);
    StartApplication();
    QMessageBox box(QMessageBox::Information, QStringLiteral("Üzenet"), QStringLiteral("Kár érte..."),
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text().remove(u'&'), QStringLiteral("Mégse"));
    EXPECT_EQ(box.text(), QStringLiteral("Kár érte..."));
}

TEST(QtTranslationsTest, NothingForALanguageQtHasNoTextsFor)
{
    EXPECT_EQ(InstallQtTranslations(QLocale::c()), nullptr);
}

} // namespace
