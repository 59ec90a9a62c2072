#pragma once
// Small value types shared by the report definition: colours in the
// 0x00BBGGRR form, fonts as a report stores them, alignment.

#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

// A colour value 0x00BBGGRR (red in the low byte). Values with the high bit
// set name a system colour (only the window-text colour is used).
using TRepColor = std::uint32_t;
inline constexpr TRepColor clRepBlack = 0x00000000;
inline constexpr TRepColor clRepWhite = 0x00FFFFFF;
inline constexpr TRepColor clRepWindowText = 0x80000008;

// The Qt colour of a colour value; system colours resolve to black text.
QColor RepQColor(TRepColor c);

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// A font as the report keeps it: face name, size in points, style, colour
// and the stored character set (kept for fidelity, not used for drawing).
struct TRepFont
{
    QString Name = QStringLiteral("Arial");
    int Size = 10; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TRepColor Color = clRepWindowText;
    int Charset = 1; // default character set

    bool operator==(const TRepFont &) const = default;

    // The Qt font at this point size (the device decides the pixel size).
    QFont ToQFont() const;
};
