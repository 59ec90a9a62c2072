// The program's own pictures, drawn from their SVG files: every one looks
// like its reference at single and double density, and the hand cursor keeps
// its size and hot spot wherever it is shown.
#include "app/Artwork.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "support/PictureSheets.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

QString Reference(const char *name)
{
    return QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/app/data/pictures/") + QLatin1String(name);
}

QString Suffix(qreal ratio)
{
    return ratio == 1.0 ? QStringLiteral("@1x.png") : QStringLiteral("@2x.png");
}

bool Skin(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y) == QColor(Qt::white);
}

} // namespace

TEST(Artwork, ToolbarImagesLookLikeTheirReferences)
{
    const std::vector<QString> names{
        "smiling face",         "recycle bin",    "notepad",  "monitor with palette",
        "notes on staff",       "globe on stand", "envelope", "filing cabinet",
        "blue figure",          "red cross",      "printer",  "globe with cable",
        "folder with document", "blue star"};
    ASSERT_EQ(int(names.size()), ToolbarImageCount);
    for (const qreal ratio : {1.0, 2.0}) {
        std::vector<QImage> row;
        for (int k = 0; k < ToolbarImageCount; ++k) {
            const QPixmap pixmap = ToolbarImage(k).pixmap(QSize(16, 16), ratio);
            EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << k;
            row.push_back(pixmap.toImage());
        }
        ExpectSheetMatches(PictureSheet({row}), Reference("toolbar") + Suffix(ratio), names);
    }
    EXPECT_TRUE(ToolbarImage(-1).isNull());
    EXPECT_TRUE(ToolbarImage(ToolbarImageCount).isNull());
}

TEST(Artwork, TheCloseGlyphTheMagnifierAndTheHandLookLikeTheirReferences)
{
    for (const qreal ratio : {1.0, 2.0}) {
        ExpectSheetMatches(PictureSheet({{CloseGlyph().pixmap(QSize(12, 12), ratio).toImage()}}),
                           Reference("about-close") + Suffix(ratio), {"close glyph"});
        ExpectSheetMatches(PictureSheet({{MagnifierImage().pixmap(QSize(16, 16), ratio).toImage()}}),
                           Reference("magnifier") + Suffix(ratio), {"magnifier"});
        ExpectSheetMatches(PictureSheet({{HandCursorImage(ratio)}}), Reference("KEZ1") + Suffix(ratio),
                           {"hand cursor"});
    }
}

// The hot spot lies on the palm's skin at every density; the joke view
// shows the hand with it.
TEST(Artwork, TheHandCursorKeepsItsHotSpotInThePalm)
{
    for (const qreal ratio : {1.0, 2.0, 1.5}) {
        const QImage hand = HandCursorImage(ratio);
        EXPECT_EQ(hand.size(), QSize(32, 32) * ratio) << ratio;
        EXPECT_EQ(hand.devicePixelRatio(), ratio);
        EXPECT_TRUE(Skin(hand, qRound(HandCursorHotX * ratio), qRound(HandCursorHotY * ratio))) << ratio;
    }
    const QCursor cursor = HandCursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(HandCursorHotX, HandCursorHotY));
    EXPECT_EQ(cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              HandCursorImage().convertToFormat(QImage::Format_ARGB32));

    Tfrm_Main window;
    const QCursor shown = window.sbxMain->Viewport()->cursor();
    EXPECT_EQ(shown.shape(), Qt::BitmapCursor);
    EXPECT_EQ(shown.hotSpot(), QPoint(HandCursorHotX, HandCursorHotY));
    EXPECT_EQ(shown.pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
              HandCursorImage().convertToFormat(QImage::Format_ARGB32));
}
