#include "app/Program.h"
#include "support/QtPrinters.h"

#include <QDir>
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

} // namespace
