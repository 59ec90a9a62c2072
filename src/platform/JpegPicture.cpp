#include "platform/JpegPicture.h"

#include "platform/Paths.h"

#include <QCache>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

namespace {

// Progressive files may hold any number of scans; more than this is refused
// (each scan costs a full pass over the coefficients).
constexpr int MaxScans = 500;

struct StrictErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWithMessage(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<StrictErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void ErrorExit(j_common_ptr cinfo)
{
    FailWithMessage(cinfo);
}

// Warnings (level −1) are failures too; trace messages are ignored.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        FailWithMessage(cinfo);
}

void OutputMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo)
{
    auto *dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (dinfo->progressive_mode && dinfo->input_scan_number > MaxScans) {
        auto *err = reinterpret_cast<StrictErrorManager *>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "Too many progressive scans");
        std::longjmp(err->jump, 1);
    }
}

// Everything the decoder touches across a longjmp lives here, on the heap.
struct DecodeState
{
    jpeg_decompress_struct cinfo{};
    StrictErrorManager err{};
    jpeg_progress_mgr progress{};
    QImage image;
    std::vector<unsigned char> row;
    bool created = false;
    bool ok = false;
    QSize size;
};

void Prepare(DecodeState &s, const QByteArray &data)
{
    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = ErrorExit;
    s.err.pub.emit_message = EmitMessage;
    s.err.pub.output_message = OutputMessage;
    s.err.message[0] = 0;
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.progress.progress_monitor = LimitScans;
    s.cinfo.progress = &s.progress;
    jpeg_mem_src(&s.cinfo, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
}

bool TooLarge(const jpeg_decompress_struct &cinfo)
{
    const qint64 pixels = qint64(cinfo.image_width) * qint64(cinfo.image_height);
    return cinfo.image_width == 0 || cinfo.image_height == 0 || pixels > MaxJpegPixels
           || cinfo.image_width > 65500 || cinfo.image_height > 65500;
}

inline unsigned char Mul255(int a, int b)
{
    return static_cast<unsigned char>((a * b + 127) / 255);
}

// Decodes into s.image; longjmps out on any libjpeg failure.
bool DecodeInto(DecodeState &s, QString *error)
{
    jpeg_read_header(&s.cinfo, TRUE);
    if (TooLarge(s.cinfo)) {
        if (error)
            *error = QStringLiteral("Picture too large");
        return false;
    }
    const J_COLOR_SPACE in = s.cinfo.jpeg_color_space;
    const bool cmyk = in == JCS_CMYK || in == JCS_YCCK;
    const bool gray = in == JCS_GRAYSCALE;
    s.cinfo.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&s.cinfo);
    const int w = int(s.cinfo.output_width), h = int(s.cinfo.output_height);
    s.image = QImage(w, h, gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (s.image.isNull()) {
        if (error)
            *error = QStringLiteral("Out of memory");
        return false;
    }
    s.row.assign(size_t(w) * size_t(s.cinfo.output_components), 0);
    const bool inverted = s.cinfo.saw_Adobe_marker;
    while (s.cinfo.output_scanline < s.cinfo.output_height) {
        const int y = int(s.cinfo.output_scanline);
        JSAMPROW rowPtr = s.row.data();
        jpeg_read_scanlines(&s.cinfo, &rowPtr, 1);
        unsigned char *dst = s.image.scanLine(y);
        if (!cmyk) {
            std::copy(s.row.begin(), s.row.end(), dst);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            int c = s.row[4 * x], m = s.row[4 * x + 1], yy = s.row[4 * x + 2], k = s.row[4 * x + 3];
            if (!inverted) {
                c = 255 - c; m = 255 - m; yy = 255 - yy; k = 255 - k;
            }
            dst[3 * x] = Mul255(c, k);
            dst[3 * x + 1] = Mul255(m, k);
            dst[3 * x + 2] = Mul255(yy, k);
        }
    }
    jpeg_finish_decompress(&s.cinfo);
    return true;
}

} // namespace

std::optional<QSize> ReadJpegSize(const QByteArray &data)
{
    if (data.isEmpty())
        return std::nullopt;
    auto s = std::make_unique<DecodeState>();
    if (setjmp(s->err.jump) == 0) {
        Prepare(*s, data);
        jpeg_read_header(&s->cinfo, TRUE);
        if (!TooLarge(s->cinfo)) {
            s->size = QSize(int(s->cinfo.image_width), int(s->cinfo.image_height));
            s->ok = true;
        }
    }
    if (s->created)
        jpeg_destroy_decompress(&s->cinfo);
    return s->ok ? std::optional<QSize>(s->size) : std::nullopt;
}

QImage DecodeJpeg(const QByteArray &data, QString *error)
{
    if (data.isEmpty()) {
        if (error)
            *error = QStringLiteral("Empty picture");
        return {};
    }
    auto s = std::make_unique<DecodeState>();
    if (setjmp(s->err.jump) == 0) {
        Prepare(*s, data);
        s->ok = DecodeInto(*s, error);
    } else if (error) {
        *error = QString::fromLocal8Bit(s->err.message);
    }
    if (s->created)
        jpeg_destroy_decompress(&s->cinfo);
    return s->ok ? s->image : QImage();
}

QByteArray EncodeJpeg(const QImage &source, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char *>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

QByteArray ReadPictureFile(const QString &path, qint64 maxBytes)
{
    if (!RegularFileExists(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxBytes)
        return {};
    return file.read(maxBytes);
}

struct PictureCache::Private
{
    // What tells a changed file: its identity, size and modification time.
    struct Stamp
    {
        qint64 size = -1;
        qint64 modified = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &) const = default;
    };
    struct SizeEntry
    {
        Stamp stamp;
        std::optional<QSize> size;
    };
    struct ImageEntry
    {
        Stamp stamp;
        QImage image;
    };
    QCache<QString, SizeEntry> sizes{20000};
    QCache<QString, ImageEntry> images{64 * 1024}; // cost in KiB

    static Stamp StampOf(const QString &path)
    {
        struct stat st = {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return {};
        return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                quint64(st.st_ino)};
    }
};

PictureCache &PictureCache::Instance()
{
    static PictureCache cache;
    return cache;
}

PictureCache::PictureCache() : d(new Private) {}

void PictureCache::Clear()
{
    d->sizes.clear();
    d->images.clear();
}

std::optional<QSize> PictureCache::Size(const QString &path)
{
    if (!RegularFileExists(path))
        return std::nullopt;
    const Private::Stamp stamp = Private::StampOf(path);
    if (const auto *hit = d->sizes.object(path); hit && hit->stamp == stamp)
        return hit->size;
    // The header sits in the first few kilobytes, but markers may push it
    // further; reading the whole (bounded) file keeps the rule simple.
    auto *entry = new Private::SizeEntry{stamp, ReadJpegSize(ReadPictureFile(path))};
    const std::optional<QSize> size = entry->size;
    d->sizes.insert(path, entry);
    return size;
}

QImage PictureCache::Image(const QString &path)
{
    if (!RegularFileExists(path))
        return {};
    const Private::Stamp stamp = Private::StampOf(path);
    if (const auto *hit = d->images.object(path); hit && hit->stamp == stamp)
        return hit->image;
    QImage image = DecodeJpeg(ReadPictureFile(path));
    const qsizetype cost = qMax<qsizetype>(1, image.sizeInBytes() / 1024);
    if (cost <= d->images.maxCost())
        d->images.insert(path, new Private::ImageEntry{stamp, image}, cost);
    return image;
}
