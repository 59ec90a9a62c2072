// The page text index: what a search finds on which page, without regard
// to letter case and, when asked, to accents; how it follows a run.
#include "platform/MetafileText.h"
#include "report/PreviewFixtures.h"
#include "report/preview/detail/RepPageTextIndex.h"

#include <gtest/gtest.h>

namespace {

using Match = TRepPageTextIndex::Match;

TRepPageTextIndex IndexOf(const std::vector<QString> &pages)
{
    TRepPageTextIndex index;
    for (const QString &text : pages)
        index.AppendPage(text);
    return index;
}

struct FindCase
{
    const char *what;
    const char *needle;
    bool ignoreAccents;
    std::vector<Match> expect;
};

TEST(RepPageTextIndex, FindsWithoutRegardToCaseAndOptionallyToAccents)
{
    const TRepPageTextIndex index =
        IndexOf({QStringLiteral("Őszi szél fúj\nA MEDVE és a nyuszi\n"), QStringLiteral("medvét látott\nósz\n"),
                 QStringLiteral("Ősz\nŁódź\n")});
    const std::vector<FindCase> cases{
        {"any case", "Medve", false, {{1, 16, 5}}},
        {"an accent of the page's ignored", "medve", true, {{1, 16, 5}, {2, 0, 5}}},
        {"capitals asked", "ŐSZ", false, {{1, 0, 3}, {3, 0, 3}}},
        {"accents count", "osz", false, {}},
        {"accents ignored", "osz", true, {{1, 0, 3}, {2, 14, 3}, {3, 0, 3}}},
        {"accented needle, accents ignored", "medvet", true, {{2, 0, 6}}},
        {"a stroke is an accent", "lodz", true, {{3, 4, 4}}},
        {"that counts too", "lodz", false, {}},
        {"within a line only", "fúj a", false, {}},
        {"spaces are text", "a nyuszi", false, {{1, 25, 8}}},
        {"nothing", "", false, {}},
    };
    for (const FindCase &c : cases)
        EXPECT_EQ(index.Find(QString::fromUtf8(c.needle), c.ignoreAccents, 1, 3, 100), c.expect) << c.what;
}

TEST(RepPageTextIndex, MatchesNeverOverlapAndKeepToThePagesAndTheLimitAsked)
{
    const TRepPageTextIndex index =
        IndexOf({QStringLiteral("aaaa\n"), QStringLiteral("xaax\n"), QStringLiteral("aa\n")});
    EXPECT_EQ(index.Find(QStringLiteral("aa"), false, 1, 3, 100),
              (std::vector<Match>{{1, 0, 2}, {1, 2, 2}, {2, 1, 2}, {3, 0, 2}}));
    EXPECT_EQ(index.Find(QStringLiteral("aa"), false, 2, 99, 100), (std::vector<Match>{{2, 1, 2}, {3, 0, 2}}));
    EXPECT_EQ(index.Find(QStringLiteral("aa"), false, 1, 3, 3).size(), 3u);
    EXPECT_TRUE(index.Find(QStringLiteral("aa"), false, 3, 2, 100).empty());
}

TEST(RepPageTextIndex, FollowsTheRunAndPointsAtTheTextOfThePage)
{
    TRepPrinter printer;
    TRepPageTextIndex index;
    const auto lines = [](int n) {
        return QStringList{QStringLiteral("line one of %1").arg(n),
                           n == 3 ? QStringLiteral("the Zebra stripe") : QString()};
    };
    ProduceTextPages(printer, 3, lines, /*close=*/false);
    // Pages 1 and 2 are announced, page 3 is still being drawn.
    EXPECT_EQ(index.CatchUp(printer), 2);
    EXPECT_TRUE(index.Find(QStringLiteral("zebra"), false, 1, 99, 10).empty());
    printer.CloseDocument();
    EXPECT_EQ(index.CatchUp(printer), 1);
    EXPECT_EQ(index.CatchUp(printer), 0);

    const std::vector<Match> found = index.Find(QStringLiteral("zebra"), false, 1, 99, 10);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Page, 3);
    EXPECT_EQ(MetafileText(*printer.FetchPage(3)).mid(found[0].Offset, found[0].Length),
              QStringLiteral("Zebra"));
    EXPECT_LT(index.Bytes(), 200) << "a few bytes a character";

    printer.ResetStore();
    index.Clear();
    EXPECT_EQ(index.CatchUp(printer), 0) << "a printer without a document has no pages";
}

} // namespace
