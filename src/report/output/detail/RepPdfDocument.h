#pragma once
// The object layer of a PDF file, written front to back onto a device:
// numbered objects and streams go out as they are made, and Finish writes
// the cross-reference table once, at the end. Object numbers can be taken
// ahead (Reserve) so that objects refer to ones written later, as every
// page refers to the page tree and to fonts that are complete only when the
// last page is done. Streams are compressed with zlib.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <vector>

class PdfDeflater;
class QIODevice;

// Appends v as a PDF number: a whole number when it is one, otherwise with
// at most three decimals (a thousandth of a pixel or a point).
void AppendPdfNumber(QByteArray &out, double v);
// Appends v as a PDF number with at most nine decimals (matrices, whose
// scale multiplies every coordinate after them).
void AppendPdfFine(QByteArray &out, double v);
// Appends a PDF text string: "(…)" with PDFDocEncoding where text fits it,
// otherwise UTF-16BE with its byte-order mark, as hex.
void AppendPdfText(QByteArray &out, const QString &text);
class RepPdfDocument
{
public:
    // Writes the file header at once.
    explicit RepPdfDocument(QIODevice &device);
    ~RepPdfDocument();
    RepPdfDocument(const RepPdfDocument &) = delete;
    RepPdfDocument &operator=(const RepPdfDocument &) = delete;

    // A new object number, to be written later with Write or WriteStream.
    int Reserve();
    // Writes object id with body (a dictionary, an array, a number …).
    void Write(int id, QByteArrayView body);
    // Writes object id as a stream: dict holds the dictionary's own entries
    // (without << >>, Length and Filter); data is compressed unless it is
    // compressed already (then dict names its filter).
    void WriteStream(int id, QByteArrayView dict, QByteArrayView data, bool compress = true);

    // Writes the cross-reference table and the trailer naming root (the
    // catalog) and info, and flushes. Every reserved number must have been
    // written by then.
    void Finish(int root, int info);

    // False once a write to the device failed; the reason is ErrorString.
    bool Ok() const { return FError.isEmpty(); }
    QString ErrorString() const { return FError; }

private:
    void Put(QByteArrayView bytes);
    void Flush();
    void Begin(int id);

    QIODevice &FDevice;
    QByteArray FBuffer;
    qint64 FWritten = 0;          // bytes handed to the device so far
    std::vector<qint64> FOffsets; // of object n at n - 1; -1 while unwritten
    QString FError;
    std::unique_ptr<PdfDeflater> FDeflater;
};
