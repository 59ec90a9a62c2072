#pragma once
// Where a top-level window may stand, and the moment it is on screen.
//
// A window is fitted by its outer frame (title bar and borders included):
// it goes onto the screen it overlaps most, is made no larger than that
// screen's available area (panels and docks left out) and is moved only as
// far as needed for its title bar to be within reach. Bounds that fit are
// kept exactly, negative ones included.

#include <QList>
#include <QRect>
#include <functional>

class QWidget;

// How much of a fitted window's width stays on its screen, and how much of
// its height below the top edge: enough to grab the title bar and drag.
inline constexpr int ReachableSpan = 100;

// Fits the outer frame left, top, width × height onto the screens whose
// available areas are given. The screen the frame overlaps most takes it: a
// frame larger than its area is cut to the area's size, its top edge ends
// inside the area and at least ReachableSpan pixels of its width and height
// (all of them when smaller) stay on the area. A frame that overlaps no
// screen is put wholly onto the first area, the primary screen's. The
// values are taken as 64-bit numbers, so any bounds a settings file holds
// can be fitted. Without any screen the frame is only kept within the sizes
// a window can have.
QRect FitFrameOnScreens(qint64 left, qint64 top, qint64 width, qint64 height, const QList<QRect> &areas);

// The available areas of the screens, the primary screen first.
QList<QRect> AvailableScreenAreas();

// Runs action (guarded, after the current event) once the native window of
// window is exposed, that is shown on screen by the window system: at once
// when it already is. Nothing runs when the window goes away before.
void WhenExposed(QWidget *window, std::function<void()> action);
