#pragma once
// TDskTrayIcon puts an icon into the desktop's notification area while
// `Active`, hides the program's taskbar entry meanwhile, turns mouse actions
// on the icon into events and pops `PopupMenu` up at the pointer on a
// right-button press. It never shows or hides its owner window itself,
// except through the owner hook (minimise, and close while `NoClose`),
// which is in place only while the icon is really shown.
//
// Life: construction sets the defaults (`Active` true, nothing sent yet);
// the owner then sets the properties it wants and calls Loaded(), which
// shows the icon when `Active` is still true. Writing `Active` false before
// Loaded() runs the switching-off steps once, as a definition with an
// inactive icon does. Destruction removes the icon.

#include "components/DskComponent.h"
#include "components/DskTimers.h"
#include "components/DskTrayShell.h"

#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QThread>
#include <memory>

class TDskImageList;
class QTimer;

enum class TDskTimerMode { tmGlobalTimer, tmHiTimer, tmThreaded };

// Shift state of a mouse event on the icon.
enum TDskShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssDouble = 8 };
using TDskShiftState = unsigned;

class TDskTrayIcon : public TDskWndProcComponent
{
public:
    using TNotifyEvent = std::function<void(TDskTrayIcon &)>;
    using TMouseEvent = std::function<void(TDskTrayIcon &, Qt::MouseButton, TDskShiftState, int x, int y)>;
    using TMouseMoveEvent = std::function<void(TDskTrayIcon &, TDskShiftState, int x, int y)>;

    // A null shell means the desktop's own notification area.
    explicit TDskTrayIcon(QWidget *owner, std::unique_ptr<TDskTrayShell> shell = nullptr);
    ~TDskTrayIcon() override;

    bool Active() const { return FActive; }
    // Ignored when the desktop has no notification area or nothing changes.
    void SetActive(bool value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);
    QIcon Icon() const { return FIcon; }
    void SetIcon(const QIcon &value);
    bool NoClose() const { return FNoClose; }
    void SetNoClose(bool value) { FNoClose = value; }
    bool ShowMinimizedIcon() const { return FShowMinimizedIcon; }
    void SetShowMinimizedIcon(bool value) { FShowMinimizedIcon = value; }
    // Cleared by itself when the menu is destroyed.
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value) { FPopupMenu = value; }
    TDskImageList *ImageList() const;
    void SetImageList(TDskImageList *value);
    int ListIndex() const { return FListIndex; }
    void SetListIndex(int value) { FListIndex = value; }
    TDskTimerMode TimerMode() const { return FTimerMode; }
    void SetTimerMode(TDskTimerMode value);
    QThread::Priority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(QThread::Priority value) { FThreadPriority = value; }
    quint16 Interval() const { return FInterval; }
    void SetInterval(quint16 value) { FInterval = value; }
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool value);

    TNotifyEvent OnClick, OnDblClick, OnPopUp;
    TMouseEvent OnMouseDown, OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    void Loaded() override;

    // Shows a message beside the icon as a desktop notification, with the
    // icon's picture; nothing while the icon is not shown.
    void ShowMessage(const QString &title, const QString &text);

    // Handles one mouse action reported by the shell.
    void HandleNotification(TDskTrayMouse action);
    // Pointer position read at the last notification, in screen pixels.
    int X() const { return FX; }
    int Y() const { return FY; }

    // The interval the animation timer runs at (0 while none runs) and the
    // frame the next tick draws.
    int AnimationTimerInterval() const;
    int FrameCounter() const { return FFrameCounter; }

    TDskTrayShell &Shell() { return *FShell; }
    // Replaces the shell; only while inactive (a shown icon stays with its shell).
    void SetShell(std::unique_ptr<TDskTrayShell> shell);

protected:
    bool OwnerEvent(QEvent *event) override;

private:
    TDskNotifyIconData NotifyData(const QIcon &icon) const;
    void SwitchOn();
    void SwitchOff();
    void StartAnimationTimer();
    void StopAnimationTimer();
    void AnimationTick();
    void HideToNothing();
    void MouseDown(Qt::MouseButton button, TDskShiftState shift);
    void MouseUp(Qt::MouseButton button, TDskShiftState shift);
    void DoubleClick(Qt::MouseButton button, TDskShiftState shift);
    void PopUpMenu();

    std::unique_ptr<TDskTrayShell> FShell;
    bool FActive = true;
    bool FLoading = true;
    QString FHint;
    QIcon FIcon;
    bool FNoClose = false;
    bool FShowMinimizedIcon = false;
    QPointer<QMenu> FPopupMenu;
    QPointer<TDskImageList> FImageList;
    int FListIndex = 0;
    TDskTimerMode FTimerMode = TDskTimerMode::tmGlobalTimer;
    QThread::Priority FThreadPriority = QThread::NormalPriority;
    quint16 FInterval = 200;
    bool FAnimated = false;

    int FX = 0;
    int FY = 0;
    int FFrameCounter = 0;
    TDskTimerService::TimerId FGlobalTimer = TDskTimerService::NoTimer;
    QTimer *FHiTimer = nullptr;
    QThread *FTimerThread = nullptr;
};
