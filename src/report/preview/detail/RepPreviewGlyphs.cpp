#include "report/preview/detail/RepPreviewGlyphs.h"

#include "platform/SvgPicture.h"

#include <algorithm>

namespace {

// The glyphs draw with a few inks; disabled, each has its grey.
const SvgGreyTable &Greys()
{
    static const SvgGreyTable greys{
        {qRgb(40, 40, 40), qRgb(150, 150, 150)},    // lines
        {qRgb(255, 255, 255), qRgb(236, 236, 236)}, // paper
        {qRgb(30, 100, 200), qRgb(175, 175, 175)},  // accent
        {qRgb(23, 77, 154), qRgb(135, 135, 135)},   // accent edges
        {qRgb(83, 154, 255), qRgb(255, 255, 255)},  // accent, light
        {qRgb(123, 178, 255), qRgb(255, 255, 255)}, // accent, lighter
        {qRgb(70, 70, 70), qRgb(160, 160, 160)},    // dark
        {qRgb(112, 112, 112), qRgb(255, 255, 255)}, // dark, light
    };
    return greys;
}

} // namespace

QIcon PreviewGlyph(int index)
{
    if (index < 0 || index >= PreviewGlyphCount)
        return {};
    return SvgPictureIcon(
        QStringLiteral(":/zumoria/report/glyphs/%1.svg").arg(QLatin1String(PreviewGlyphNames[index])), Greys());
}

QIcon PreviewGlyph(const char *name)
{
    const auto known = std::find_if(std::begin(PreviewGlyphNames), std::end(PreviewGlyphNames),
                                    [name](const char *glyph) { return qstrcmp(glyph, name) == 0; });
    return known == std::end(PreviewGlyphNames) ? QIcon()
                                                : PreviewGlyph(int(known - std::begin(PreviewGlyphNames)));
}
