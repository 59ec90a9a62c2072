#pragma once
// The frame lines of a report, band or printable box.

#include "report/model/RepTypes.h"

#include <QRect>

class Canvas;

enum class TRepPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TRepFrame
{
public:
    TRepColor Color = clRepBlack;
    bool DrawTop = false;
    bool DrawBottom = false;
    bool DrawLeft = false;
    bool DrawRight = false;
    // Used by design-time drawing only: printed sides are solid.
    TRepPenStyle Style = TRepPenStyle::psSolid;
    // Line thickness in points (1/72 inch).
    int Width = 1;

    bool AnySide() const { return DrawTop || DrawBottom || DrawLeft || DrawRight; }

    // The thickness in 0.1 mm: nearest(Width × 254 / 72).
    int NativeWidth() const;

    // Paints the drawn sides inside the device rectangle (left, top, right,
    // bottom) as filled strips; scales are device units per 0.1 mm. Leaves
    // the canvas brush clear.
    void Paint(Canvas &canvas, int left, int top, int right, int bottom, double xScale,
               double yScale) const;
};
