// Feeds arbitrary bytes to the JPEG loader: the header reader and the full
// decoder must fail cleanly or agree on the picture's size.
#include "platform/JpegPicture.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QSize> header = ReadJpegSize(bytes);
    const QImage image = DecodeJpeg(bytes);
    if (!image.isNull()) {
        if (!header || image.size() != *header)
            __builtin_trap();
        if (qint64(image.width()) * image.height() > MaxJpegPixels)
            __builtin_trap();
    }
    return 0;
}
