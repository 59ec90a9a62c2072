#pragma once
// The desktop's side of the notification-area icon, behind an interface so
// that the tray icon component can be driven and observed without a desktop.
//
// The component sends add, modify and delete requests with a notification
// record; the shell reports mouse actions on the icon through Notify. The
// system shell (MakeSystemTrayShell) sits on QSystemTrayIcon, which speaks
// StatusNotifierItem or XEmbed, whatever the desktop offers.

#include <QIcon>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

// Mouse actions that the shell reports for the icon.
enum class TDskTrayMouse {
    Move,
    LeftDown, LeftUp, LeftDouble,
    RightDown, RightUp, RightDouble,
    MiddleDown, MiddleUp, MiddleDouble,
};

// The record that goes with every request.
struct TDskNotifyIconData
{
    static constexpr int RecordSize = 88;
    static constexpr int TipCapacity = 64; // characters, the ending zero included
    static constexpr unsigned FlagMessage = 1, FlagIcon = 2, FlagTip = 4;
    static constexpr unsigned CallbackMessage = 0x400 + 101;

    unsigned Id = 0;
    unsigned Flags = FlagMessage | FlagIcon | FlagTip;
    QIcon Icon;
    QString Tip; // never longer than TipCapacity - 1
};

class TDskTrayShell
{
public:
    virtual ~TDskTrayShell() = default;

    // Asked at the moment of each request: is there a notification area at all?
    virtual bool HasNotificationArea() const = 0;
    virtual void Add(const TDskNotifyIconData &data) = 0;
    virtual void Modify(const TDskNotifyIconData &data) = 0;
    // Removing an icon that is not shown is refused without effect.
    virtual void Delete(const TDskNotifyIconData &data) = 0;
    // Shows a message beside the icon through the desktop's notifications.
    virtual void ShowMessage(const QString &title, const QString &text, const QIcon &icon) = 0;
    // Shows or hides the taskbar entry of the program's window.
    virtual void SetTaskbarEntryVisible(QWidget *window, bool visible) = 0;
    // The pointer's position in screen pixels and the Alt key, read now.
    virtual QPoint PointerPosition() const = 0;
    virtual bool AltDown() const = 0;

    // Set by the component: receives every mouse action on the icon.
    std::function<void(TDskTrayMouse)> Notify;
};

// The desktop's own notification area (QSystemTrayIcon).
std::unique_ptr<TDskTrayShell> MakeSystemTrayShell();
