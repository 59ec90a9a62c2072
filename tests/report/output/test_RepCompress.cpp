// The page store's prefix code: known bit patterns of the initial tree and
// round trips of the kinds of data pages hold.
#include "report/output/detail/RepCompress.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

namespace {
QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
} // namespace

// Worked out by hand from the initial tree: byte 0 is leaf 256, the right
// child of node 127 reached by seven left turns (0000000 then 1); byte 1 is
// the left child of node 128, the right child of 63; byte 255 hangs below
// the extra internal node 255, nine left turns deep. Bits fill bytes from
// the least significant end.
TEST(RepCompressTest, FirstCodesFollowTheInitialTree)
{
    EXPECT_EQ(CompressBytes(Bytes({0x00})), Bytes({0x80}));
    EXPECT_EQ(CompressBytes(Bytes({0x01})), Bytes({0x40}));
    EXPECT_EQ(CompressBytes(Bytes({0xFF})), Bytes({0x00, 0x00})) << "9 bits round up to 2 bytes";
    EXPECT_EQ(CompressBytes(QByteArray()), QByteArray());
}

TEST(RepCompressTest, RoundTripsGiveTheBytesBack)
{
    QByteArray distinct;
    for (int i = 0; i < 256; ++i)
        distinct.append(char(i));
    QByteArray backwards(distinct);
    std::reverse(backwards.begin(), backwards.end());
    QByteArray random(20000, Qt::Uninitialized);
    QRandomGenerator gen(42);
    for (char &c : random)
        c = char(gen.bounded(256));
    QByteArray text;
    for (int i = 0; i < 500; ++i)
        text += "Egy vicc sora, " + QByteArray::number(i) + "\n";
    const struct
    {
        const char *what;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"one byte", Bytes({0x7F})},
        {"256 distinct bytes", distinct},
        {"256 distinct bytes backwards", backwards},
        {"long run of one byte", QByteArray(100000, 'A')},
        {"long run of 0xFF", QByteArray(5000, char(0xFF))},
        {"random", random},
        {"text", text},
    };
    for (const auto &c : cases) {
        const QByteArray coded = CompressBytes(c.data);
        const auto back = DecompressBytes(coded.constData(), coded.size(), quint32(c.data.size()));
        ASSERT_TRUE(back) << c.what;
        EXPECT_EQ(*back, c.data) << c.what;
        if (!c.data.isEmpty()) {
            // No padding byte beyond the last code bit: without the last
            // byte the data cannot be decoded.
            EXPECT_FALSE(DecompressBytes(coded.constData(), coded.size() - 1, quint32(c.data.size()))) << c.what;
        }
    }
    EXPECT_LT(CompressBytes(QByteArray(100000, 'A')).size(), 20000) << "runs shrink";
}

TEST(RepCompressTest, DamagedInputEndsCleanly)
{
    // A length beyond what the bits could hold is refused without decoding.
    EXPECT_FALSE(DecompressBytes("\x01\x02", 2, 17));
    EXPECT_FALSE(DecompressBytes("", 0, 1));
    // Any bit pattern decodes to something without running off.
    QByteArray noise(64, char(0xFF));
    EXPECT_TRUE(DecompressBytes(noise.constData(), noise.size(), 10));
}
