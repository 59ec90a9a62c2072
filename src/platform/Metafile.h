#pragma once
// An enhanced metafile page: real EMF bytes in the standard file layout
// (header record first, end-of-file record last). A Metafile is only ever
// made from bytes that passed the record-safety walk, so whoever plays it
// may trust every record's size and every offset inside a record.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <optional>

class Metafile
{
public:
    // Checks bytes as an EMF: a header record with the EMF signature whose
    // byte count equals the data's length, then records that each fit the
    // data, have a sane size and pass libuemf's record-safety check, ending
    // with an end-of-file record. Returns none for anything else.
    static std::optional<Metafile> FromBytes(const QByteArray &bytes);

    // The byte count an EMF announces in its header, read from the first
    // bytes of data (at least 88 of them); 0 when they are no EMF header.
    static quint32 AnnouncedSize(const char *data, qint64 length);

    const QByteArray &Bytes() const { return FBytes; }

    // Size in pixels of the reference device the page was drawn on, derived
    // from the picture frame (what the page's owner asked for).
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // The picture frame in 0.01 mm and the reference device's density.
    QRect Frame() const { return FFrame; }
    double PixelsPerMmX() const { return FPixelsPerMmX; }
    double PixelsPerMmY() const { return FPixelsPerMmY; }
    // Number of object handles the header asks for (index 0 is reserved).
    int HandleCount() const { return FHandleCount; }

private:
    Metafile() = default;
    QByteArray FBytes;
    QRect FFrame;
    double FPixelsPerMmX = 96 / 25.4;
    double FPixelsPerMmY = 96 / 25.4;
    int FWidth = 0;
    int FHeight = 0;
    int FHandleCount = 0;
};
