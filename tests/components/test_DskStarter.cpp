#include "components/DskStarter.h"
#include "platform/AppError.h"

#include "support/FakeXdgOpen.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

struct EventLog
{
    QStringList events;
    void Watch(TDskStarter &starter, bool withFinished)
    {
        starter.OnBeforeStart = [this](TDskStarter &) { events << "before"; };
        starter.OnAfterStart = [this](TDskStarter &) { events << "after"; };
        starter.OnError = [this](TDskStarter &s) { events << QStringLiteral("error %1").arg(s.LastError()); };
        if (withFinished)
            starter.OnFinished = [this](TDskStarter &) { events << "finished"; };
    }
};

} // namespace

TEST(StarterPlan, VerbsBecomeWhatTheDesktopOffers)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("tool"));
    QFile f(program);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);

    using Op = TDskStarterOperation;
    struct Case
    {
        Op op;
        QString command, parameters;
        QString program;
        QStringList arguments;
        QString workingDir;
        int refused;
    };
    const QString opener = QStringLiteral("xdg-open");
    const Case cases[] = {
        {Op::smOpen, "https://kovirad.example", "-x", opener, {"https://kovirad.example"}, "/tmp", 0},
        {Op::smEdit, "mailto:a@b.example", "", opener, {"mailto:a@b.example"}, "/tmp", 0},
        {Op::smExplore, "/home/u/viccek/a.vicc", "-x", opener, {"/home/u/viccek/"}, "", 0},
        {Op::smExplore, "a.vicc", "", opener, {"/"}, "", 0},
        {Op::smPrint, "/home/u/a.txt", "", "", {}, "", DskStartError::NoAssociation},
        {Op::smProperties, "/home/u/a.txt", "", "", {}, "", DskStartError::NoAssociation},
        {Op::smOpen, program, "one \"two three\"", program, {"one", "two three"}, "/tmp", 0},
    };
    for (const Case &c : cases) {
        const TDskLaunch launch = PlanLaunch(c.op, c.command, c.parameters, QStringLiteral("/tmp"));
        SCOPED_TRACE(c.command.toStdString());
        EXPECT_EQ(launch.RefusedWith, c.refused);
        EXPECT_EQ(launch.Program, c.program);
        EXPECT_EQ(launch.Arguments, c.arguments);
        EXPECT_EQ(launch.WorkingDir, c.workingDir);
    }
}

TEST(Starter, DefaultsAndTextWrites)
{
    TDskStarter exe(nullptr);
    EXPECT_EQ(exe.StartOperation(), TDskStarterOperation::smOpen);
    EXPECT_EQ(StarterVerb(exe.StartOperation()), QStringLiteral("open"));
    EXPECT_EQ(StarterShowCommand(exe.StartOption()), 5);
    EXPECT_EQ(StarterShowCommand(TDskStarterOptions::soSW_MAXIMIZE),
              StarterShowCommand(TDskStarterOptions::soSW_SHOWMAXIMIZED));
    EXPECT_FALSE(exe.Wait());
    EXPECT_FALSE(exe.AutoStart());
    EXPECT_TRUE(exe.StartTime().Matches(QDateTime(QDate(1990, 1, 1), QTime(0, 0))));
    EXPECT_EQ(exe.LastError(), 0);
    exe.SetCommand(QStringLiteral("https://kovirad.example"));
    exe.SetCommand(QStringLiteral("https://kovirad.example"));
    EXPECT_EQ(exe.TextWrites(), 1);
}

TEST(Starter, OpenerExitStatusMapsToStartErrors)
{
    FakeXdgOpen opener;
    struct Case { int exit; int error; };
    const Case cases[] = {{0, 0}, {1, 2}, {2, 2}, {3, 31}, {4, 31}, {9, 0}};
    for (const Case &c : cases) {
        TDskStarter exe(nullptr);
        EventLog log;
        log.Watch(exe, false);
        exe.SetWait(true);
        exe.SetCommand(QStringLiteral("https://kovirad.example"));
        opener.SetExitCode(c.exit);
        exe.Execute();
        QStringList expected{"before"};
        if (c.error)
            expected << QStringLiteral("error %1").arg(c.error);
        expected << "after";
        EXPECT_EQ(log.events, expected) << "exit " << c.exit;
        EXPECT_EQ(exe.LastError(), c.error);
    }
}

