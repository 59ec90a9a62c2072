#include "components/DskTimers.h"

#include "platform/AppError.h"
#include "support/QtPrinters.h"

#include <QThread>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Gives back every slot a test took, whatever happens.
struct Reserved
{
    std::vector<TDskTimerService::TimerId> ids;
    ~Reserved()
    {
        for (auto id : ids)
            TDskTimerService::Instance().Release(id);
    }
};

} // namespace

TEST(TimerService, ExhaustionRaisesAndReleaseFreesASlot)
{
    auto &service = TDskTimerService::Instance();
    Reserved taken;
    const int free = service.FreeSlots();
    for (int i = 0; i < free; ++i)
        taken.ids.push_back(service.Reserve(100, [] {}));
    EXPECT_EQ(service.FreeSlots(), 0);
    try {
        service.Reserve(100, [] {});
        FAIL() << "a slot was handed out beyond the capacity";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Not enough timers available"));
    }
    service.Release(taken.ids.back());
    taken.ids.pop_back();
    taken.ids.push_back(service.Reserve(100, [] {}));
    EXPECT_EQ(service.FreeSlots(), 0);
}

TEST(TimerService, SlotsStartDisabledAndCallBackOnTheGuiThreadWhileEnabled)
{
    auto &service = TDskTimerService::Instance();
    Reserved taken;
    int ticks = 0;
    bool onGuiThread = true;
    const auto id = service.Reserve(10, [&] {
        ++ticks;
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
    });
    taken.ids.push_back(id);
    EXPECT_FALSE(service.IsEnabled(id));
    QTest::qWait(50);
    EXPECT_EQ(ticks, 0);

    service.Enable(id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 30000));
    EXPECT_TRUE(onGuiThread);

    service.Disable(id);
    const int stopped = ticks;
    QTest::qWait(50);
    EXPECT_EQ(ticks, stopped);

    service.SetInterval(id, 1000);
    EXPECT_EQ(service.Interval(id), 1000);
}

TEST(TimerService, CallbackMayReleaseItsOwnSlot)
{
    auto &service = TDskTimerService::Instance();
    const int freeBefore = service.FreeSlots();
    int ticks = 0;
    TDskTimerService::TimerId id = TDskTimerService::NoTimer;
    id = service.Reserve(5, [&] {
        ++ticks;
        service.Release(id);
    });
    service.Enable(id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 30000));
    QTest::qWait(40);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(service.IsReserved(id));
    EXPECT_EQ(service.FreeSlots(), freeBefore);
    // A released id is inert.
    service.Enable(id);
    EXPECT_FALSE(service.IsEnabled(id));
}
