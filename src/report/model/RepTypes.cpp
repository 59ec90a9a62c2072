#include "report/model/RepTypes.h"


QColor RepQColor(TRepColor c)
{
    if (c & 0x80000000u)
        return QColor(Qt::black);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QFont TRepFont::ToQFont() const
{
    QFont f(Name);
    f.setPointSizeF(Size > 0 ? Size : (Size < 0 ? -Size : 10));
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(StrikeOut);
    return f;
}
