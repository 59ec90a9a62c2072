#include "components/DskTimers.h"

#include "platform/AppError.h"

#include <QCoreApplication>
#include <QTimer>

TDskTimerService &TDskTimerService::Instance()
{
    // Parented to the application so it dies on the GUI thread before Qt does.
    static TDskTimerService *service = new TDskTimerService;
    return *service;
}

TDskTimerService::TDskTimerService()
    : QObject(QCoreApplication::instance())
{
    for (TimerId id = 0; id < Capacity; ++id) {
        auto *timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { Tick(id); });
        FSlots[id].Timer = timer;
    }
}

TDskTimerService::~TDskTimerService() = default;

TDskTimerService::TimerId TDskTimerService::Reserve(int intervalMs, std::function<void()> callback)
{
    for (TimerId id = 0; id < Capacity; ++id) {
        Slot &slot = FSlots[id];
        if (slot.Reserved)
            continue;
        slot.Reserved = true;
        slot.IntervalMs = intervalMs;
        slot.Callback = std::make_shared<std::function<void()>>(std::move(callback));
        slot.Timer->stop();
        slot.Timer->setInterval(intervalMs);
        return id;
    }
    throw AppError(QStringLiteral("Not enough timers available"));
}

void TDskTimerService::Release(TimerId id)
{
    if (Slot *slot = Find(id)) {
        slot->Timer->stop();
        slot->Callback.reset();
        slot->Reserved = false;
    }
}

void TDskTimerService::SetInterval(TimerId id, int intervalMs)
{
    if (Slot *slot = Find(id)) {
        slot->IntervalMs = intervalMs;
        slot->Timer->setInterval(intervalMs);
    }
}

int TDskTimerService::Interval(TimerId id) const
{
    const Slot *slot = Find(id);
    return slot ? slot->IntervalMs : 0;
}

void TDskTimerService::SetEnabled(TimerId id, bool enabled)
{
    Slot *slot = Find(id);
    if (!slot)
        return;
    if (enabled && !slot->Timer->isActive())
        slot->Timer->start();
    else if (!enabled)
        slot->Timer->stop();
}

bool TDskTimerService::IsEnabled(TimerId id) const
{
    const Slot *slot = Find(id);
    return slot && slot->Timer->isActive();
}

bool TDskTimerService::IsReserved(TimerId id) const
{
    return Find(id) != nullptr;
}

int TDskTimerService::FreeSlots() const
{
    int free = 0;
    for (const Slot &slot : FSlots)
        free += slot.Reserved ? 0 : 1;
    return free;
}

TDskTimerService::Slot *TDskTimerService::Find(TimerId id)
{
    if (id < 0 || id >= Capacity || !FSlots[id].Reserved)
        return nullptr;
    return &FSlots[id];
}

const TDskTimerService::Slot *TDskTimerService::Find(TimerId id) const
{
    return const_cast<TDskTimerService *>(this)->Find(id);
}

void TDskTimerService::Tick(TimerId id)
{
    Slot *slot = Find(id);
    if (!slot || !slot->Callback)
        return;
    // Hold the callback: it may release its own slot while it runs.
    const auto callback = slot->Callback;
    RunGuarded([&] { (*callback)(); });
}
