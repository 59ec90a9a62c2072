// Pictures from SVG files: drawn sharp at every density, grey in their
// disabled look, and nothing at all (but no failure) from a bad file.
#include "platform/SvgPicture.h"
#include "support/TestFiles.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Left half #1e64c8 (a table colour), right half #c83214 (not in the table),
// a band of named red at the bottom.
const QByteArray HalfAndHalf =
    R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <rect x="0" y="0" width="8" height="12" fill="#1e64c8"/>
  <rect x="8" y="0" width="8" height="12" style="fill: #C83214"/>
  <rect x="0" y="12" width="16" height="4" fill="red"/>
</svg>
)";

const SvgGreyTable Greys{{qRgb(30, 100, 200), qRgb(175, 175, 175)}};

class SvgPictureTest : public ::testing::Test
{
protected:
    QString File(const QByteArray &bytes, const char *name = "p.svg")
    {
        return WriteBytes(dir.filePath(QLatin1String(name)), bytes);
    }
    QTemporaryDir dir;
};

QColor At(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

} // namespace

TEST_F(SvgPictureTest, EdgesStaySharpAtEveryDensity)
{
    const QString path = File(HalfAndHalf);
    for (const qreal ratio : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        const int side = int(16 * ratio);
        const QImage image = RenderSvgPicture(path, QSize(side, side), ratio);
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_EQ(image.devicePixelRatio(), ratio);
        // The last device pixel left of the middle and the first right of it
        // carry their own colours whole: no blur across the edge.
        EXPECT_EQ(At(image, side / 2 - 1, 0), QColor(0x1e, 0x64, 0xc8));
        EXPECT_EQ(At(image, side / 2, 0), QColor(0xc8, 0x32, 0x14));

        const QPixmap pixmap = SvgPictureIcon(path).pixmap(QSize(16, 16), ratio);
        EXPECT_EQ(pixmap.size(), QSize(side, side));
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_ARGB32),
                  image.convertToFormat(QImage::Format_ARGB32));
    }
}

TEST_F(SvgPictureTest, TheDisabledLookTurnsPaintColoursGrey)
{
    const QString path = File(HalfAndHalf);
    const QImage grey = SvgPictureIcon(path, Greys).pixmap(QSize(16, 16), 1.0, QIcon::Disabled).toImage();
    EXPECT_EQ(At(grey, 2, 2), QColor(175, 175, 175)); // the table's grey
    const QColor other = At(grey, 12, 2);             // a light grey of its own lightness
    EXPECT_EQ(other.red(), other.green());
    EXPECT_EQ(other.green(), other.blue());
    EXPECT_EQ(other.red(), 128 + qGray(0xc8, 0x32, 0x14) / 2);
    EXPECT_EQ(At(grey, 2, 14), QColor(Qt::red)); // a colour by name keeps its colour

    const QImage shown = SvgPictureIcon(path, Greys).pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(At(shown, 2, 2), QColor(0x1e, 0x64, 0xc8));

    // Only paint colours: a reference to an element named like a colour stays.
    EXPECT_EQ(GreySvgColours(R"(<use href="#c0ffee"/><rect stroke = '#1E64C8'/>)", Greys),
              QByteArray(R"(<use href="#c0ffee"/><rect stroke = '#afafaf'/>)"));
}

TEST_F(SvgPictureTest, AFileThatIsNoPictureDrawsNothing)
{
    for (const QString &path : {dir.filePath(QStringLiteral("nincs.svg")), File("<svg><rect", "cut.svg"),
                                File("\x89PNG\r\n", "png.svg")}) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_TRUE(RenderSvgPicture(path, QSize(16, 16)).isNull());
        const QIcon icon = SvgPictureIcon(path);
        EXPECT_TRUE(icon.isNull());
        QImage canvas(16, 16, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        icon.paint(&painter, canvas.rect());
        painter.end();
        EXPECT_EQ(canvas.pixel(8, 8), 0u);
    }
}
