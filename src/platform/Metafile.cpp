#include "platform/Metafile.h"

#include <QtEndian>
#include <cmath>
#include <cstring>
#include <uemf.h>
#include <uemf_safe.h>

namespace {

constexpr qint64 HeaderMinimum = 88; // the header record up to szlMillimeters

quint32 ReadU32(const char *p) { return qFromLittleEndian<quint32>(p); }
qint32 ReadI32(const char *p) { return qFromLittleEndian<qint32>(p); }

// Pixels per millimetre of the reference device, or the screen's 96 dpi when
// the header's device description makes no sense.
double Density(qint32 pixels, qint32 millimetres)
{
    if (pixels <= 0 || millimetres <= 0)
        return 96 / 25.4;
    const double d = double(pixels) / millimetres;
    return (d > 0.01 && d < 1000) ? d : 96 / 25.4;
}

int FrameToPixels(qint64 hundredthsMm, double pixelsPerMm)
{
    const double v = std::nearbyint(double(hundredthsMm) / 100.0 * pixelsPerMm);
    return v < 0 ? 0 : (v > 1e8 ? 100000000 : int(v));
}

} // namespace

quint32 Metafile::AnnouncedSize(const char *data, qint64 length)
{
    if (length < HeaderMinimum)
        return 0;
    if (ReadU32(data) != U_EMR_HEADER || ReadU32(data + 40) != U_ENHMETA_SIGNATURE)
        return 0;
    return ReadU32(data + 48);
}

std::optional<Metafile> Metafile::FromBytes(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qint64 length = bytes.size();
    if (AnnouncedSize(data, length) != quint64(length))
        return std::nullopt;
    const quint32 headerSize = ReadU32(data + 4);
    if (headerSize < HeaderMinimum || headerSize > length || headerSize % 4 != 0)
        return std::nullopt;

    bool sawEnd = false;
    for (qint64 at = 0; at < length;) {
        if (length - at < 8)
            return std::nullopt;
        const quint32 type = ReadU32(data + at);
        const quint32 size = ReadU32(data + at + 4);
        if (size < 8 || size % 4 != 0 || size > length - at)
            return std::nullopt;
        if (at > 0 && type == U_EMR_HEADER)
            return std::nullopt;
        // The safety check reads the record in place; records of types it
        // does not know are judged by their size alone (the player skips them).
        if (type >= U_EMR_MIN && type <= U_EMR_MAX && !U_emf_record_safe(data + at))
            return std::nullopt;
        at += size;
        if (type == U_EMR_EOF) {
            sawEnd = at == length;
            break;
        }
    }
    if (!sawEnd)
        return std::nullopt;

    Metafile page;
    page.FBytes = bytes;
    const qint32 l = ReadI32(data + 24), t = ReadI32(data + 28);
    const qint32 r = ReadI32(data + 32), b = ReadI32(data + 36);
    page.FFrame = QRect(QPoint(l, t), QPoint(r - 1, b - 1));
    page.FPixelsPerMmX = Density(ReadI32(data + 72), ReadI32(data + 80));
    page.FPixelsPerMmY = Density(ReadI32(data + 76), ReadI32(data + 84));
    page.FWidth = FrameToPixels(qint64(r) - l, page.FPixelsPerMmX);
    page.FHeight = FrameToPixels(qint64(b) - t, page.FPixelsPerMmY);
    page.FHandleCount = qFromLittleEndian<quint16>(data + 56);
    return page;
}
