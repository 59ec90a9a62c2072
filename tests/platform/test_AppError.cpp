#include "platform/AppError.h"

#include "support/QtPrinters.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(ErrorBox, FullStopRuleTable)
{
    struct Case { const char16_t *in; const char16_t *out; };
    const Case cases[] = {
        {u"Unable to write to /x/Zumoria.ini", u"Unable to write to /x/Zumoria.ini."},
        {u"List index out of bounds (0)", u"List index out of bounds (0)"}, // ')' is below '.'
        {u"Ends with a stop.", u"Ends with a stop."},
        {u"Kár érte", u"Kár érte."},                                      // non-ASCII last char
        {u"Question?", u"Question?."},                                    // '?' is above '.'
        {u"", u""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ErrorBoxText(QString::fromUtf16(c.in)), QString::fromUtf16(c.out));
}

TEST(ErrorBox, GuardedHandlerShowsErrorAndStops)
{
    QStringList shown;
    const auto previous = SetErrorBoxSink([&](const QString &t) { shown << t; });
    int steps = 0;
    auto handler = Guarded([&] {
        ++steps;
        if (steps > 0)
            throw AppError(QStringLiteral("Boom"));
        ++steps;
    });
    handler();
    EXPECT_EQ(steps, 1);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.front(), QStringLiteral("Boom."));
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("plain"); }));
    EXPECT_EQ(shown.back(), QStringLiteral("plain."));
    SetErrorBoxSink(previous);
}
