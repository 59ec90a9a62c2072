#include "platform/WindowPlacement.h"

#include "platform/AppError.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace {

// The largest coordinate or size a window can have.
constexpr qint64 Limit = QWIDGETSIZE_MAX;

struct Span
{
    qint64 start;
    qint64 length;
};

qint64 Overlap(Span a, Span b)
{
    return std::max<qint64>(0, std::min(a.start + a.length, b.start + b.length) - std::max(a.start, b.start));
}

// Fits one axis of a frame onto one axis of an area: cut to the area's
// length, then moved only as far as needed for `reach` of it to lie on the
// area, with its first edge never before the area's when `wholeStart`.
Span FitSpan(Span frame, Span area, qint64 reach, bool wholeStart)
{
    frame.length = std::min(frame.length, std::max<qint64>(area.length, 1));
    reach = std::min(frame.length, reach);
    const qint64 lowest = wholeStart ? area.start : area.start - (frame.length - reach);
    const qint64 highest = std::max(lowest, area.start + area.length - reach);
    frame.start = std::clamp(frame.start, lowest, highest);
    return frame;
}

} // namespace

QRect FitFrameOnScreens(qint64 left, qint64 top, qint64 width, qint64 height, const QList<QRect> &areas)
{
    Span x{std::clamp(left, -Limit, Limit), std::clamp<qint64>(width, 1, Limit)};
    Span y{std::clamp(top, -Limit, Limit), std::clamp<qint64>(height, 1, Limit)};
    if (areas.isEmpty())
        return QRect(int(x.start), int(y.start), int(x.length), int(y.length));

    QRect area = areas.front();
    qint64 most = 0;
    for (const QRect &candidate : areas) {
        const qint64 shared = Overlap(x, {candidate.x(), candidate.width()})
                              * Overlap(y, {candidate.y(), candidate.height()});
        if (shared > most) {
            most = shared;
            area = candidate;
        }
    }

    // The title bar runs along the top edge: that edge stays on the area. A
    // frame that was on no screen at all comes onto the primary one whole.
    const qint64 reach = most > 0 ? ReachableSpan : Limit;
    x = FitSpan(x, {area.x(), area.width()}, reach, false);
    y = FitSpan(y, {area.y(), area.height()}, reach, true);
    return QRect(int(x.start), int(y.start), int(x.length), int(y.length));
}

QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas << screen->availableGeometry();
    return areas;
}

namespace {

// Watches a native window until its first exposure, then hands the action to
// the event loop and goes.
class TExposureWatch : public QObject
{
public:
    TExposureWatch(QWindow *native, QWidget *window, std::function<void()> action)
        : QObject(native), FWindow(window), FAction(std::move(action))
    {
        native->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            if (FWindow)
                QTimer::singleShot(0, FWindow, Guarded(std::move(FAction)));
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> FWindow;
    std::function<void()> FAction;
};

} // namespace

void WhenExposed(QWidget *window, std::function<void()> action)
{
    QWindow *native = window->windowHandle();
    if (!native || native->isExposed()) {
        QTimer::singleShot(0, window, Guarded(std::move(action)));
        return;
    }
    new TExposureWatch(native, window, std::move(action));
}
