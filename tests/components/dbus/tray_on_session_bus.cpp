// The tray icon against a real session bus and X server: a small
// StatusNotifierWatcher (the part of a desktop's notification area that
// items register with) runs on its own bus connection and thread; the
// test checks that the icon registers when it is switched on and is gone
// after it is switched off and after the component is destroyed.
#include "components/DskTrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QMutex>
#include <QPixmap>
#include <QSet>
#include <QThread>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class FakeWatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ IsStatusNotifierHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ RegisteredStatusNotifierItems)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)

public:
    explicit FakeWatcher(QDBusConnection bus) : FBus(bus), FNames(QString(), bus)
    {
        FNames.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
        connect(&FNames, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &name) {
            QMutexLocker lock(&FMutex);
            FItems.remove(name);
        });
    }

    bool IsStatusNotifierHostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList RegisteredStatusNotifierItems() const
    {
        QMutexLocker lock(&FMutex);
        return QStringList(FItems.cbegin(), FItems.cend());
    }
    int ItemCount() const
    {
        QMutexLocker lock(&FMutex);
        return int(FItems.size());
    }

public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        // An item may name itself by its bus name or by its object path.
        const QString name = service.startsWith(u'/') ? message().service() : service;
        FNames.addWatchedService(name);
        QMutexLocker lock(&FMutex);
        FItems.insert(name);
    }
    void RegisterStatusNotifierHost(const QString &) {}

private:
    QDBusConnection FBus;
    QDBusServiceWatcher FNames;
    mutable QMutex FMutex;
    QSet<QString> FItems;
};

// Runs the watcher on its own thread and bus connection.
class WatcherThread : public QThread
{
public:
    FakeWatcher *watcher = nullptr;
    bool ok = false;
    QMutex ready;

    void run() override
    {
        auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-watcher"));
        FakeWatcher w(bus);
        ok = bus.isConnected()
             && bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &w,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
             && bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        watcher = &w;
        ready.unlock();
        exec();
        watcher = nullptr;
        bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-watcher"));
    }
};

} // namespace

TEST(TrayIconOnSessionBus, RegistersWhileActiveAndIsGoneAfterwards)
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") || qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs a session bus and an X server";

    WatcherThread thread;
    thread.ready.lock();
    thread.start();
    thread.ready.lock(); // the watcher is on the bus before anyone asks for it
    thread.ready.unlock();
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
    icon.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.watcher->ItemCount() == 0; }, 10000));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "tray_on_session_bus.moc"
