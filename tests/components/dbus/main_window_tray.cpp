// The main window's tray mode on a real session bus and X server, with a
// fake StatusNotifierWatcher: Esc puts the window into the tray, the tray
// menu brings it back where it was, and "Program bezárása" from the tray
// ends the event loop and leaves no icon behind.
#include "FakeWatcher.h"
#include "app/Main.h"
#include "platform/AppError.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

TEST(MainWindowTrayOnSessionBus, RoundTripAndClosingFromTheTray)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs a session bus and an X server";
    WatcherThread thread;
    StartWatcher(thread);
    ASSERT_TRUE(thread.ok);
    const auto cleanup = qScopeGuard([&] {
        thread.quit();
        thread.wait();
    });
    QStringList errors;
    const auto previous = SetErrorBoxSink([&](const QString &text) { errors << text; });

    auto window = std::make_unique<Tfrm_Main>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    const QRect bounds = window->geometry();

    for (int trip = 0; trip < 2; ++trip) {
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));
        window->Naptrprogrammegnyits1->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(window->geometry(), bounds);
    }

    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));
    QTimer::singleShot(0, window.get(), [&] { window->Programbezrsa1->trigger(); });
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QApplication::exec(), 0) << "the program did not end";
    window.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    SetErrorBoxSink(previous);
}
