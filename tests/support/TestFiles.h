#pragma once
// Small helpers for tests that need files on disk: joke files in code page
// 1250 with CR LF, JPEG pictures of a given size and colour.
#include "platform/JpegPicture.h"

#include <QFile>
#include <QImage>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <gtest/gtest.h>

// Writes bytes to path; returns the path.
inline QString WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// The whole content of a file, empty when it cannot be read.
inline QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes bytes to path, failing the test when the file cannot be opened.
inline void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Writes lines as a joke file: code page 1250, every line ended by CR LF.
inline QString WriteJokeFile(const QString &path, const QStringList &lines)
{
    QStringEncoder cp1250("windows-1250");
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += cp1250.encode(line);
        bytes += "\r\n";
    }
    return WriteBytes(path, bytes);
}

// A JPEG stream of a plain picture.
inline QByteArray PlainJpeg(int width, int height, QColor color = QColor(0, 160, 0))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return EncodeJpeg(image, 95);
}

inline QString WriteJpeg(const QString &path, int width, int height, QColor color = QColor(0, 160, 0))
{
    return WriteBytes(path, PlainJpeg(width, height, color));
}

// The value 0x00BBGGRR of a pixel, for comparing with colour constants.
inline unsigned PixelValue(const QImage &image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return unsigned(qRed(c)) | unsigned(qGreen(c)) << 8 | unsigned(qBlue(c)) << 16;
}

// True when the two colours differ by at most tolerance in every channel
// (JPEG pictures come back slightly off).
inline bool Near(QRgb a, QColor b, int tolerance = 12)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance
           && qAbs(qBlue(a) - b.blue()) <= tolerance;
}
