#pragma once
// A small StatusNotifierWatcher (the part of a desktop's notification area
// that tray items register with) on its own session-bus connection and
// thread. It answers that a host is registered, so Qt puts its tray icons
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


// Starts the watcher; it is on the bus when this returns.
inline void StartWatcher(WatcherThread &thread)
{
    thread.ready.lock();
    thread.start();
    thread.ready.lock();
    thread.ready.unlock();
}
