#include "report/output/detail/RepPdfDocument.h"

#include <QIODevice>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <zlib.h>

namespace {

constexpr qsizetype FlushSize = 256 * 1024;
// zlib's cheapest level with lazy matching: a page's stream comes out 4 %
// larger than at the default level, in two thirds of the time (compressing
// was a quarter of an export at the default level).
constexpr int StreamLevel = 4;

// Appends v with at most decimals decimals; half is half the last one.
void AppendFixed(QByteArray &out, double v, int decimals, double half)
{
    if (!std::isfinite(v))
        v = 0;
    const double whole = std::nearbyint(v);
    char text[40];
    char *end;
    if (std::abs(v - whole) < half && std::abs(whole) < 1e15) {
        end = std::to_chars(text, text + sizeof text, qint64(whole)).ptr;
    } else {
        end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals).ptr;
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    out.append(text, end - text);
}

// PDFDocEncoding agrees with Latin-1 on printable ASCII and on U+00A1…U+00FF
// except U+00AD; anything else goes as UTF-16.
bool FitsDocEncoding(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= 0x20 && u < 0x7F) || (u >= 0xA1 && u <= 0xFF && u != 0xAD)))
            return false;
    }
    return true;
}

} // namespace

void AppendPdfNumber(QByteArray &out, double v)
{
    AppendFixed(out, v, 3, 0.0005);
}

void AppendPdfFine(QByteArray &out, double v)
{
    AppendFixed(out, v, 9, 0.0000000005);
}

void AppendPdfText(QByteArray &out, const QString &text)
{
    if (FitsDocEncoding(text)) {
        out += '(';
        for (QChar c : text) {
            const char b = char(c.unicode());
            if (b == '(' || b == ')' || b == '\\')
                out += '\\';
            out += b;
        }
        out += ')';
        return;
    }
    out += "<FEFF";
    char hex[5];
    for (QChar c : text) {
        std::snprintf(hex, sizeof hex, "%04X", unsigned(c.unicode()));
        out.append(hex, 4);
    }
    out += '>';
}

// One zlib compressor for all streams of a document.
class PdfDeflater
{
public:
    explicit PdfDeflater(int level)
    {
        if (deflateInit(&z, level) != Z_OK)
            throw std::bad_alloc();
    }
    ~PdfDeflater() { deflateEnd(&z); }

    // Compresses text with the stream's state reset, so its tables are
    // made once per document and not once per page.
    QByteArray Run(QByteArrayView text)
    {
        deflateReset(&z);
        QByteArray out(qsizetype(deflateBound(&z, uLong(text.size()))), Qt::Uninitialized);
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
        z.avail_in = uInt(text.size());
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = uInt(out.size());
        if (deflate(&z, Z_FINISH) != Z_STREAM_END)
            throw std::runtime_error("zlib could not compress a stream");
        out.truncate(qsizetype(z.total_out));
        return out;
    }

private:
    z_stream z{};
};

RepPdfDocument::RepPdfDocument(QIODevice &device)
    : FDevice(device), FDeflater(std::make_unique<PdfDeflater>(StreamLevel))
{
    // The binary comment tells transfer programs the file is not text.
    Put("%PDF-1.6\n%\xE2\xE3\xCF\xD3\n");
}

RepPdfDocument::~RepPdfDocument() = default;

int RepPdfDocument::Reserve()
{
    FOffsets.push_back(-1);
    return int(FOffsets.size());
}

void RepPdfDocument::Begin(int id)
{
    FOffsets[size_t(id - 1)] = FWritten + FBuffer.size();
    char head[32];
    const int n = std::snprintf(head, sizeof head, "%d 0 obj\n", id);
    FBuffer.append(head, n);
}

void RepPdfDocument::Write(int id, QByteArrayView body)
{
    Begin(id);
    FBuffer.append(body);
    Put("\nendobj\n");
}

void RepPdfDocument::WriteStream(int id, QByteArrayView dict, QByteArrayView data, bool compress)
{
    QByteArray packed;
    if (compress) {
        packed = FDeflater->Run(data);
        data = packed;
    }
    Begin(id);
    FBuffer += "<<";
    FBuffer.append(dict);
    if (compress)
        FBuffer += "/Filter/FlateDecode";
    FBuffer += "/Length ";
    FBuffer += QByteArray::number(data.size());
    FBuffer += ">>stream\n";
    FBuffer.append(data);
    Put("\nendstream\nendobj\n");
}

void RepPdfDocument::Finish(int root, int info)
{
    const qint64 xref = FWritten + FBuffer.size();
    char line[64];
    std::snprintf(line, sizeof line, "xref\n0 %zu\n0000000000 65535 f \n", FOffsets.size() + 1);
    Put(line);
    for (qint64 offset : FOffsets) {
        if (offset < 0)
            throw std::logic_error("a PDF object was reserved and never written");
        std::snprintf(line, sizeof line, "%010lld 00000 n \n", static_cast<long long>(offset));
        FBuffer.append(line, 20);
    }
    std::snprintf(line, sizeof line, "trailer\n<</Size %zu/Root %d 0 R", FOffsets.size() + 1, root);
    Put(line);
    std::snprintf(line, sizeof line, "/Info %d 0 R>>\nstartxref\n%lld\n%%%%EOF\n", info,
                  static_cast<long long>(xref));
    Put(line);
    Flush();
}

void RepPdfDocument::Put(QByteArrayView bytes)
{
    FBuffer.append(bytes);
    if (FBuffer.size() >= FlushSize)
        Flush();
}

void RepPdfDocument::Flush()
{
    if (FBuffer.isEmpty())
        return;
    if (Ok() && FDevice.write(FBuffer) != FBuffer.size())
        FError = FDevice.errorString();
    FWritten += FBuffer.size();
    FBuffer.clear();
}
