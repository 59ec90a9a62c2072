#pragma once
// The page store: the finished pages of a report as enhanced metafiles in a
// TRepStream, in exactly the layout of a saved report file, so saving is a
// plain copy. Layout (little-endian):
//   header, 128 bytes: format version 3 (2 bytes), producer version 309
//     (2), page count at 8 (4), time of writing at 16 (IEEE double, days
//     since 1899-12-30), compression flag at 25 (1); the rest zero. Older
//     files with a 124-byte header (count at 8, time at 12, flag at 21) are
//     read as well.
//   then one record per page: page number (4), absolute offset of the next
//     record (4), payload, absolute offset of this record (4). The payload is
//     the page's EMF bytes, or with compression the EMF byte count (4)
//     followed by its TRepCompress code.
// AppendPage and ReadPage take the store's re-entrant lock, so a preview may
// read pages while the report appends new ones.

#include "platform/Metafile.h"

#include <QByteArrayView>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class TRepStream;

class TRepPageList
{
public:
    static constexpr int HeaderSize = 128;
    static constexpr int OldHeaderSize = 124;
    static constexpr qint64 CopyChunk = 10240;

    TRepPageList();
    ~TRepPageList();

    // Hands the store a fresh (empty) stream to write pages into.
    void SetStream(std::unique_ptr<TRepStream> stream);
    // Frees the stream; the store then holds no pages.
    void ReleaseStream();
    TRepStream *Stream() const { return FStream.get(); }

    int PageCount() const { return FPageCount; }
    bool Compression() const { return FCompression; }
    void SetCompression(bool on) { FCompression = on; }

    // Appends page as the next page; the first page also writes the header.
    void AppendPage(const Metafile &page);
    // Page n (1-based), or none when n is outside 1..PageCount or the stored
    // bytes are no sound page.
    std::optional<Metafile> ReadPage(int n);
    // Moves the stream to the start of record n: straight there when the
    // store knows where the record starts (every page it wrote or loaded),
    // else walking the record chain from the current position; fails with
    // "Stream read error" on a chain that leaves the store.
    void PositionAtPage(int n);
    // Rewrites the header with the page count and the time of now.
    void FinishStore();
    // Forgets all pages (the count becomes 0).
    void ClearPages();

    // Opens name as the new store. The file is checked first (header, page
    // count, every record's links); only when it is sound does it replace
    // the current stream, so a failed load leaves the pages on show.
    void LoadFromReportFile(const QString &name);
    // Writes the store to name (an OutputFile: a regular file through a
    // temporary file renamed into place, so a failed write leaves an older
    // file whole; a device, a FIFO or standard output in place).
    void SaveToReportFile(const QString &name);

    // True when head (the first bytes of a file) starts as the files this
    // store writes: format version 3, producer version 309.
    static bool StartsLikeReportFile(QByteArrayView head);

    // The header size of the file in stream (124 or 128), by the probe of
    // the four bytes at offset 173: "EMF" there means a 124-byte header.
    static int ProbeHeaderSize(TRepStream &stream);

    void Lock() const { FLock.lock(); }
    void Unlock() const { FLock.unlock(); }

private:
    void WriteHeader(int pageCount);

    mutable std::recursive_mutex FLock;
    std::unique_ptr<TRepStream> FStream;
    int FPageCount = 0;
    bool FCompression = false;
    // Where each record starts (page n at [n - 1]), so a page is found
    // without walking the chain; 8 bytes a page.
    std::vector<qint64> FRecordStarts;
};

// The local time now as days since 1899-12-30 with the time of day as the
// fraction.
double DateTimeNow();
