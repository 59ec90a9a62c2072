// The text of a metafile page read from its records: the runs in record
// order, each character's box where the player draws it, also on a page
// stretched into another.
#include "platform/Metafile.h"
#include "platform/MetafileCanvas.h"
#include "platform/MetafilePlayer.h"
#include "platform/MetafileText.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

QFont Arial(int points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(points);
    return font;
}

// Left, centred and right-aligned lines, as the report's labels print.
Metafile AlignedLines()
{
    MetafileCanvas c(400, 300, 96);
    c.SetFont(Arial(12), Qt::black);
    c.TextOut(20, 10, QStringLiteral("Left of all"), CanvasTextAlign::Left, false);
    c.TextOut(200, 60, QStringLiteral("Centred"), CanvasTextAlign::Center, false);
    c.SetFont(Arial(20), Qt::black);
    c.TextOut(380, 110, QStringLiteral("Right"), CanvasTextAlign::Right, false);
    return c.Finish();
}

// The box of the dark pixels of image inside area.
QRect Ink(const QImage &image, const QRect &area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

QImage Played(const Metafile &page)
{
    QImage image(page.Width(), page.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PlayMetafile(p, page, QRectF(0, 0, page.Width(), page.Height()));
    return image;
}

TEST(MetafileText, RunsInRecordOrderPlacedByTheirReferencePoints)
{
    const Metafile page = AlignedLines();
    const std::vector<MetafileTextRun> runs = MetafileTextRuns(page);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, QStringLiteral("Left of all"));
    EXPECT_EQ(runs[1].text, QStringLiteral("Centred"));
    EXPECT_EQ(runs[2].text, QStringLiteral("Right"));
    EXPECT_EQ(MetafileText(page), QStringLiteral("Left of all\nCentred\nRight\n"));

    const QRectF left = runs[0].Box(0, runs[0].text.size());
    const QRectF centre = runs[1].Box(0, runs[1].text.size());
    const QRectF right = runs[2].Box(0, runs[2].text.size());
    EXPECT_DOUBLE_EQ(left.left(), 20);
    EXPECT_DOUBLE_EQ(left.top(), 10);
    EXPECT_NEAR(centre.center().x(), 200, 1);
    EXPECT_NEAR(right.right(), 380, 0.001);
    EXPECT_GT(right.height(), left.height() * 1.4) << "the larger font's cell";

    // Each box holds the ink the player draws for its text, and a
    // character's box the ink of that character only.
    const QImage image = Played(page);
    for (const MetafileTextRun &run : runs) {
        const QRectF box = run.Box(0, run.text.size());
        const QRect ink = Ink(image, box.toAlignedRect().adjusted(-6, -6, 6, 6));
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(QRectF(ink))) << run.text.toStdString();
    }
    const QRectF ofL = runs[0].Box(0, 1);
    const QRectF ofA = runs[0].Box(9, 2); // "ll"
    EXPECT_FALSE(Ink(image, ofL.toAlignedRect()).isEmpty());
    EXPECT_NEAR(ofA.right(), left.right(), 0.001);
    EXPECT_LT(ofL.right(), runs[0].Box(1, 1).left() + 0.001);
    EXPECT_TRUE(runs[0].Box(3, 0).isEmpty());
    EXPECT_EQ(runs[0].Box(-5, 100), left) << "a range beyond the run is cut to it";
}

TEST(MetafileText, APageStretchedIntoAnotherKeepsItsTextWhereItIsDrawn)
{
    MetafileCanvas inner(200, 100, 96);
    inner.SetFont(Arial(10), Qt::black);
    inner.TextOut(10, 10, QStringLiteral("inner"), CanvasTextAlign::Left, false);
    MetafileCanvas outer(600, 400, 96);
    outer.SetFont(Arial(10), Qt::black);
    outer.TextOut(5, 5, QStringLiteral("outer"), CanvasTextAlign::Left, false);
    outer.StretchDraw(Box(100, 200, 500, 400), inner.Finish()); // twice the size
    outer.TextOut(5, 380, QStringLiteral("after"), CanvasTextAlign::Left, false);
    const Metafile page = outer.Finish();

    const std::vector<MetafileTextRun> runs = MetafileTextRuns(page);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(MetafileText(page), QStringLiteral("outer\ninner\nafter\n"));
    const QRectF stretched = runs[1].Box(0, 5);
    EXPECT_NEAR(stretched.left(), 120, 0.01);
    EXPECT_NEAR(stretched.top(), 220, 0.01);
    EXPECT_NEAR(stretched.width(), 2 * runs[0].Box(0, 5).width(), 2.5);
    EXPECT_DOUBLE_EQ(runs[2].Box(0, 5).top(), 380) << "the page's own transform is back";
    const QRect ink = Ink(Played(page), QRect(100, 200, 400, 200));
    EXPECT_TRUE(stretched.adjusted(-2, -2, 2, 2).contains(QRectF(ink)));
}

} // namespace
