#include "app/ViccPanel.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr ColorValue Body = 0x00FFFFD7;
constexpr int W = 470;
constexpr int H = 300;

// A panel W × H with the given lines and picture folder; TakeHeading done.
struct PanelFixture
{
    explicit PanelFixture(const QStringList &lines, const QString &dir = QString())
    {
        panel.setGeometry(0, 0, W, H);
        panel.SetDir(dir);
        panel.Lines = lines;
        panel.TakeHeading();
    }
    QImage Grab() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    TViccPanel panel;
};

// The first and last row in [top, bottom) holding a pixel other than the
// body colour at x0 ≤ x < x1 (text ink or picture).
std::pair<int, int> InkRows(const QImage &image, int top, int bottom, int x0 = 6, int x1 = 100)
{
    int first = -1, last = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = x0; x < x1; ++x)
            if (PixelValue(image, x, y) != Body) {
                if (first < 0)
                    first = y;
                last = y;
                break;
            }
    return {first, last};
}

TEST(ViccPanelTest, BevelsStripsAndBody)
{
    PanelFixture f({QStringLiteral("egy")});
    const QImage image = f.Grab();
    const QColor hl = f.panel.palette().color(QPalette::Light);
    const QColor sh = f.panel.palette().color(QPalette::Dark);
    EXPECT_EQ(image.pixel(0, 0), hl.rgb());  // outer bevel raised
    EXPECT_EQ(image.pixel(W - 1, H - 1), sh.rgb());
    EXPECT_EQ(image.pixel(1, 1), sh.rgb());  // inner bevel lowered
    EXPECT_EQ(image.pixel(W - 2, H - 2), hl.rgb());
    EXPECT_EQ(PixelValue(image, 2, 2), 0x000000FFu);       // heading strip (2, 2, W−2, 25)
    EXPECT_EQ(PixelValue(image, W - 3, 24), 0x000000FFu);
    EXPECT_EQ(PixelValue(image, 200, 25), Body);
    EXPECT_EQ(PixelValue(image, 2, H - 23), 0x00FF00FFu);  // bottom strip (2, H−23, W−2, H−2)
    EXPECT_EQ(PixelValue(image, W - 3, H - 3), 0x00FF00FFu);
    EXPECT_EQ(PixelValue(image, 200, H - 24), Body);
}

TEST(ViccPanelTest, TextLinesStartAtThirtyInFifteenPixelSteps)
{
    PanelFixture f({QStringLiteral("##Cím"), QStringLiteral("MMMM"), QStringLiteral("MMMM")});
    EXPECT_EQ(f.panel.Szerzo(), QStringLiteral("Cím"));
    const QImage image = f.Grab();
    const auto [first, last] = InkRows(image, 26, 80);
    EXPECT_GE(first, 30);
    EXPECT_LE(first, 34);
    EXPECT_GE(last, 45 + 5);
    EXPECT_LT(last, 60);
    // the heading is drawn in the heading strip in the heading text colour
    bool yellow = false;
    for (int x = 6; x < 60; ++x)
        for (int y = 3; y < 24; ++y)
            yellow = yellow || PixelValue(image, x, y) == 0x0000FFFFu;
    EXPECT_TRUE(yellow);
}

TEST(ViccPanelTest, PicturePushesOnlyTheLinesAfterIt)
{
    QTemporaryDir tmp;
    WriteJpeg(tmp.filePath("p.jpg"), 100, 120, QColor(0, 160, 0));
    const QString dir = tmp.path() + "//";
    struct Case
    {
        const char *name;
        QStringList lines;
        int pictureTop;   // -1: no picture drawn
        int lastTextTop;  // top of the last text line
    } cases[] = {
        {"pushed", {"MM", ">>p.jpg", "MM"}, 45, 180},
        {"missing picture, no push", {"MM", ">>nincs.jpg", "MM"}, -1, 60},
        {"missing picture cancels the push", {">>p.jpg", ">>nincs.jpg", "MM"}, 30, 60},
        {"not a sum", {">>p.jpg", ">>p.jpg", "MM"}, 30, 180},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PanelFixture f(c.lines, dir);
        const QImage image = f.Grab();
        const int x = W / 2;  // the picture stands centred: columns 185 … 284
        if (c.pictureTop >= 0) {
            EXPECT_EQ(PixelValue(image, x, c.pictureTop - 1), Body);
            EXPECT_TRUE(Near(image.pixel(x, c.pictureTop), QColor(0, 160, 0)));
            EXPECT_TRUE(Near(image.pixel((W - 100) / 2, c.pictureTop + 60), QColor(0, 160, 0)));
            EXPECT_EQ(PixelValue(image, (W - 100) / 2 - 1, c.pictureTop + 60), Body);
        } else {
            EXPECT_EQ(InkRows(image, 26, H - 24, x - 50, x + 50).first, -1);
        }
        const auto [first, last] = InkRows(image, c.lastTextTop - 3, c.lastTextTop + 15);
        EXPECT_GE(first, c.lastTextTop);
        EXPECT_LE(first, c.lastTextTop + 4);
    }
}

