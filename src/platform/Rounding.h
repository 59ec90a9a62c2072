#pragma once
// nearest(v): v rounded to the nearest integer, halves to the even
// neighbour (the default rounding mode), as a 32-bit value; values beyond
// the 32-bit range are held at its ends.

#include <cmath>
#include <cstdint>
#include <limits>

inline int32_t Nearest(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (!(r < std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(r);
}
