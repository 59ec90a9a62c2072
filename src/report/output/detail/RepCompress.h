#pragma once
// The page store's compression: an adaptive prefix code kept in a
// semi-splayed code tree. It needs no table in the file; each coding pass
// (one page) starts from the same initial tree, so pages decode
// independently. The bit stream is fixed for good: every saved compressed
// report file must stay readable, so nothing here may change a single bit.
//
// Tree: internal nodes 0..255 with 0 the root, leaves 256..511 (leaf 256 + c
// stands for byte c); up[i] is the parent of node i, left[i] and right[i] the
// children of internal node i. Bits are packed least significant first.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

class TRepCompress
{
public:
    // An encoder appending its bytes to output.
    explicit TRepCompress(QByteArray &output);
    // A decoder reading the bit stream in input (which must outlive it).
    TRepCompress(const char *input, qint64 length);
    // An encoder writes its partly filled last byte.
    ~TRepCompress();
    TRepCompress(const TRepCompress &) = delete;
    TRepCompress &operator=(const TRepCompress &) = delete;

    void EncodeByte(uint8_t b);
    // The next byte, or none when the input ends inside its code.
    std::optional<uint8_t> DecodeByte();
    // Writes the partly filled byte now (an encoder's destruction does it).
    void Flush();

private:
    void InitialTree();
    void Splay(uint8_t b);
    void PutBit(bool bit);

    std::array<uint8_t, 513> FUp{};
    std::array<uint16_t, 256> FLeft{};
    std::array<uint16_t, 256> FRight{};
    bool FEncoding;
    uint8_t FBitPos;
    uint16_t FByte = 0;
    QByteArray *FOutput = nullptr;
    const char *FInput = nullptr;
    qint64 FInputLength = 0;
    qint64 FInputPos = 0;
};

// Codes a whole buffer in one pass (one page).
QByteArray CompressBytes(const QByteArray &plain);
// Decodes length bytes from a whole coded buffer; none when it ends early.
std::optional<QByteArray> DecompressBytes(const char *coded, qint64 codedLength, quint32 length);
