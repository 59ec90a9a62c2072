#pragma once
// The JPEG picture object: libjpeg called directly under a strict error
// manager. Every libjpeg error and every warning (premature end of data,
// corrupt data skipped) is a failure, pictures over MaxJpegPixels are refused
// before any pixel memory is taken, and progressive files with an absurd
// number of scans are cut off, so bad input yields a failure, never a crash,
// a hang or a half-grey picture.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// Pictures larger than this (width × height) are refused.
inline constexpr qint64 MaxJpegPixels = 40'000'000;

// The size in pixels that the header of a JPEG stream announces, or nothing
// when the header cannot be read or the picture is too large.
std::optional<QSize> ReadJpegSize(const QByteArray &data);

// Decodes a whole JPEG stream. Returns a null image on any failure and puts
// a short reason into *error when given.
QImage DecodeJpeg(const QByteArray &data, QString *error = nullptr);

// Encodes image as a baseline JPEG stream (quality 1…100).
QByteArray EncodeJpeg(const QImage &image, int quality = 90);

// The contents of the regular file at path, at most maxBytes of it; an empty
// array when it cannot be read or is larger.
QByteArray ReadPictureFile(const QString &path, qint64 maxBytes = 256 * 1024 * 1024);

// Pictures named by joke files, looked up by path. Header sizes are cached;
// decoded pictures are kept in a cache bounded to 64 MB. An entry is renewed
// when the file's size or modification time changes.
class PictureCache
{
public:
    static PictureCache &Instance();

    // The height rule's view of the picture at path: its size, or nothing
    // when no regular file is there or its header cannot be read.
    std::optional<QSize> Size(const QString &path);

    // The decoded picture at path, or a null image when it cannot be decoded.
    QImage Image(const QString &path);

    void Clear();

private:
    PictureCache();
    struct Private;
    Private *d;
};