TEST(ViccPanelTest, WidePictureIsCutEquallyOnBothSides)
{
    QTemporaryDir tmp;
    QImage picture(600, 40, QImage::Format_RGB32);
    picture.fill(QColor(0, 170, 0));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 65; ++x) {
            picture.setPixel(x, y, qRgb(220, 0, 0));
            picture.setPixel(599 - x, y, qRgb(0, 0, 220));
        }
    WriteBytes(tmp.filePath("w.jpg"), EncodeJpeg(picture, 95));
    PanelFixture f({QStringLiteral(">>w.jpg")}, tmp.path() + "//");
    const QImage image = f.Grab();
    // Drawn from x = −65: the red and blue margins fall outside the panel.
    EXPECT_TRUE(Near(image.pixel(4, 50), QColor(0, 170, 0)));
    EXPECT_TRUE(Near(image.pixel(W - 5, 50), QColor(0, 170, 0)));
}

TEST(ViccPanelTest, CorruptPictureLeavesAnEmptyAreaOfItsHeight)
{
    QTemporaryDir tmp;
    QImage busy(80, 90, QImage::Format_RGB32);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 80; ++x)
            busy.setPixel(x, y, qRgb((x * 37) & 255, (y * 91) & 255, 0));
    const QByteArray jpeg = EncodeJpeg(busy, 95);
    WriteBytes(tmp.filePath("cut.jpg"), jpeg.left(jpeg.size() * 3 / 4));
    WriteBytes(tmp.filePath("junk.jpg"), QByteArray(5000, 'x'));
    {
        PanelFixture f({QStringLiteral(">>cut.jpg"), QStringLiteral("MM")}, tmp.path() + "//");
        const QImage image = f.Grab();
        EXPECT_EQ(InkRows(image, 26, 120, 0 + 3, W - 3).first, -1) << "no half-grey picture";
        const auto [first, last] = InkRows(image, 120, 150);
        EXPECT_GE(first, 45 + 90);  // pushed by the header's height
        EXPECT_LE(first, 45 + 90 + 4);
    }
    {
        // An unreadable header counts as a missing picture: no push.
        PanelFixture f({QStringLiteral(">>junk.jpg"), QStringLiteral("MM")}, tmp.path() + "//");
        const auto [first, last] = InkRows(f.Grab(), 26, 80);
        EXPECT_GE(first, 45);
        EXPECT_LE(first, 49);
    }
}

TEST(ViccPanelTest, BottomTextEndsTenPixelsFromTheRightEdge)
{
    PanelFixture f({QStringLiteral("MM")});
    f.panel.SetAlja(QStringLiteral("#12"));
    const QImage image = f.Grab();
    int rightmost = -1;
    for (int y = H - 22; y < H - 2; ++y)
        for (int x = 0; x < W; ++x)
            if (PixelValue(image, x, y) == 0x0000FFFFu)
                rightmost = std::max(rightmost, x);
    EXPECT_LE(rightmost, W - 11);
    EXPECT_GE(rightmost, W - 16);
}

TEST(ViccPanelTest, LongLinesAndOddBytesStayInside)
{
    QString huge(10 * 1024 * 1024, QChar(u'M'));
    PanelFixture f({QStringLiteral("a\tb\x01"), huge, QString(u'\uFFFD')});
    const QImage image = f.Grab();
    // The long line is drawn at its place and cut at the panel's edge.
    const auto [first, last] = InkRows(image, 45, 60, W - 40, W - 10);
    EXPECT_GE(first, 45);
    EXPECT_LE(first, 49);
}

TEST(ViccPanelTest, SettersRepaintOnlyOnChange)
{
    TViccPanel panel;
    panel.setGeometry(0, 0, 200, 100);
    panel.show();
    QCoreApplication::processEvents();
    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::UpdateRequest || e->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    panel.installEventFilter(&counter);
    panel.window()->installEventFilter(&counter);
    const auto paintsAfter = [&](auto change) {
        QCoreApplication::processEvents();
        counter.paints = 0;
        change();
        QCoreApplication::processEvents();
        return counter.paints;
    };
    EXPECT_EQ(paintsAfter([&] { panel.SetColorHead(panel.ColorHead()); }), 0);
    EXPECT_EQ(paintsAfter([&] { panel.SetColorBottom(panel.ColorBottom()); }), 0);
    EXPECT_EQ(paintsAfter([&] { panel.SetAlja(panel.Alja()); }), 0);
    EXPECT_EQ(paintsAfter([&] { panel.SetDir(panel.Dir()); }), 0);
    EXPECT_GT(paintsAfter([&] { panel.SetColorHead(0x00123456); }), 0);
    EXPECT_GT(paintsAfter([&] { panel.SetAlja(QStringLiteral("#2")); }), 0);
}

TEST(ViccPanelTest, FileNameLoadsAWholeFile)
{
    QTemporaryDir tmp;
    const QString path = WriteJokeFile(tmp.filePath("v.vicc"),
                                       {QStringLiteral("Első sor"), QStringLiteral("##második"),
                                        QStringLiteral("<<")});
    TViccPanel panel;
    panel.SetFileName(path);
    EXPECT_EQ(panel.Szerzo(), QStringLiteral("Első sor"));
    EXPECT_EQ(panel.Lines, (QStringList{QStringLiteral("##második"), QStringLiteral("<<")}));
    panel.SetFileName(WriteBytes(tmp.filePath("empty.vicc"), QByteArray()));
    EXPECT_EQ(panel.Szerzo(), QString());
    EXPECT_TRUE(panel.Lines.isEmpty());
}

} // namespace