TEST(Starter, AddressReachesTheOpenerAsOneUntouchedArgumentEveryTime)
{
    FakeXdgOpen opener;
    TDskStarter exe(nullptr);
    exe.SetWait(true);
    const QString tricky = QStringLiteral("https://kovirad.example/a b?x=$(touch /tmp/pwn);y='1'&z=\"2\"");
    exe.SetCommand(tricky);
    exe.Execute();
    exe.Execute(); // an unchanged command starts again
    exe.SetCommand(QStringLiteral("mailto:kovirad@kovirad.example"));
    exe.Execute();
    const QList<QStringList> expected{{tricky}, {tricky}, {QStringLiteral("mailto:kovirad@kovirad.example")}};
    EXPECT_EQ(opener.Calls(), expected);
}

TEST(Starter, NoOpenerOnTheSystemIsANoAssociationError)
{
    FakeXdgOpen opener;
    opener.HideEverything();
    TDskStarter exe(nullptr);
    EventLog log;
    log.Watch(exe, true);
    exe.SetCommand(QStringLiteral("https://kovirad.example"));
    exe.Execute();
    EXPECT_EQ(log.events, (QStringList{"before", "error 31", "after"}));
    EXPECT_FALSE(exe.ProcessHeld());
}

TEST(Starter, RunsWithoutWaitingAndReportsTheEndThroughTheHalfSecondSlot)
{
    FakeXdgOpen opener;
    opener.SetSeconds(QStringLiteral("0.3"));
    auto &service = TDskTimerService::Instance();
    const int freeBefore = service.FreeSlots();
    {
        TDskStarter exe(nullptr);
        EventLog log;
        log.Watch(exe, true);
        exe.SetCommand(QStringLiteral("https://kovirad.example"));
        exe.Execute();
        // Back at once, the opener still running and watched.
        EXPECT_EQ(log.events, (QStringList{"before", "after"}));
        EXPECT_TRUE(exe.ProcessHeld());
        EXPECT_EQ(service.FreeSlots(), freeBefore - 2);
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.events.size() == 3; }, 30000));
        EXPECT_EQ(log.events.last(), QStringLiteral("finished"));
        EXPECT_FALSE(exe.ProcessHeld());
        EXPECT_EQ(service.FreeSlots(), freeBefore - 1);

        // A late failure of the opener is an error, not an end.
        log.events.clear();
        opener.SetSeconds(QString());
        opener.SetExitCode(4);
        exe.Execute();
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.events.size() == 3; }, 30000));
        EXPECT_EQ(log.events, (QStringList{"before", "after", "error 31"}));
        QTest::qWait(600);
        EXPECT_EQ(log.events.size(), 3);
        EXPECT_EQ(service.FreeSlots(), freeBefore - 1);
    }
    EXPECT_EQ(service.FreeSlots(), freeBefore);
}

TEST(Starter, ConstructionNeedsATimerSlot)
{
    auto &service = TDskTimerService::Instance();
    std::vector<TDskTimerService::TimerId> taken;
    while (service.FreeSlots() > 0)
        taken.push_back(service.Reserve(100, [] {}));
    try {
        TDskStarter exe(nullptr);
        ADD_FAILURE() << "constructed without a timer slot";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Not enough timers available"));
    }
    for (auto id : taken)
        service.Release(id);
}

TEST(Starter, AutoStartFiresWhenTheClockReachesTheStartTime)
{
    FakeXdgOpen opener;
    TDskStarter exe(nullptr);
    exe.SetCommand(QStringLiteral("https://kovirad.example/auto"));
    exe.StartTime() = {2030, 5, 6, 7, 8, 9};
    QDateTime now(QDate(2030, 5, 6), QTime(7, 8, 8));
    exe.SetClock([&] { return now; });
    exe.SetAutoStart(true);
    QTest::qWait(1300); // one tick a second before the moment: nothing
    EXPECT_TRUE(opener.Calls().isEmpty());
    now = now.addSecs(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opener.Calls().size() == 1; }, 30000));
    EXPECT_EQ(opener.Calls().front(), QStringList{"https://kovirad.example/auto"});
    exe.SetAutoStart(false);
    now = now.addSecs(0);
    QTest::qWait(1200);
    EXPECT_EQ(opener.Calls().size(), 1);
}
