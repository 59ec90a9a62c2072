// The tray icon against a real session bus and X server, with a fake
// StatusNotifierWatcher: the icon registers when it is switched on and is
// gone after it is switched off and after the component is destroyed.
#include "FakeWatcher.h"
#include "components/DskTrayIcon.h"

#include <QApplication>
#include <QPixmap>
#include <QThread>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>


TEST(TrayIconOnSessionBus, RegistersWhileActiveAndIsGoneAfterwards)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs a session bus and an X server";

    WatcherThread thread;
    StartWatcher(thread); // on the bus before anyone asks for a tray
    ASSERT_TRUE(thread.ok);
    const auto cleanup = qScopeGuard([&] {
        thread.quit();
        thread.wait();
    });

    QWidget owner;
    auto icon = std::make_unique<TDskTrayIcon>(&owner);
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    icon->SetIcon(QIcon(picture));
    icon->SetActive(false);
    icon->Loaded();
    ASSERT_TRUE(icon->Shell().HasNotificationArea());
    EXPECT_EQ(thread.watcher->ItemCount(), 0);

    for (int trip = 0; trip < 2; ++trip) {
        icon->SetActive(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));
        icon->SetActive(false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
    }
    icon->SetActive(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));

    // A window left on screen while the icon is shown loses its taskbar
    // entry; one hidden at once keeps its native window untouched.
    owner.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitFor([&] { return owner.windowFlags().testFlag(Qt::Tool); }, 30000));
    EXPECT_TRUE(owner.isVisible());
    icon->SetActive(false);
    EXPECT_FALSE(owner.windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(owner.isVisible());
    icon->SetActive(true);
    owner.hide();
    QTest::qWait(50);
    EXPECT_FALSE(owner.windowFlags().testFlag(Qt::Tool));

    icon.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
}
