// The main window's tray mode on a real session bus and X server, with a
// fake StatusNotifierWatcher and notification service: Esc puts the window
// into the tray, the joke of the day arrives as a desktop notification, the
// tray menu brings the window back where it was, and "Program bezárása" from
// the tray ends the event loop and leaves no icon behind.
#include "FakeWatcher.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "platform/AppError.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

// Every test runs beside its own watcher and notification service.
class MainWindowTrayOnSessionBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs a session bus and an X server";
        StartWatcher(thread);
        ASSERT_TRUE(thread.ok);
    }
    void TearDown() override
    {
        thread.quit();
        thread.wait();
    }
    WatcherThread thread;
};

// Runs first: Qt settles once per process that the desktop has a
// notification area.
TEST_F(MainWindowTrayOnSessionBus, TheJokeOfTheDayIsADesktopNotification)
{
    QTemporaryDir tmp;
    const QString fortunes = tmp.filePath(QStringLiteral("fortunes"));
    QFile file(fortunes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Egy vicc.\n%\nMásik vicc,\nkét sorban.\n%\n");
    file.close();

    auto window = std::make_unique<Tfrm_Main>(fortunes);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_EQ(window->sbxMain->JokeCount(), 2);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));
    for (int click = 1; click <= 3; ++click) {
        window->mniNapVicce->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.notifications->Received().size() == click; }, 10000));
    }
    QTest::qWait(200);
    const QStringList received = thread.notifications->Received();
    EXPECT_EQ(received.size(), 3) << "one notification a click";
    for (const QString &message : received)
        EXPECT_TRUE(message == u"A nap vicce|Egy vicc." || message == u"A nap vicce|Másik vicc,\nkét sorban.")
            << message.toStdString();
    window->Naptrprogrammegnyits1->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
}

TEST_F(MainWindowTrayOnSessionBus, RoundTripAndClosingFromTheTray)
{
    QStringList errors;
    const auto previous = SetErrorBoxSink([&](const QString &text) { errors << text; });

    auto window = std::make_unique<Tfrm_Main>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // The window manager frames the window after it is exposed; its place
    // is the framed one.
    QTest::qWaitFor([&] { return window->frameGeometry() != window->geometry(); }, 5000);
    const QRect bounds = window->geometry();

    for (int trip = 0; trip < 2; ++trip) {
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 1; }, 10000));
        window->Naptrprogrammegnyits1->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
        EXPECT_FALSE(window->windowFlags().testFlag(Qt::Tool));
        // Shown again, the window stands where it was once it is framed.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->geometry() == bounds; }, 5000))
            << "at " << window->geometry().x() << "," << window->geometry().y() << " "
            << window->geometry().width() << "x" << window->geometry().height();
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
