#include "components/DskTrayIcon.h"

#include "components/DskImageList.h"
#include "platform/AppError.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <QWindowStateChangeEvent>

namespace {

constexpr int TipLength = TDskNotifyIconData::TipCapacity - 1;
constexpr int GlobalTimerStep = 50;

// The global timers tick in steps of 50 ms: the interval rounds up to one.
int GlobalTimerInterval(int interval)
{
    const int steps = (interval + GlobalTimerStep - 1) / GlobalTimerStep;
    return std::max(1, steps) * GlobalTimerStep;
}

QIcon FrameIcon(const QImage &frame)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.drawImage(QPoint(0, 0), frame);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

TDskTrayIcon::TDskTrayIcon(QWidget *owner, std::unique_ptr<TDskTrayShell> shell)
    : TDskWndProcComponent(owner), FShell(shell ? std::move(shell) : MakeSystemTrayShell())
{
    FShell->Notify = [this](TDskTrayMouse action) { HandleNotification(action); };
}

TDskTrayIcon::~TDskTrayIcon()
{
    StopAnimationTimer();
    UnhookOwner();
    FHint.clear();
    FShell->Notify = nullptr;
    FShell->Delete(NotifyData(FIcon));
    FShell.reset();
}

TDskImageList *TDskTrayIcon::ImageList() const
{
    return FImageList;
}

void TDskTrayIcon::SetImageList(TDskImageList *value)
{
    FImageList = value;
}

void TDskTrayIcon::SetShell(std::unique_ptr<TDskTrayShell> shell)
{
    if (FActive && !FLoading)
        return;
    FShell->Notify = nullptr;
    FShell = std::move(shell);
    FShell->Notify = [this](TDskTrayMouse action) { HandleNotification(action); };
}

TDskNotifyIconData TDskTrayIcon::NotifyData(const QIcon &icon) const
{
    TDskNotifyIconData data;
    data.Icon = icon;
    data.Tip = FHint.left(TipLength);
    return data;
}

void TDskTrayIcon::Loaded()
{
    TDskWndProcComponent::Loaded();
    FLoading = false;
    if (FActive) {
        FActive = false;
        SetActive(true);
    }
    // Where no notification area took the writes, the icon is off: the hook
    // must not stay, or a minimised owner would vanish with no icon to bring
    // it back.
    if (!FActive)
        SetEnabled(false);
}

void TDskTrayIcon::SetActive(bool value)
{
    if (!FShell->HasNotificationArea() || value == FActive)
        return;
    FActive = value;
    if (FActive)
        SwitchOn();
    else
        SwitchOff();
}

void TDskTrayIcon::SwitchOn()
{
    SetEnabled(true);
    QCoreApplication::processEvents();
    // After the pending events: the shell settles the entry only once the
    // caller's own event is done (the caller usually hides the window next).
    FShell->SetTaskbarEntryVisible(OwnerForm(), false);
    if (FAnimated)
        StartAnimationTimer();
    FShell->Add(NotifyData(FIcon));
    if (FAnimated)
        FFrameCounter = 0;
}

void TDskTrayIcon::SwitchOff()
{
    SetEnabled(false);
    FShell->SetTaskbarEntryVisible(OwnerForm(), true);
    FShell->Delete(NotifyData(FIcon));
    StopAnimationTimer();
}

void TDskTrayIcon::ShowMessage(const QString &title, const QString &text)
{
    if (FActive && !FLoading && FShell->HasNotificationArea())
        FShell->ShowMessage(title, text, FIcon);
}

void TDskTrayIcon::SetHint(const QString &value)
{
    if (value == FHint && !FLoading)
        return;
    FHint = value;
    if (FActive && !FLoading)
        FShell->Modify(NotifyData(FIcon));
}

void TDskTrayIcon::SetIcon(const QIcon &value)
{
    FIcon = value;
    if (FActive && !FLoading)
        FShell->Modify(NotifyData(FIcon));
}

void TDskTrayIcon::SetTimerMode(TDskTimerMode value)
{
    FTimerMode = value;
    if (FAnimated)
        StartAnimationTimer();
    else
        StopAnimationTimer();
}

void TDskTrayIcon::SetAnimated(bool value)
{
    FAnimated = value;
    if (FAnimated)
        StartAnimationTimer();
    else
        StopAnimationTimer();
}

void TDskTrayIcon::StartAnimationTimer()
{
    StopAnimationTimer();
    if (!FAnimated || !FImageList)
        return;
    switch (FTimerMode) {
    case TDskTimerMode::tmGlobalTimer: {
        auto &service = TDskTimerService::Instance();
        FGlobalTimer = service.Reserve(GlobalTimerInterval(FInterval), [this] { AnimationTick(); });
        service.Enable(FGlobalTimer);
        break;
    }
    case TDskTimerMode::tmHiTimer:
        FHiTimer = new QTimer(this);
        FHiTimer->setTimerType(Qt::PreciseTimer);
        FHiTimer->setInterval(std::max<int>(1, FInterval));
        connect(FHiTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { AnimationTick(); }); });
        FHiTimer->start();
        break;
    case TDskTimerMode::tmThreaded: {
        // The timer ticks on its own thread; each tick is handed to the GUI thread.
        FTimerThread = new QThread;
        FHiTimer = new QTimer;
        FHiTimer->setTimerType(Qt::PreciseTimer);
        FHiTimer->setInterval(std::max<int>(1, FInterval));
        FHiTimer->moveToThread(FTimerThread);
        connect(FTimerThread, &QThread::started, FHiTimer, qOverload<>(&QTimer::start));
        connect(FHiTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { AnimationTick(); }); },
                Qt::QueuedConnection);
        FTimerThread->start(FThreadPriority);
        break;
    }
    }
}

