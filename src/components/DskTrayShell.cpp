#include "components/DskTrayShell.h"

#include "platform/AppError.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

// An empty icon would make the desktop show nothing to click on.
QIcon ShownIcon(const QIcon &icon)
{
    if (!icon.isNull())
        return icon;
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

// How long a message stays, where the desktop lets the program say.
constexpr int MessageTime = 15000;

class TSystemTrayShell final : public TDskTrayShell
{
public:
    TSystemTrayShell()
    {
        QObject::connect(&FIcon, &QSystemTrayIcon::activated, &FIcon,
                         Guarded([this](QSystemTrayIcon::ActivationReason reason) { Activated(reason); }));
    }

    bool HasNotificationArea() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    void Add(const TDskNotifyIconData &data) override
    {
        Modify(data);
        FIcon.show();
    }

    void Modify(const TDskNotifyIconData &data) override
    {
        FIcon.setIcon(ShownIcon(data.Icon));
        FIcon.setToolTip(data.Tip);
    }

    void Delete(const TDskNotifyIconData &) override { FIcon.hide(); }

    void ShowMessage(const QString &title, const QString &text, const QIcon &icon) override
    {
        FIcon.showMessage(title, text, ShownIcon(icon), MessageTime);
    }

    void SetTaskbarEntryVisible(QWidget *window, bool visible) override
    {
        if (!window)
            return;
        FEntryHidden = !visible;
        if (visible) {
            SetToolFlag(window, false);
            return;
        }
        // A window that its user hides right away needs nothing (and keeps
        // its native window and place); one that stays on screen loses its
        // entry once the current event is done.
        QTimer::singleShot(0, &FIcon, [this, target = QPointer<QWidget>(window)] {
            if (target && FEntryHidden && target->isVisible())
                SetToolFlag(target, true);
        });
    }

    QPoint PointerPosition() const override { return QCursor::pos(); }
    bool AltDown() const override
    {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
    }

private:
    // A tool window has no taskbar entry. Changing the flag re-creates the
    // native window, so a visible window is shown again afterwards.
    static void SetToolFlag(QWidget *window, bool tool)
    {
        if (window->windowFlags().testFlag(Qt::Tool) == tool)
            return;
        const bool shown = window->isVisible();
        window->setWindowFlag(Qt::Tool, tool);
        if (shown)
            window->show();
    }

    // The desktop reports clicks, not presses and releases: each click
    // becomes the press and release it stands for.
    void Activated(QSystemTrayIcon::ActivationReason reason)
    {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
            Send({TDskTrayMouse::LeftDown, TDskTrayMouse::LeftUp});
            break;
        case QSystemTrayIcon::DoubleClick:
            Send({TDskTrayMouse::LeftDouble, TDskTrayMouse::LeftUp});
            break;
        case QSystemTrayIcon::MiddleClick:
            Send({TDskTrayMouse::MiddleDown, TDskTrayMouse::MiddleUp});
            break;
        case QSystemTrayIcon::Context:
            Send({TDskTrayMouse::RightDown, TDskTrayMouse::RightUp});
            break;
        case QSystemTrayIcon::Unknown:
            break;
        }
    }

    void Send(std::initializer_list<TDskTrayMouse> actions)
    {
        for (TDskTrayMouse action : actions)
            if (Notify)
                Notify(action);
    }

    QSystemTrayIcon FIcon;
    bool FEntryHidden = false;
};

} // namespace

std::unique_ptr<TDskTrayShell> MakeSystemTrayShell()
{
    return std::make_unique<TSystemTrayShell>();
}
