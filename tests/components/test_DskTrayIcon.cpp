#include "components/DskImageList.h"
#include "components/DskTrayIcon.h"
#include "platform/AppError.h"

#include "support/FakeTrayShell.h"
#include "support/QtPrinters.h"
#include "support/QueuedWork.h"

#include <QCloseEvent>
#include <QMenu>
#include <QThread>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// The main window's icon: inactive in its definition, then loaded.
std::unique_ptr<TDskTrayIcon> LoadedInactive(QWidget *owner, TrayShellLog &log)
{
    auto icon = std::make_unique<TDskTrayIcon>(owner, std::make_unique<FakeTrayShell>(log));
    icon->SetActive(false);
    icon->Loaded();
    log.requests.clear();
    log.taskbar.clear();
    return icon;
}

} // namespace

TEST(TrayIcon, LoadingInactiveRunsTheSwitchingOffStepsOnce)
{
    QWidget owner;
    TrayShellLog log;
    TDskTrayIcon icon(&owner, std::make_unique<FakeTrayShell>(log));
    EXPECT_TRUE(icon.Active()); // the default, nothing sent before loading
    EXPECT_TRUE(log.requests.isEmpty());
    icon.SetActive(false);
    icon.Loaded();
    EXPECT_EQ(log.requests, QStringList{QStringLiteral("delete")});
    EXPECT_EQ(log.taskbar, QList<bool>{true});
    EXPECT_FALSE(log.iconShown);
}

TEST(TrayIcon, ActiveAtLoadIsShown)
{
    QWidget owner;
    TrayShellLog log;
    TDskTrayIcon icon(&owner, std::make_unique<FakeTrayShell>(log));
    icon.SetHint(QStringLiteral("tip"));
    icon.Loaded();
    EXPECT_EQ(log.requests, QStringList{QStringLiteral("add:tip")});
    EXPECT_TRUE(icon.Hooked());
}

TEST(TrayIcon, RoundTripsLeaveOneIconOrNoneAndTheTaskbarEntryFollows)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    for (int trip = 0; trip < 3; ++trip) {
        icon->SetActive(true);
        icon->SetActive(true); // the same value sends nothing
        EXPECT_TRUE(log.iconShown);
        EXPECT_TRUE(icon->Hooked());
        icon->SetActive(false);
        icon->SetActive(false);
        EXPECT_FALSE(log.iconShown);
        EXPECT_FALSE(icon->Hooked());
    }
    const QStringList trip{QStringLiteral("add:"), QStringLiteral("delete")};
    EXPECT_EQ(log.requests, trip + trip + trip);
    EXPECT_EQ(log.taskbar, (QList<bool>{false, true, false, true, false, true}));
}

TEST(TrayIcon, DestroyingAnActiveIconRemovesIt)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    icon->SetActive(true);
    icon.reset();
    EXPECT_FALSE(log.iconShown);
    EXPECT_EQ(log.requests.last(), QStringLiteral("delete"));
}

TEST(TrayIcon, WithoutNotificationAreaActiveWritesAreIgnored)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    log.area = false;
    icon->SetActive(true);
    EXPECT_FALSE(icon->Active());
    EXPECT_TRUE(log.requests.isEmpty());
    EXPECT_TRUE(log.taskbar.isEmpty());
}

TEST(TrayIcon, WithoutNotificationAreaTheOwnerIsNeverHooked)
{
    // Loaded with Active false (the main window's icon) or true (the
    // default): neither write reaches a desktop without a notification area.
    for (const bool activeInDefinition : {false, true}) {
        QWidget owner;
        owner.show();
        TrayShellLog log;
        log.area = false;
        TDskTrayIcon icon(&owner, std::make_unique<FakeTrayShell>(log));
        if (!activeInDefinition)
            icon.SetActive(false);
        icon.Loaded();
        EXPECT_FALSE(icon.Active());
        EXPECT_FALSE(icon.Hooked());
        // A minimised owner stays minimised, where the desktop can bring it back.
        owner.showMinimized();
        ASSERT_TRUE(RunQueuedWork());
        EXPECT_TRUE(owner.isVisible());
        EXPECT_TRUE(owner.isMinimized());
        EXPECT_TRUE(log.taskbar.isEmpty());
    }
}

