#include "platform/JpegPicture.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A baseline JPEG header whose frame claims width × height pixels, followed
// by the rest of a real small picture's stream.
QByteArray WithClaimedSize(QByteArray jpeg, int width, int height)
{
    const qsizetype sof = jpeg.indexOf("\xFF\xC0");
    if (sof < 0)
        return {};
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

TEST(JpegPictureTest, RoundTripKeepsSizeAndColour)
{
    const QByteArray jpeg = PlainJpeg(37, 21, QColor(200, 40, 90));
    ASSERT_EQ(ReadJpegSize(jpeg), QSize(37, 21));
    const QImage image = DecodeJpeg(jpeg);
    ASSERT_EQ(image.size(), QSize(37, 21));
    EXPECT_TRUE(Near(image.pixel(18, 10), QColor(200, 40, 90)));
}

TEST(JpegPictureTest, GrayscalePicturesDecode)
{
    QImage gray(20, 10, QImage::Format_Grayscale8);
    gray.fill(QColor(128, 128, 128));
    const QImage image = DecodeJpeg(EncodeJpeg(gray));
    ASSERT_EQ(image.size(), QSize(20, 10));
    EXPECT_TRUE(Near(image.pixel(5, 5), QColor(128, 128, 128)));
}

TEST(JpegPictureTest, HostileStreamsFailCleanly)
{
    // A busy picture, so that the entropy-coded data dominates the stream.
    QImage busy(160, 120, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y)
        for (int x = 0; x < busy.width(); ++x)
            busy.setPixel(x, y, qRgb((x * 37) & 255, (y * 91) & 255, (x * y) & 255));
    const QByteArray good = EncodeJpeg(busy, 95);
    struct Case
    {
        const char *name;
        QByteArray bytes;
        bool headerReadable;
    } cases[] = {
        {"empty", QByteArray(), false},
        {"not a picture", QByteArray("<<\r\nvicc\r\n"), false},
        {"only the start marker", QByteArray("\xFF\xD8"), false},
        {"truncated data", good.left(good.size() * 2 / 3), true},
        {"no end marker", good.left(good.size() - 2), true},
        {"claims 60000 x 60000", WithClaimedSize(good, 60000, 60000), false},
        {"claims 8000 x 6000 (48 MP)", WithClaimedSize(good, 8000, 6000), false},
        {"zero width", WithClaimedSize(good, 0, 48), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadJpegSize(c.bytes).has_value(), c.headerReadable);
        QString error;
        EXPECT_TRUE(DecodeJpeg(c.bytes, &error).isNull());
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(JpegPictureTest, LimitIsFortyMegapixels)
{
    const QByteArray good = PlainJpeg(16, 16);
    EXPECT_TRUE(ReadJpegSize(WithClaimedSize(good, 8000, 5000)).has_value());
    EXPECT_FALSE(ReadJpegSize(WithClaimedSize(good, 8000, 5001)).has_value());
}

TEST(PictureCacheTest, SizesAndImagesFollowTheFile)
{
    QTemporaryDir dir;
    PictureCache &cache = PictureCache::Instance();
    const QString path = WriteJpeg(dir.filePath("a.jpg"), 30, 20);
    EXPECT_EQ(cache.Size(path), QSize(30, 20));
    EXPECT_EQ(cache.Image(path).size(), QSize(30, 20));
    // A new picture under the same name is seen (size and time stamp change).
    WriteJpeg(path, 31, 22);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(cache.Size(path), QSize(31, 22));
    EXPECT_EQ(cache.Image(path).size(), QSize(31, 22));

    EXPECT_FALSE(cache.Size(dir.filePath("missing.jpg")).has_value());
    const QString fifo = dir.filePath("fifo.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(cache.Size(fifo).has_value());
    EXPECT_TRUE(cache.Image(fifo).isNull());
}

} // namespace
