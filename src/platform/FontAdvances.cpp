#include "platform/FontAdvances.h"

#include <cmath>
#include <memory>

namespace {

constexpr int MaxSharedFonts = 64;

} // namespace

FontAdvances::FontAdvances(const QFont &deviceFont) : FMetrics(deviceFont)
{
    FTable.fill(std::nanf(""));
}

double FontAdvances::Advance(QChar c)
{
    const char16_t u = c.unicode();
    if (u < TableSize) {
        float &slot = FTable[u];
        if (std::isnan(slot))
            slot = float(FMetrics.horizontalAdvance(c));
        return slot;
    }
    const auto it = FOther.constFind(u);
    if (it != FOther.constEnd())
        return *it;
    const double advance = FMetrics.horizontalAdvance(c);
    FOther.insert(u, advance);
    return advance;
}

double FontAdvances::Width(QStringView text)
{
    double width = 0;
    for (QChar c : text)
        width += Advance(c);
    return width;
}

FontAdvances &FontAdvances::For(const QFont &deviceFont)
{
    thread_local QHash<QFont, std::shared_ptr<FontAdvances>> shared;
    const auto it = shared.constFind(deviceFont);
    if (it != shared.constEnd())
        return **it;
    if (shared.size() >= MaxSharedFonts)
        shared.clear();
    return **shared.insert(deviceFont, std::make_shared<FontAdvances>(deviceFont));
}
