// Loads arbitrary bytes as a saved report file, fetches every page, plays
// each onto an image, reads its text as the preview's search does, and
// writes the pages as PDF (the direct writer, and
// Qt's engine for pages it leaves, taken back into the document). The same
// bytes are also stored as the payload of one page of an otherwise sound
// file, plain and compressed, so the metafile checks, the player, the PDF
// writer and the decoder see them directly.
#include "platform/Metafile.h"
#include "platform/MetafilePlayer.h"
#include "platform/MetafileText.h"
#include "report/output/RepError.h"
#include "report/output/RepPageList.h"
#include "report/output/RepPrinter.h"
#include "report/output/detail/RepPdfWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdint>

namespace {

QTemporaryDir *Dir = nullptr;

void PlayAll(TRepPageList &store)
{
    const int count = std::min(store.PageCount(), 64);
    for (int n = count; n >= 1; --n) { // backwards, then a jump, to walk the chain
        if (const auto page = store.ReadPage(n)) {
            QImage image(120, 160, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            PlayMetafile(painter, *page, QRectF(0, 0, 120, 160));
            MetafileText(*page);
            for (const MetafileTextRun &run : MetafileTextRuns(*page))
                run.Box(0, run.text.size());
        }
    }
    if (count > 2)
        store.ReadPage(2);
}

void WriteAsPdf(TRepPageList &store)
{
    const int count = std::min(store.PageCount(), 8);
    if (count < 1)
        return;
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    try {
        WritePdf(out, QStringLiteral("fuzz"), count, [&store](int n) { return store.ReadPage(n); });
    } catch (const std::exception &) {
        // a clean failure; what must not happen is a crash or a leak
    }
}

void Load(const QByteArray &bytes)
{
    const QString name = Dir->filePath(QStringLiteral("in.zrp"));
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        return;
    f.close();
    TRepPageList store;
    try {
        store.LoadFromReportFile(name);
    } catch (const ERepError &) {
        return;
    }
    PlayAll(store);
    WriteAsPdf(store);
}

// A one-page file whose payload is payload.
QByteArray OnePageFile(const QByteArray &payload, bool compressed)
{
    QByteArray file(128, '\0');
    qToLittleEndian<qint16>(3, file.data());
    qToLittleEndian<qint16>(309, file.data() + 2);
    qToLittleEndian<qint32>(1, file.data() + 8);
    file[25] = compressed ? 1 : 0;
    char b[4];
    qToLittleEndian<qint32>(1, b);
    file.append(b, 4);
    qToLittleEndian<qint32>(qint32(128 + 8 + payload.size() + 4), b);
    file.append(b, 4);
    file.append(payload);
    qToLittleEndian<qint32>(128, b);
    file.append(b, 4);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char name[] = "fuzz_zrp";
    static char *qtArgv[] = {name, nullptr};
    new QGuiApplication(qtArgc, qtArgv);
    Dir = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Load(bytes);
    Load(OnePageFile(bytes, false));
    if (size >= 4)
        Load(OnePageFile(bytes, true));
    return 0;
}
