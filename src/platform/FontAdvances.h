#pragma once
// The advances of single characters of one device font (a font sized in
// pixels), each looked up once. The metafile canvas spaces recorded text by
// exactly these advances, so a width summed from them is the width a line
// takes on the page, and a line measured with them fits there as measured.

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStringView>
#include <array>

class FontAdvances
{
public:
    explicit FontAdvances(const QFont &deviceFont);

    // The advance of one UTF-16 unit, in pixels.
    double Advance(QChar c);
    // The sum of the advances of text's units, in pixels.
    double Width(QStringView text);
    // The font's line height, in pixels.
    double Height() const { return FMetrics.height(); }

    // The shared advances of deviceFont: fonts are kept while at most a few
    // dozen are in use, so a report run looks each character up once per
    // font. The reference stays valid until the next call.
    static FontAdvances &For(const QFont &deviceFont);

private:
    // Latin, Latin-1, Latin Extended and the general punctuation most text
    // uses are kept in a flat table; anything else in a hash.
    static constexpr int TableSize = 0x2100;

    QFontMetricsF FMetrics;
    std::array<float, TableSize> FTable;
    QHash<char16_t, double> FOther;
};
