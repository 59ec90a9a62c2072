// The preview toolbar glyphs: one distinct picture per index, sharp at any
// device pixel ratio, greyed when disabled, each like its reference.
#include "report/preview/detail/RepPreviewGlyphs.h"
#include "support/PictureSheets.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>
#include <set>

namespace {

QImage Render(int index, QIcon::Mode mode = QIcon::Normal, qreal dpr = 1.0)
{
    return PreviewGlyph(index).pixmap(QSize(16, 16), dpr, mode).toImage();
}

int InkedPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 64)
                ++n;
    return n;
}

bool Colourful(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() > 64 && c.hsvSaturation() > 60)
                return true;
        }
    return false;
}

TEST(RepPreviewGlyphs, EveryIndexDrawsItsOwnPicture)
{
    std::set<QByteArray> seen;
    for (int i = 0; i < PreviewGlyphCount; ++i) {
        const QImage image = Render(i);
        ASSERT_EQ(image.size(), QSize(16, 16)) << i;
        EXPECT_GT(InkedPixels(image), 12) << "glyph " << i << " is (nearly) empty";
        EXPECT_TRUE(seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                                           int(image.sizeInBytes())))
                        .second)
            << "glyph " << i << " repeats another";
    }
    EXPECT_TRUE(PreviewGlyph(-1).isNull());
    EXPECT_TRUE(PreviewGlyph(PreviewGlyphCount).isNull());
}

TEST(RepPreviewGlyphs, SharpAtDoubleDensityAndGreyWhenDisabled)
{
    for (int i = 0; i < PreviewGlyphCount; ++i) {
        const QPixmap sharp = PreviewGlyph(i).pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(sharp.size(), QSize(32, 32)) << i;
        EXPECT_DOUBLE_EQ(sharp.devicePixelRatio(), 2.0);
        EXPECT_TRUE(Colourful(Render(i))) << i;
        EXPECT_FALSE(Colourful(Render(i, QIcon::Disabled))) << i;
    }
}

} // namespace

// Row 0 of a reference sheet is the glyphs as shown, row 1 as disabled.
TEST(RepPreviewGlyphs, EveryGlyphLooksLikeItsReferenceInBothLooks)
{
    std::vector<QString> names(std::begin(PreviewGlyphNames), std::end(PreviewGlyphNames));
    for (const qreal ratio : {1.0, 2.0}) {
        std::vector<std::vector<QImage>> rows(2);
        for (int i = 0; i < PreviewGlyphCount; ++i) {
            rows[0].push_back(Render(i, QIcon::Normal, ratio));
            rows[1].push_back(Render(i, QIcon::Disabled, ratio));
        }
        ExpectSheetMatches(
            PictureSheet(rows),
            QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/report/preview/data/glyphs@%1x.png").arg(ratio), names);
    }
}
