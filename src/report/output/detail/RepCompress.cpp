#include "report/output/detail/RepCompress.h"

namespace {
constexpr uint8_t BitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
} // namespace

TRepCompress::TRepCompress(QByteArray &output) : FEncoding(true), FBitPos(0), FOutput(&output)
{
    InitialTree();
}

TRepCompress::TRepCompress(const char *input, qint64 length)
    : FEncoding(false), FBitPos(7), FInput(input), FInputLength(length)
{
    InitialTree();
}

void TRepCompress::InitialTree()
{
    for (int i = 1; i <= 512; ++i)
        FUp[size_t(i)] = uint8_t((i - 1) / 2);
    for (int i = 0; i <= 255; ++i) {
        FLeft[size_t(i)] = uint16_t(2 * i + 1);
        FRight[size_t(i)] = uint16_t(2 * i + 2);
    }
}

TRepCompress::~TRepCompress()
{
    if (FEncoding)
        Flush();
}

void TRepCompress::Flush()
{
    if (FEncoding && FBitPos != 0) {
        FOutput->append(char(FByte & 0xFF));
        FBitPos = 0;
        FByte = 0;
    }
}

void TRepCompress::PutBit(bool bit)
{
    if (bit)
        FByte |= BitMask[FBitPos];
    if (FBitPos == 7) {
        FOutput->append(char(FByte & 0xFF));
        FByte = 0;
        FBitPos = 0;
    } else {
        ++FBitPos;
    }
}

void TRepCompress::EncodeByte(uint8_t b)
{
    // At most 9 steps from a leaf to the root in the initial tree, and the
    // splaying never makes a path longer than 255 steps.
    bool bits[512];
    int n = 0;
    unsigned a = 256u + b;
    do {
        const unsigned c = FUp[a];
        bits[n++] = FRight[c] == a;
        a = c;
    } while (a != 0 && n < 512);
    while (n > 0)
        PutBit(bits[--n]);
    Splay(b);
}

std::optional<uint8_t> TRepCompress::DecodeByte()
{
    unsigned a = 0;
    do {
        if (FBitPos == 7) {
            if (FInputPos >= FInputLength)
                return std::nullopt;
            FByte = uint8_t(FInput[FInputPos++]);
            FBitPos = 0;
        } else {
            ++FBitPos;
        }
        a = (FByte & BitMask[FBitPos]) ? FRight[a] : FLeft[a];
    } while (a < 256);
    // Only a damaged stream reaches the spare slot 512 of the initial tree;
    // it decodes as a byte like any other and keeps the coder in step.
    const uint8_t b = uint8_t(a - 256);
    Splay(b);
    return b;
}

void TRepCompress::Splay(uint8_t b)
{
    unsigned a = 256u + b;
    do {
        const unsigned c = FUp[a];
        if (c != 0) {
            const unsigned d = FUp[c];
            unsigned e = FLeft[d];
            if (e == c) {
                e = FRight[d];
                FRight[d] = uint16_t(a);
            } else {
                FLeft[d] = uint16_t(a);
            }
            if (a == FLeft[c])
                FLeft[c] = uint16_t(e);
            else
                FRight[c] = uint16_t(e);
            FUp[a] = uint8_t(d);
            FUp[e] = uint8_t(c);
            a = d;
        } else {
            a = 0;
        }
    } while (a != 0);
}

QByteArray CompressBytes(const QByteArray &plain)
{
    QByteArray out;
    out.reserve(plain.size() / 2 + 16);
    {
        TRepCompress coder(out);
        for (char c : plain)
            coder.EncodeByte(uint8_t(c));
    }
    return out;
}

std::optional<QByteArray> DecompressBytes(const char *coded, qint64 codedLength, quint32 length)
{
    // Every byte takes at least one bit, so a length beyond eight times the
    // coded bytes cannot be real (and is not allocated).
    if (quint64(length) > quint64(codedLength) * 8)
        return std::nullopt;
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    TRepCompress coder(coded, codedLength);
    for (quint32 i = 0; i < length; ++i) {
        const auto b = coder.DecodeByte();
        if (!b)
            return std::nullopt;
        out[qsizetype(i)] = char(*b);
    }
    return out;
}
