#pragma once
// The four colour schemes: one constant array per colour role, each indexed
// by the scheme number 1…4 (index 0 is unused). Colour values are 0x00BBGGRR.

#include <QColor>
#include <cstdint>

using ColorValue = std::uint32_t;

// A colour value 0x00BBGGRR as a QColor.
inline QColor ToQColor(ColorValue value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

inline constexpr int SchemeCount = 4;

namespace Scheme {
inline constexpr ColorValue CoolBar[SchemeCount + 1] = {0, 0x008080FF, 0x00FF8000, 0x006767B4, 0x00008000};
inline constexpr ColorValue JokeView[SchemeCount + 1] = {0, 0x00CACAFF, 0x00FFCCCC, 0x000080FF, 0x00C4FFFF};
inline constexpr ColorValue TitleStrip[SchemeCount + 1] = {0, 0x00C4FFFF, 0x00FFFFFF, 0x00A4D1FF, 0x0080FF80};
inline constexpr ColorValue HeadingText[SchemeCount + 1] = {0, 0x0000FFFF, 0x00FFFFFF, 0x0000FFFF, 0x00006600};
inline constexpr ColorValue HeadingStrip[SchemeCount + 1] = {0, 0x000000FF, 0x00800000, 0x00004080, 0x00C4FFFF};
inline constexpr ColorValue BottomStrip[SchemeCount + 1] = {0, 0x00FF00FF, 0x00FF0000, 0x00408080, 0x00006600};
inline constexpr ColorValue PanelBody[SchemeCount + 1] = {0, 0x00FFFFD7, 0x00FFFFD7, 0x00CEFFFF, 0x00B7FFB7};
inline constexpr ColorValue TitleLabelText[SchemeCount + 1] = {0, 0x00FF0000, 0x00FF0000, 0x00000000, 0x00006600};
inline constexpr ColorValue BottomText[SchemeCount + 1] = {0, 0x0000FFFF, 0x00FFFF00, 0x000000FF, 0x00FFFFFF};
} // namespace Scheme

// The nine colours of one scheme.
struct SchemeColors
{
    ColorValue coolBar, jokeView, titleStrip, headingText, headingStrip, bottomStrip, panelBody,
        titleLabelText, bottomText;
};

// The colours of scheme number s. A number outside 1…4 (a hand-edited
// settings file) is taken as scheme 1.
SchemeColors ColorsOfScheme(int s);

// The five colours a joke panel takes from a scheme.
struct PanelLook
{
    ColorValue body = 0x00FFFFD7;
    ColorValue headStrip = 0x000000FF;
    ColorValue bottomStrip = 0x00FF00FF;
    ColorValue headText = 0x0000FFFF;
    ColorValue bottomText = 0x0000FFFF;
    bool operator==(const PanelLook &) const = default;
};
PanelLook PanelLookOfScheme(int s);
