#include "app/JokeSearch.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

JokeEntry Joke(const QString &heading, const QStringList &lines)
{
    return {heading, lines, 0, 0};
}

// Every match of needle in the jokes, found the slow way: line by line,
// from the left, without overlapping.
std::vector<std::pair<int, LineMatch>> SlowMatches(const std::vector<JokeEntry> &jokes, const QString &needle,
                                                   Qt::CaseSensitivity cs)
{
    std::vector<std::pair<int, LineMatch>> all;
    for (int k = 0; k < int(jokes.size()); ++k) {
        for (int line = 0; line < jokes[size_t(k)].lines.size(); ++line) {
            const QString &text = jokes[size_t(k)].lines[line];
            for (qsizetype at = text.indexOf(needle, 0, cs); at >= 0; at = text.indexOf(needle, at + needle.size(), cs))
                all.push_back({k, {line, int(at), int(needle.size())}});
        }
    }
    return all;
}

TEST(FoldForSearchTest, CaseAccentsAndWhereEachByteCameFrom)
{
    struct Case
    {
        QString text;
        FindOptions options;
        QByteArray folded;
    };
    const Case cases[] = {
        {QStringLiteral("Szörny ŐZ"), {true, false}, "szörny őz"},
        {QStringLiteral("Szörny ŐZ"), {true, true}, "szorny oz"},
        {QStringLiteral("Szörny ŐZ"), {false, true}, "Szorny OZ"},
        {QStringLiteral("Szörny ŐZ"), {false, false}, "Szörny ŐZ"},
        {QStringLiteral("Łódź, Ørsted, ǖ"), {true, true}, "lodz, orsted, u"},
        // A letter written as a base and a combining mark.
        {QStringLiteral("szo\u0308rny"), {true, true}, "szorny"},
        {QStringLiteral("szo\u0308rny"), {true, false}, "szo\xcc\x88rny"},
        {QStringLiteral("\U0001F600 x"), {true, true}, "\xf0\x9f\x98\x80 x"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FoldForSearch(c.text, c.options), c.folded) << c.text.toStdString();

    std::vector<int> charOfByte;
    FoldForSearch(QStringLiteral("ő\u0308a\U0001F600"), {true, true}, &charOfByte);
    // "o" from 0 (its mark at 1 dropped), "a" from 2, four bytes from the
    // pair at 3, and the length.
    EXPECT_EQ(charOfByte, (std::vector<int>{0, 2, 3, 3, 3, 3, 5}));
}

TEST(JokeSearchTest, TextOfTheJokesAndNothingElse)
{
    const std::vector<JokeEntry> jokes = {
        Joke(QStringLiteral("A Szörny"), {QStringLiteral(">>szorny.jpg"), QStringLiteral("egy szörnyű nap")}),
        Joke(QStringLiteral("*** vicc"), {QStringLiteral("vicc nélkül")}),
        Joke(QStringLiteral("Csend"), {}),
    };
    TJokeSearch search(jokes, true, {true, true});
    EXPECT_EQ(search.Find(QStringLiteral("SZORNY"), 0).index, 0);
    // The heading and the text, not the picture's name.
    EXPECT_EQ(search.Count(), 2);
    EXPECT_EQ(search.MatchesIn(jokes, 0), (std::vector<LineMatch>{{-1, 2, 6}, {1, 4, 6}}));
    // "*** vicc" is no heading of the joke's own.
    search.Find(QStringLiteral("vicc"), 0);
    EXPECT_EQ(search.Count(), 1);
    EXPECT_EQ(search.JokesWithMatches(), std::vector<int>{1});

    // Without pictures (a fortune) ">>" lines are text and headings are the
    // file's name.
    TJokeSearch fortune(jokes, false, {true, true});
    fortune.Find(QStringLiteral("szorny"), 0);
    EXPECT_EQ(fortune.Count(), 2);
    EXPECT_EQ(fortune.MatchesIn(jokes, 0), (std::vector<LineMatch>{{0, 2, 6}, {1, 4, 6}}));

    // Nothing to find: empty, only a mark, a line break, and a word found nowhere.
    for (const QString &text : {QString(), QStringLiteral("\u0308"), QStringLiteral("egy\nnap"), QStringLiteral("xyzzy")}) {
        EXPECT_FALSE(search.Find(text, 0).Found());
        EXPECT_EQ(search.Count(), 0);
        EXPECT_TRUE(search.JokesWithMatches().empty());
    }
    // Case counts when asked to.
    TJokeSearch exact(jokes, true, {false, false});
    exact.Find(QStringLiteral("szörny"), 0);
    EXPECT_EQ(exact.Count(), 1);
}

TEST(JokeSearchTest, MatchesDoNotOverlapAndStayInTheirLine)
{
    const std::vector<JokeEntry> jokes = {Joke(QStringLiteral("h"), {QStringLiteral("aaaaa"), QStringLiteral("ab"),
                                                                    QStringLiteral("abab ababab")})};
    TJokeSearch search(jokes, false, {});
    search.Find(QStringLiteral("aa"), 0);
    EXPECT_EQ(search.MatchesIn(jokes, 0), (std::vector<LineMatch>{{0, 0, 2}, {0, 2, 2}}));
    search.Find(QStringLiteral("abab"), 0);
    EXPECT_EQ(search.Count(), 2);
    EXPECT_EQ(search.MatchesIn(jokes, 0), (std::vector<LineMatch>{{2, 0, 4}, {2, 5, 4}}));
    // "b" at a line's end and "a" at the next line's start are no match.
    search.Find(QStringLiteral("ba"), 0);
    EXPECT_EQ(search.Count(), 3);
}

// Many jokes of random text over a small alphabet, so that matches are
// dense, overlap and fall on every position of the block scanner: every
// count, place and step agrees with the slow search.
TEST(JokeSearchTest, AgreesWithTheSlowSearchOverManyJokes)
{
    QRandomGenerator random(77);
    const QString letters = QStringLiteral("abAÁ ő");
    std::vector<JokeEntry> jokes;
    for (int k = 0; k < 400; ++k) {
        QStringList lines;
        for (int line = random.bounded(4); line > 0; --line) {
            QString text;
            for (int n = random.bounded(60); n > 0; --n)
                text += letters[random.bounded(letters.size())];
            lines << text;
        }
        jokes.push_back(Joke(QStringLiteral("*** x"), lines));
    }
    TJokeSearch search(jokes, false, {false, false});
    for (const QString &needle : {QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("aa"),
                                  QStringLiteral("aAa"), QStringLiteral("bő "), QStringLiteral("abababab"),
                                  QStringLiteral("Á")}) {
        const auto slow = SlowMatches(jokes, needle, Qt::CaseSensitive);
        SearchHit hit = search.Find(needle, 0);
        ASSERT_EQ(search.Count(), qint64(slow.size())) << needle.toStdString();
        if (slow.empty())
            continue;
        // Forward through every match and round to the first again.
        for (size_t i = 0; i <= slow.size(); ++i) {
            const auto &[joke, place] = slow[i % slow.size()];
            ASSERT_EQ(hit.index, qint64(i % slow.size())) << needle.toStdString();
            ASSERT_EQ(search.JokeOf(hit), joke);
            ASSERT_EQ(search.PlaceOf(jokes, hit), place);
            hit = search.Next(hit);
        }
        // Backward from the first: round to the last, then down.
        hit = search.FirstFrom(0);
        for (size_t i = slow.size(); i > 0; --i) {
            hit = search.Previous(hit);
            ASSERT_EQ(hit.index, qint64(i - 1));
            ASSERT_EQ(search.PlaceOf(jokes, hit), slow[i - 1].second) << needle.toStdString() << " " << i;
        }
        // From a joke in the middle: its first match, counted from the top.
        const SearchHit middle = search.FirstFrom(200);
        const auto after = std::find_if(slow.begin(), slow.end(), [](const auto &m) { return m.first >= 200; });
        const qint64 expected = after == slow.end() ? 0 : after - slow.begin();
        EXPECT_EQ(middle.index, expected);
        EXPECT_EQ(search.JokeOf(middle), slow[size_t(expected)].first);
    }
}

} // namespace
