#include "platform/WindowPlacement.h"
#include "support/QueuedWork.h"

#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <climits>

namespace {

// Two screens side by side, the primary one with a panel along its top.
const QRect Primary(0, 30, 1280, 994);
const QRect Second(1280, 0, 800, 600);

struct FitCase
{
    const char *name;
    qint64 left, top, width, height;
    QRect expected;
};

TEST(WindowPlacement, FramesAreFittedOnlyAsFarAsNeeded)
{
    const FitCase cases[] = {
        {"fits: kept", 10, 40, 524, 455, QRect(10, 40, 524, 455)},
        {"a little off the left edge: kept", -5, 40, 524, 455, QRect(-5, 40, 524, 455)},
        {"low, title bar still in reach: kept", 100, 900, 524, 455, QRect(100, 900, 524, 455)},
        {"on the second screen: kept", 1500, 100, 524, 455, QRect(1500, 100, 524, 455)},
        {"above the panel: moved down to it", 10, 10, 524, 455, QRect(10, 30, 524, 455)},
        {"far too low: title bar brought up", 100, 1020, 524, 455, QRect(100, 924, 524, 455)},
        {"mostly off the left: 100 pixels stay", -500, 40, 524, 455, QRect(-424, 40, 524, 455)},
        {"larger than the screen: cut to its area", 0, 30, 100000, 100000, QRect(0, 30, 1280, 994)},
        {"larger and off every screen: onto the primary one", 50000, -40000, 100000, 100000,
         QRect(0, 30, 1280, 994)},
        {"off every screen: wholly onto the primary one", 5000, 5000, 524, 455, QRect(756, 569, 524, 455)},
        {"low on the second screen: title bar brought up there", 1900, 550, 524, 455,
         QRect(1900, 500, 524, 455)},
        {"the ends of int", INT_MAX, INT_MIN, INT_MAX, INT_MAX, QRect(0, 30, 1280, 994)},
        {"no size: one pixel", 10, 40, 0, -20, QRect(10, 40, 1, 1)},
    };
    for (const FitCase &c : cases)
        EXPECT_EQ(FitFrameOnScreens(c.left, c.top, c.width, c.height, {Primary, Second}), c.expected) << c.name;
}

TEST(WindowPlacement, WithoutScreensOnlyTheSizesAWindowCanHaveAreKept)
{
    EXPECT_EQ(FitFrameOnScreens(-5, 40, 524, 455, {}), QRect(-5, 40, 524, 455));
    EXPECT_EQ(FitFrameOnScreens(INT_MIN, 0, qint64(INT_MAX) + 40, 10, {}),
              QRect(-QWIDGETSIZE_MAX, 0, QWIDGETSIZE_MAX, 10));
}

TEST(WindowPlacement, TheActionWaitsForTheWindowOnScreen)
{
    QWidget window;
    window.resize(200, 100);
    window.winId(); // a native window that is not on screen yet
    bool exposedThen = false;
    int runs = 0;
    WhenExposed(&window, [&] {
        exposedThen = window.windowHandle()->isExposed();
        ++runs;
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 0);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs > 0; }, 5000));
    EXPECT_TRUE(exposedThen);
    // Once on screen, an action runs after the current event.
    WhenExposed(&window, [&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return runs == 2; }, 5000));
    // Each action runs once: a later exposure runs none again.
    window.hide();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_EQ(runs, 2);
}

TEST(WindowPlacement, NoActionForAWindowThatGoesFirst)
{
    bool ran = false;
    {
        QWidget window;
        window.winId();
        WhenExposed(&window, [&] { ran = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

} // namespace
