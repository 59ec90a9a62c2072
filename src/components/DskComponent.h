#pragma once
// The base of the desktop components.
//
// TDskCustomComponent adds a change notification with an update lock.
// TDskWndProcComponent watches the events of its owner window while it is
// enabled (the owner-window hook): OwnerEvent sees every event of the owner
// before the owner does and may swallow it. The hook follows `Enabled`, is put
// in place by the after-load step `Loaded()` and is removed on destruction or
// when the owner window is destroyed.

#include <QObject>
#include <QPointer>
#include <functional>

class QEvent;
#include <QWidget>

class TDskCustomComponent : public QObject
{
public:
    explicit TDskCustomComponent(QObject *owner);

    // While locked, changes are collected and announced once by the last EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    std::function<void(TDskCustomComponent &)> OnChange;

protected:
    void Changed();

private:
    int FUpdateCount = 0;
    bool FChangePending = false;
};

class TDskWndProcComponent : public TDskCustomComponent
{
public:
    // How the owner form sits in a multiple-document window.
    enum TMdiKind { mkNone = 0, mkChild = 1, mkFrame = 2 };

    explicit TDskWndProcComponent(QWidget *owner);
    ~TDskWndProcComponent() override;

    bool Enabled() const { return FEnabled; }
    // Hooks (true) or unhooks (false) the owner, then calls EnabledChanged.
    void SetEnabled(bool value);
    // Also watch the application's main window (not used by the tray icon).
    bool HandleApplication() const { return FHandleApplication; }
    void SetHandleApplication(bool value) { FHandleApplication = value; }
    TMdiKind MdiKind() const { return FMdiKind; }
    bool Hooked() const { return FHooked; }
    // True once the owner window is being destroyed; no event of it is handled after that.
    bool Destroying() const { return FDestroying; }

    // The after-load step: hooks the owner when enabled.
    virtual void Loaded();

protected:
    QWidget *OwnerForm() const { return FOwner; }
    virtual bool CanHook() const { return true; }
    virtual void HookOwner();
    virtual void UnhookOwner();
    // Handles one event of the owner window; true swallows it. The base
    // passes everything on.
    virtual bool OwnerEvent(QEvent *event);
    virtual void EnabledChanged() {}

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *HookTarget() const;

    QPointer<QWidget> FOwner;
    QPointer<QObject> FHookedObject;
    bool FEnabled = true;
    bool FHandleApplication = false;
    bool FHooked = false;
    bool FDestroying = false;
    TMdiKind FMdiKind = mkNone;
};