void TDskTrayIcon::StopAnimationTimer()
{
    if (FGlobalTimer != TDskTimerService::NoTimer) {
        TDskTimerService::Instance().Release(FGlobalTimer);
        FGlobalTimer = TDskTimerService::NoTimer;
    }
    if (FTimerThread) {
        QMetaObject::invokeMethod(FHiTimer, &QTimer::stop, Qt::BlockingQueuedConnection);
        FTimerThread->quit();
        FTimerThread->wait();
        delete FHiTimer;
        delete FTimerThread;
        FHiTimer = nullptr;
        FTimerThread = nullptr;
    } else if (FHiTimer) {
        delete FHiTimer;
        FHiTimer = nullptr;
    }
}

int TDskTrayIcon::AnimationTimerInterval() const
{
    if (FGlobalTimer != TDskTimerService::NoTimer)
        return TDskTimerService::Instance().Interval(FGlobalTimer);
    return FHiTimer ? FHiTimer->interval() : 0;
}

void TDskTrayIcon::AnimationTick()
{
    const int frames = FImageList ? FImageList->Count(FListIndex) : 0;
    if (frames == 0)
        return;
    if (FFrameCounter >= frames)
        FFrameCounter = 0;
    FShell->Modify(NotifyData(FrameIcon(FImageList->Image(FListIndex, FFrameCounter))));
    FFrameCounter = (FFrameCounter + 1) % frames;
}

void TDskTrayIcon::HandleNotification(TDskTrayMouse action)
{
    const QPoint pointer = FShell->PointerPosition();
    FX = pointer.x();
    FY = pointer.y();
    // The notification carries no key state but the Alt key.
    const TDskShiftState shift = FShell->AltDown() ? TDskShiftState(ssAlt) : TDskShiftState(0);
    switch (action) {
    case TDskTrayMouse::Move:
        if (OnMouseMove)
            OnMouseMove(*this, shift, FX, FY);
        break;
    case TDskTrayMouse::LeftDown:
        MouseDown(Qt::LeftButton, shift);
        break;
    case TDskTrayMouse::LeftUp:
        MouseUp(Qt::LeftButton, shift);
        break;
    case TDskTrayMouse::LeftDouble:
        DoubleClick(Qt::LeftButton, shift);
        break;
    case TDskTrayMouse::RightDown:
        MouseDown(Qt::RightButton, shift);
        PopUpMenu();
        break;
    case TDskTrayMouse::RightUp:
        MouseUp(Qt::RightButton, shift);
        break;
    case TDskTrayMouse::RightDouble:
        DoubleClick(Qt::RightButton, shift);
        break;
    case TDskTrayMouse::MiddleDown:
        MouseDown(Qt::MiddleButton, shift);
        break;
    case TDskTrayMouse::MiddleUp:
        MouseUp(Qt::MiddleButton, shift);
        break;
    case TDskTrayMouse::MiddleDouble:
        DoubleClick(Qt::MiddleButton, shift);
        break;
    }
}

void TDskTrayIcon::MouseDown(Qt::MouseButton button, TDskShiftState shift)
{
    if (OnMouseDown)
        OnMouseDown(*this, button, shift, FX, FY);
}

void TDskTrayIcon::MouseUp(Qt::MouseButton button, TDskShiftState shift)
{
    if (OnClick)
        OnClick(*this);
    if (OnMouseUp)
        OnMouseUp(*this, button, shift, FX, FY);
}

void TDskTrayIcon::DoubleClick(Qt::MouseButton button, TDskShiftState shift)
{
    if (OnDblClick)
        OnDblClick(*this);
    if (OnMouseDown)
        OnMouseDown(*this, button, shift | ssDouble, FX, FY);
}

void TDskTrayIcon::PopUpMenu()
{
    if (!FPopupMenu)
        return;
    if (OnPopUp)
        OnPopUp(*this);
    QCoreApplication::processEvents();
    // An event handler may have destroyed the menu meanwhile.
    if (FPopupMenu)
        FPopupMenu->popup(QPoint(FX, FY));
}

void TDskTrayIcon::HideToNothing()
{
    FShell->SetTaskbarEntryVisible(OwnerForm(), false);
    if (OwnerForm())
        OwnerForm()->hide();
}

bool TDskTrayIcon::OwnerEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        // Applied once the show is done: the entry may need a new native window.
        if (FActive)
            QTimer::singleShot(0, this, Guarded([this] {
                if (FActive)
                    FShell->SetTaskbarEntryVisible(OwnerForm(), FShowMinimizedIcon);
            }));
        return false;
    case QEvent::WindowStateChange:
        // The window has minimised already; it then leaves the taskbar too.
        if (OwnerForm() && OwnerForm()->isMinimized() && !FShowMinimizedIcon)
            QTimer::singleShot(0, this, Guarded([this] { HideToNothing(); }));
        return false;
    case QEvent::Close:
        if (FNoClose && FActive) {
            event->ignore();
            HideToNothing();
            return true;
        }
        return false;
    default:
        return false;
    }
}
