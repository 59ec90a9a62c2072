#include "report/model/RepFrame.h"

#include "platform/Canvas.h"
#include "platform/Rounding.h"

int TRepFrame::NativeWidth() const
{
    return Nearest(Width * 254.0 / 72.0);
}

void TRepFrame::Paint(Canvas &canvas, int left, int top, int right, int bottom,
                      double xScale, double yScale) const
{
    if (!AnySide())
        return;
    auto side = [this](double scale) {
        int d = Nearest(scale * Width * 254.0 / 72.0);
        if ((d <= 0 && Width > 0) || Width == -1)
            d = 1;
        return d;
    };
    const int dx = side(xScale);
    const int dy = side(yScale);
    canvas.SetBrush(CanvasBrush{RepQColor(Color), CanvasBrushStyle::Solid});
    if (DrawTop)
        canvas.FillRect(Box(left, top, right, top + dy));
    if (DrawBottom)
        canvas.FillRect(Box(left, bottom - dy, right, bottom));
    if (DrawLeft)
        canvas.FillRect(Box(left, top, left + dx, bottom));
    if (DrawRight)
        canvas.FillRect(Box(right - dx, top, right, bottom));
    CanvasBrush clear = canvas.Brush();
    clear.style = CanvasBrushStyle::Clear;
    canvas.SetBrush(clear);
}
