#pragma once
// The application-wide timer service shared by the desktop components.
//
// A component reserves a slot with an interval and a callback; the slot starts
// disabled. While enabled, the callback runs on the GUI thread every interval
// milliseconds. Slots are few and fixed in number: reserving one when all are
// taken raises "Not enough timers available". A callback may disable or
// release its own slot (or any other) while it runs.

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class QTimer;

class TDskTimerService : public QObject
{
public:
    using TimerId = int;
    static constexpr TimerId NoTimer = -1;
    // Number of slots the service offers to the whole application.
    static constexpr int Capacity = 32;

    // The one service of the application (created on first use, on the GUI thread).
    static TDskTimerService &Instance();

    // Reserves a disabled slot; raises AppError "Not enough timers available"
    // when none is free.
    TimerId Reserve(int intervalMs, std::function<void()> callback);
    // Stops the slot and gives it back; unknown or released ids are ignored.
    void Release(TimerId id);

    void SetInterval(TimerId id, int intervalMs);
    int Interval(TimerId id) const;
    void SetEnabled(TimerId id, bool enabled);
    void Enable(TimerId id) { SetEnabled(id, true); }
    void Disable(TimerId id) { SetEnabled(id, false); }
    bool IsEnabled(TimerId id) const;
    bool IsReserved(TimerId id) const;
    int FreeSlots() const;

    ~TDskTimerService() override;

private:
    TDskTimerService();
    struct Slot
    {
        bool Reserved = false;
        int IntervalMs = 1000;
        std::shared_ptr<std::function<void()>> Callback;
        QTimer *Timer = nullptr;
    };
    Slot *Find(TimerId id);
    const Slot *Find(TimerId id) const;
    void Tick(TimerId id);

    std::array<Slot, Capacity> FSlots;
};