TEST(TrayIcon, HintIsCutTo63CharactersAndChangesAShownTipAtOnce)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    const QString long64 = QString(63, u'x') + u'y';
    icon->SetHint(long64);
    EXPECT_TRUE(log.requests.isEmpty()); // inactive: stored only
    EXPECT_EQ(icon->Hint(), long64);
    icon->SetActive(true);
    EXPECT_EQ(log.requests.last(), QStringLiteral("add:") + QString(63, u'x'));
    icon->SetHint(QStringLiteral("rövid"));
    EXPECT_EQ(log.requests.last(), QStringLiteral("modify:rövid"));
    const auto count = log.requests.size();
    icon->SetHint(QStringLiteral("rövid"));
    EXPECT_EQ(log.requests.size(), count);
    icon->SetIcon(QIcon(QPixmap(16, 16)));
    EXPECT_EQ(log.requests.size(), count + 1);
}

TEST(TrayIcon, MouseNotificationsRaiseTheirEventsInOrder)
{
    struct Case { TDskTrayMouse action; bool alt; QStringList events; };
    const Case cases[] = {
        {TDskTrayMouse::Move, false, {"move 0"}},
        {TDskTrayMouse::LeftDown, false, {"down 1 0"}},
        {TDskTrayMouse::LeftUp, true, {"click", "up 1 2"}},
        {TDskTrayMouse::LeftDouble, false, {"dblclick", "down 1 8"}},
        {TDskTrayMouse::RightDown, false, {"down 2 0"}}, // no menu: only the press
        {TDskTrayMouse::RightUp, false, {"click", "up 2 0"}},
        {TDskTrayMouse::RightDouble, true, {"dblclick", "down 2 10"}},
        {TDskTrayMouse::MiddleDown, false, {"down 4 0"}},
        {TDskTrayMouse::MiddleUp, false, {"click", "up 4 0"}},
        {TDskTrayMouse::MiddleDouble, false, {"dblclick", "down 4 8"}},
    };
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    QStringList events;
    QPoint at;
    icon->OnClick = [&](TDskTrayIcon &) { events << "click"; };
    icon->OnDblClick = [&](TDskTrayIcon &) { events << "dblclick"; };
    icon->OnPopUp = [&](TDskTrayIcon &) { events << "popup"; };
    icon->OnMouseDown = [&](TDskTrayIcon &, Qt::MouseButton b, TDskShiftState s, int x, int y) {
        events << QStringLiteral("down %1 %2").arg(int(b)).arg(s);
        at = {x, y};
    };
    icon->OnMouseUp = [&](TDskTrayIcon &, Qt::MouseButton b, TDskShiftState s, int x, int y) {
        events << QStringLiteral("up %1 %2").arg(int(b)).arg(s);
    };
    icon->OnMouseMove = [&](TDskTrayIcon &, TDskShiftState s, int x, int y) {
        events << QStringLiteral("move %1").arg(s);
    };
    int n = 0;
    for (const Case &c : cases) {
        events.clear();
        log.alt = c.alt;
        log.pointer = {100 + n, 200 + n};
        ++n;
        // The shell's own entry, as the desktop would call it.
        icon->Shell().Notify(c.action);
        EXPECT_EQ(events, c.events) << "action " << int(c.action);
        EXPECT_EQ(QPoint(icon->X(), icon->Y()), log.pointer);
    }
    EXPECT_EQ(at, QPoint(100 + n - 1, 200 + n - 1));
}

TEST(TrayIcon, RightPressPopsTheMenuUpAtThePointer)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    auto *menu = new QMenu;
    menu->addAction(QStringLiteral("Viccelődjünk ..."));
    icon->SetPopupMenu(menu);
    QStringList events;
    icon->OnPopUp = [&](TDskTrayIcon &) { events << "popup"; };
    icon->OnMouseDown = [&](TDskTrayIcon &, Qt::MouseButton, TDskShiftState, int, int) {
        events << "down";
    };
    log.pointer = {150, 120};
    icon->HandleNotification(TDskTrayMouse::RightDown);
    EXPECT_EQ(events, (QStringList{"down", "popup"}));
    ASSERT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), QPoint(150, 120));
    menu->hide();

    // The reference clears itself when the menu goes.
    delete menu;
    EXPECT_EQ(icon->PopupMenu(), nullptr);
    icon->HandleNotification(TDskTrayMouse::RightDown);
}

