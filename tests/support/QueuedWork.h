#pragma once
// Waiting for work the program has queued (zero-time timers, posted events)
// without guessing how long it takes.
#include <QTimer>
#include <QtTest/QTest>

// Returns once everything queued before the call has run: a zero-time timer
// started now fires after the ones started before it.
inline bool RunQueuedWork(int timeoutMs = 5000)
{
    bool reached = false;
    QTimer::singleShot(0, [&reached] { reached = true; });
    return QTest::qWaitFor([&reached] { return reached; }, timeoutMs);
}
