#include "components/DskComponent.h"

#include "platform/AppError.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWidget>

TDskCustomComponent::TDskCustomComponent(QObject *owner)
    : QObject(owner)
{
}

void TDskCustomComponent::BeginUpdate()
{
    ++FUpdateCount;
}

void TDskCustomComponent::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FChangePending) {
        FChangePending = false;
        Changed();
    }
}

void TDskCustomComponent::Changed()
{
    if (FUpdateCount > 0) {
        FChangePending = true;
        return;
    }
    if (OnChange)
        OnChange(*this);
}

TDskWndProcComponent::TDskWndProcComponent(QWidget *owner)
    : TDskCustomComponent(owner), FOwner(owner)
{
    if (owner && qobject_cast<QMdiSubWindow *>(owner->parentWidget()))
        FMdiKind = mkChild;
    else if (owner && owner->findChild<QMdiArea *>())
        FMdiKind = mkFrame;
    if (owner) {
        connect(owner, &QObject::destroyed, this, [this] {
            FDestroying = true;
            FHooked = false;
        });
    }
}

TDskWndProcComponent::~TDskWndProcComponent()
{
    // The derived destructor normally unhooks already; this covers the rest.
    if (FHooked && FHookedObject)
        FHookedObject->removeEventFilter(this);
}

void TDskWndProcComponent::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    if (FEnabled)
        HookOwner();
    else
        UnhookOwner();
    EnabledChanged();
}

void TDskWndProcComponent::Loaded()
{
    if (FEnabled)
        HookOwner();
}

QWidget *TDskWndProcComponent::HookTarget() const
{
    // In a frame window the client area is the one whose events matter.
    if (FMdiKind == mkFrame && FOwner)
        if (auto *area = FOwner->findChild<QMdiArea *>())
            return area;
    return FOwner;
}

void TDskWndProcComponent::HookOwner()
{
    if (!FEnabled || FHooked || FDestroying || !CanHook())
        return;
    QWidget *target = HookTarget();
    if (!target)
        return;
    target->installEventFilter(this);
    FHookedObject = target;
    FHooked = true;
}

void TDskWndProcComponent::UnhookOwner()
{
    if (!FHooked)
        return;
    if (FHookedObject)
        FHookedObject->removeEventFilter(this);
    FHookedObject = nullptr;
    FHooked = false;
}

bool TDskWndProcComponent::OwnerEvent(QEvent *event)
{
    return false;
}

bool TDskWndProcComponent::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FHookedObject || FDestroying)
        return false;
    if (event->type() == QEvent::Destroy) {
        FDestroying = true;
        return false;
    }
    bool swallowed = false;
    RunGuarded([&] { swallowed = OwnerEvent(event); });
    return swallowed;
}