TEST(TrayIcon, OwnerHookKeepsTheWindowOutOfTheTaskbarWhileActive)
{
    QWidget owner;
    owner.show();
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    icon->SetNoClose(true);

    // Inactive: a close passes.
    QCloseEvent passed;
    QCoreApplication::sendEvent(&owner, &passed);
    EXPECT_TRUE(passed.isAccepted());

    owner.show();
    icon->SetActive(true);
    log.taskbar.clear();
    QCloseEvent refused;
    QCoreApplication::sendEvent(&owner, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_FALSE(owner.isVisible());
    EXPECT_EQ(log.taskbar, QList<bool>{false});

    // Shown again while the icon is active: the taskbar entry stays away.
    log.taskbar.clear();
    owner.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.taskbar == QList<bool>{false}; }, 5000)) << log.taskbar.size();
    icon->SetShowMinimizedIcon(true);
    owner.hide();
    owner.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.taskbar == (QList<bool>{false, true}); }, 5000)) << log.taskbar.size();
}

TEST(TrayIcon, AnimationIntervalAndFrames)
{
    struct Case { TDskTimerMode mode; int interval; int runs; };
    const Case cases[] = {
        {TDskTimerMode::tmGlobalTimer, 200, 200},
        {TDskTimerMode::tmGlobalTimer, 230, 250},
        {TDskTimerMode::tmGlobalTimer, 1, 50},
        {TDskTimerMode::tmHiTimer, 230, 230},
        {TDskTimerMode::tmThreaded, 230, 230},
    };
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    TDskImageList images;
    icon->SetImageList(&images);
    images.AddList({QImage(16, 16, QImage::Format_RGB32)});
    for (const Case &c : cases) {
        icon->SetTimerMode(c.mode);
        icon->SetInterval(quint16(c.interval));
        icon->SetAnimated(true);
        EXPECT_EQ(icon->AnimationTimerInterval(), c.runs);
        icon->SetAnimated(false);
        EXPECT_EQ(icon->AnimationTimerInterval(), 0);
    }
}

TEST(TrayIcon, AnimationCyclesTheFramesOfItsListOnTheGuiThread)
{
    for (TDskTimerMode mode : {TDskTimerMode::tmGlobalTimer, TDskTimerMode::tmThreaded}) {
        QWidget owner;
        TrayShellLog log;
        auto icon = LoadedInactive(&owner, log);
        TDskImageList images;
        images.AddList({QImage(16, 16, QImage::Format_RGB32)});
        QImage red(16, 16, QImage::Format_RGB32), green = red, blue = red;
        red.fill(Qt::red);
        green.fill(Qt::green);
        blue.fill(Qt::blue);
        images.AddList({red, green, blue});
        icon->SetImageList(&images);
        icon->SetListIndex(1);
        icon->SetInterval(10);
        icon->SetTimerMode(mode);
        icon->SetAnimated(true);
        icon->SetActive(true);
        EXPECT_EQ(icon->FrameCounter(), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return log.colours.size() >= 4; }, 30000));
        icon->SetAnimated(false);
        EXPECT_FALSE(log.modifiedOffGuiThread);
        EXPECT_EQ(log.requests.first(), QStringLiteral("add:"));
        // Frames 0, 1, 2 of list 1, then 0 again.
        const QList<QRgb> expected{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)};
        EXPECT_EQ(log.colours.mid(0, 4), expected) << "mode " << int(mode);
        icon->SetActive(false);
    }
}

TEST(TrayIcon, GlobalAnimationWithoutFreeTimerRaises)
{
    QWidget owner;
    TrayShellLog log;
    auto icon = LoadedInactive(&owner, log);
    TDskImageList images;
    images.AddList({QImage(16, 16, QImage::Format_RGB32)});
    icon->SetImageList(&images);
    auto &service = TDskTimerService::Instance();
    std::vector<TDskTimerService::TimerId> taken;
    while (service.FreeSlots() > 0)
        taken.push_back(service.Reserve(100, [] {}));
    EXPECT_THROW(icon->SetAnimated(true), AppError);
    for (auto id : taken)
        service.Release(id);
}
