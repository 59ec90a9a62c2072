#pragma once
// A small StatusNotifierWatcher (the part of a desktop's notification area
// that tray items register with) and notification service on their own
// session-bus connection and thread. It answers that a host is registered, so Qt puts its tray icons
// on the bus, and counts the items whose bus names are still there.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QMutex>
#include <QSet>
#include <QStringList>
#include <QThread>


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

// A desktop's notification service (org.freedesktop.Notifications) that
// keeps the summary and body of every notification it is sent.
class FakeNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList Received() const
    {
        QMutexLocker lock(&FMutex);
        return FReceived;
    }

public slots:
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &, const QVariantMap &, int)
    {
        QMutexLocker lock(&FMutex);
        FReceived << summary + u'|' + body;
        return uint(FReceived.size());
    }
    QStringList GetCapabilities() const { return {QStringLiteral("body")}; }
    void CloseNotification(uint) {}

private:
    mutable QMutex FMutex;
    QStringList FReceived;
};

// Runs the watcher and the notification service on their own thread and
// bus connection.
class WatcherThread : public QThread
{
public:
    FakeWatcher *watcher = nullptr;
    FakeNotifications *notifications = nullptr;
    bool ok = false;
    QMutex ready;

    void run() override
    {
        auto bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-watcher"));
        FakeWatcher w(bus);
        FakeNotifications n;
        ok = bus.isConnected()
             && bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &w,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
             && bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))
             && bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &n,
                                   QDBusConnection::ExportAllSlots)
             && bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
        watcher = &w;
        notifications = &n;
        ready.unlock();
        exec();
        watcher = nullptr;
        notifications = nullptr;
        bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
        bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-watcher"));
    }
};


// Starts the watcher; it is on the bus when this returns.
inline void StartWatcher(WatcherThread &thread)
{
    thread.ready.lock();
    thread.start();
    thread.ready.lock();
    thread.ready.unlock();
}
