#include "app/LineWrap.h"

#include <gtest/gtest.h>

namespace {

TEST(LineWrapTest, RowsBreakAfterTheLastBlankThatFits)
{
    struct Case
    {
        const char16_t *line;
        int columns;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {u"rövid", 10, {0}},
        {u"pontosan10", 10, {0}},
        {u"egy ketto harom", 10, {0, 10}},
        {u"egy kettő három négy", 8, {0, 4, 10, 16}},
        // A blank just past the row's end still ends it.
        {u"abcdefghij klm", 10, {0, 11}},
        // A word longer than a row is cut at the row's end.
        {u"abcdefghijklmnopqrstuvwxy", 10, {0, 10, 20}},
        {u"a abcdefghijklmnop", 10, {0, 2, 12}},
        // A character of two units is never cut in half.
        {u"abcdefghi\U0001F600x", 10, {0, 9}},
        {u"nincs tordeles", 0, {0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(WrapRows(QString::fromUtf16(c.line), c.columns), c.rows) << QString::fromUtf16(c.line).toStdString();
}

TEST(LineWrapTest, ExtraRowsOfAJokeLeavePicturesAlone)
{
    const QStringList lines = {QStringLiteral("egy ketto harom"), QStringLiteral(">>nagyon_hosszu_kep_neve.jpg"),
                               QStringLiteral("rövid")};
    EXPECT_EQ(ExtraWrappedRows(lines, 10, true), 1);
    // Without pictures (a fortune) the ">>" line is text and wraps too.
    EXPECT_EQ(ExtraWrappedRows(lines, 10, false), 3);
    EXPECT_EQ(ExtraWrappedRows(lines, 0, false), 0);
}

} // namespace
