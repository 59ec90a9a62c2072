#pragma once
// A notification area for tests: records the tray icon's requests and models
// the one icon the desktop would show.
#include "components/DskTrayShell.h"

#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QThread>

struct TrayShellLog
{
    QStringList requests; // "add:<tip>", "modify:<tip>", "delete"
    QList<bool> taskbar;  // every taskbar visibility request
    bool iconShown = false;
    bool area = true;     // the desktop has a notification area
    QPoint pointer{321, 234};
    bool alt = false;
    QList<QRgb> colours;  // top-left pixel of every icon sent with a modify request
    QStringList messages; // "<title>|<text>" of every message shown
    bool modifiedOffGuiThread = false;
};

class FakeTrayShell final : public TDskTrayShell
{
public:
    explicit FakeTrayShell(TrayShellLog &log) : FLog(log) {}
    bool HasNotificationArea() const override { return FLog.area; }
    void Add(const TDskNotifyIconData &d) override
    {
        FLog.requests << QStringLiteral("add:") + d.Tip;
        FLog.iconShown = true;
    }
    void Modify(const TDskNotifyIconData &d) override
    {
        FLog.requests << QStringLiteral("modify:") + d.Tip;
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            FLog.modifiedOffGuiThread = true;
            return;
        }
        FLog.colours << d.Icon.pixmap(16, 16).toImage().pixel(0, 0);
    }
    void Delete(const TDskNotifyIconData &) override
    {
        FLog.requests << QStringLiteral("delete");
        FLog.iconShown = false;
    }
    void ShowMessage(const QString &title, const QString &text, const QIcon &) override
    {
        FLog.messages << title + u'|' + text;
    }
    void SetTaskbarEntryVisible(QWidget *, bool visible) override { FLog.taskbar << visible; }
    QPoint PointerPosition() const override { return FLog.pointer; }
    bool AltDown() const override { return FLog.alt; }

private:
    TrayShellLog &FLog;
};
