#include "report/output/RepPageList.h"

#include "platform/OutputFile.h"
#include "report/output/detail/RepCompress.h"
#include "report/output/RepError.h"
#include "report/output/detail/RepStream.h"

#include <QDateTime>
#include <QDir>
#include <QtEndian>
#include <cstring>

namespace {

const QString ReadErrorText = QStringLiteral("Stream read error");
const QString NotReportFileText = QStringLiteral("\"%1\" is not a valid report file");

constexpr int ProbeOffset = 173;
constexpr qint16 FormatVersion = 3;
constexpr qint16 ProducerVersion = 309;
constexpr qint64 RecordOverhead = 12; // page number, forward link, back link

qint32 ReadI32(TRepStream &s)
{
    char b[4];
    s.ReadBuffer(b, 4);
    return qFromLittleEndian<qint32>(b);
}

void WriteI32(TRepStream &s, qint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    s.Write(b, 4);
}

struct Header
{
    qint32 pageCount = 0;
    bool compression = false;
};

// Reads the header at offset 0 (either layout) of stream.
Header ReadHeader(TRepStream &stream)
{
    const int size = TRepPageList::ProbeHeaderSize(stream);
    char b[TRepPageList::HeaderSize] = {};
    stream.Seek(0);
    stream.ReadBuffer(b, size);
    Header h;
    h.pageCount = qFromLittleEndian<qint32>(b + 8);
    h.compression = (size == TRepPageList::OldHeaderSize ? b[21] : b[25]) != 0;
    return h;
}

// Walks every record of a file's stream: page numbers in order, links that
// stay inside the file and agree with each other, the last record ending the
// file. Only then may the chain be walked without further doubt.
// Walks the whole record chain of a store: the start of every record, or
// none when a record is out of place or its links disagree.
std::optional<std::vector<qint64>> SoundChain(TRepStream &stream, const Header &h, int headerSize)
{
    const qint64 size = stream.Size();
    if (h.pageCount < 0 || qint64(h.pageCount) * RecordOverhead > size - headerSize)
        return std::nullopt;
    std::vector<qint64> starts;
    starts.reserve(size_t(h.pageCount));
    qint64 at = headerSize;
    for (qint32 n = 1; n <= h.pageCount; ++n) {
        if (size - at < RecordOverhead)
            return std::nullopt;
        stream.Seek(at);
        if (ReadI32(stream) != n)
            return std::nullopt;
        const qint64 next = quint32(ReadI32(stream));
        if (next < at + RecordOverhead || next > size)
            return std::nullopt;
        stream.Seek(next - 4);
        if (ReadI32(stream) != at)
            return std::nullopt;
        starts.push_back(at);
        at = next;
    }
    if (h.pageCount != 0 && at != size)
        return std::nullopt;
    return starts;
}

} // namespace

double DateTimeNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return double(QDate(1899, 12, 30).daysTo(now.date())) + now.time().msecsSinceStartOfDay() / 86400000.0;
}

TRepPageList::TRepPageList() = default;
TRepPageList::~TRepPageList() = default;

void TRepPageList::SetStream(std::unique_ptr<TRepStream> stream)
{
    std::lock_guard guard(FLock);
    FStream = std::move(stream);
    FPageCount = 0;
    FRecordStarts.clear();
}

void TRepPageList::ReleaseStream()
{
    std::lock_guard guard(FLock);
    FStream.reset();
    FRecordStarts.clear();
}

void TRepPageList::ClearPages()
{
    std::lock_guard guard(FLock);
    FPageCount = 0;
    FRecordStarts.clear();
}

int TRepPageList::ProbeHeaderSize(TRepStream &stream)
{
    const qint64 keep = stream.Position();
    char b[5] = {};
    if (stream.Seek(ProbeOffset) != ProbeOffset)
        throw ERepError(ReadErrorText);
    stream.ReadBuffer(b, 4);
    stream.Seek(keep);
    return std::strcmp(b, "EMF") == 0 ? OldHeaderSize : HeaderSize;
}

bool TRepPageList::StartsLikeReportFile(QByteArrayView head)
{
    return head.size() >= 4 && qFromLittleEndian<qint16>(head.data()) == FormatVersion
           && qFromLittleEndian<qint16>(head.data() + 2) == ProducerVersion;
}

void TRepPageList::WriteHeader(int pageCount)
{
    char b[HeaderSize] = {};
    qToLittleEndian<qint16>(FormatVersion, b);
    qToLittleEndian<qint16>(ProducerVersion, b + 2);
    qToLittleEndian<qint32>(pageCount, b + 8);
    qToLittleEndian<double>(DateTimeNow(), b + 16);
    b[25] = FCompression ? 1 : 0;
    FStream->Seek(0);
    FStream->Write(b, HeaderSize);
}

void TRepPageList::AppendPage(const Metafile &page)
{
    std::lock_guard guard(FLock);
    if (!FStream)
        throw ERepError(QStringLiteral("The page store has no stream"));
    std::lock_guard streamGuard(*FStream);
    ++FPageCount;
    if (FPageCount == 1)
        WriteHeader(1);
    const qint64 p0 = FStream->Seek(FStream->Size());
    if (FRecordStarts.size() + 1 == size_t(FPageCount))
        FRecordStarts.push_back(p0);
    WriteI32(*FStream, FPageCount);
    const qint64 p1 = FStream->Position();
    WriteI32(*FStream, qint32(p1));
    if (FCompression) {
        const QByteArray &plain = page.Bytes();
        WriteI32(*FStream, qint32(plain.size()));
        const QByteArray coded = CompressBytes(plain);
        FStream->Write(coded.constData(), coded.size());
    } else {
        FStream->Write(page.Bytes().constData(), page.Bytes().size());
    }
    WriteI32(*FStream, qint32(p0));
    const qint64 p2 = FStream->Position();
    FStream->Seek(p1);
    WriteI32(*FStream, qint32(p2));
    FStream->Seek(p2);
}

void TRepPageList::PositionAtPage(int n)
{
    std::lock_guard guard(FLock);
    TRepStream &s = *FStream;
    const qint64 size = s.Size();
    const int headerSize = ProbeHeaderSize(s);
    auto moveTo = [&](qint64 offset) {
        if (offset < headerSize || offset > size - RecordOverhead)
            throw ERepError(ReadErrorText);
        s.Seek(offset);
    };
    auto toLast = [&] {
        s.Seek(size - 4);
        moveTo(quint32(ReadI32(s)));
    };
    if (size_t(n) <= FRecordStarts.size()) {
        moveTo(FRecordStarts[size_t(n - 1)]);
        return;
    }
    if (n == 1) {
        s.Seek(headerSize);
        return;
    }
    if (n == FPageCount) {
        toLast();
        return;
    }
    if (s.Position() >= size)
        toLast();
    if (s.Position() < headerSize)
        s.Seek(headerSize);
    const qint64 at = s.Position();
    const qint32 c = ReadI32(s);
    s.Seek(at);
    // Each step moves one record; more steps than pages means a broken chain.
    for (int steps = 0; c != n; ++steps) {
        if (steps > FPageCount)
            throw ERepError(ReadErrorText);
        const qint64 start = s.Position();
        const qint32 number = ReadI32(s);
        if (number == n) {
            s.Seek(start);
            return;
        }
        if (n > c) {
            moveTo(quint32(ReadI32(s)));
        } else {
            if (start - 4 < headerSize)
                throw ERepError(ReadErrorText);
            s.Seek(start - 4);
            moveTo(quint32(ReadI32(s)));
        }
    }
}

std::optional<Metafile> TRepPageList::ReadPage(int n)
{
    std::lock_guard guard(FLock);
    if (!FStream || n < 1 || n > FPageCount)
        return std::nullopt;
    std::lock_guard streamGuard(*FStream);
    try {
        PositionAtPage(n);
        const qint64 start = FStream->Position();
        if (ReadI32(*FStream) != n)
            return std::nullopt;
        const qint64 next = quint32(ReadI32(*FStream));
        const qint64 payloadLength = next - start - RecordOverhead;
        if (payloadLength < 0 || next > FStream->Size())
            return std::nullopt;
        QByteArray payload(qsizetype(payloadLength), Qt::Uninitialized);
        FStream->ReadBuffer(payload.data(), payloadLength);
        FStream->Seek(next);
        if (FCompression) {
            if (payloadLength < 4)
                return std::nullopt;
            const quint32 length = qFromLittleEndian<quint32>(payload.constData());
            const auto plain = DecompressBytes(payload.constData() + 4, payloadLength - 4, length);
            return plain ? Metafile::FromBytes(*plain) : std::nullopt;
        }
        const quint32 length = Metafile::AnnouncedSize(payload.constData(), payload.size());
        if (length == 0 || length > quint64(payload.size()))
            return std::nullopt;
        payload.truncate(qsizetype(length));
        return Metafile::FromBytes(payload);
    } catch (const ERepError &) {
        return std::nullopt;
    }
}

void TRepPageList::FinishStore()
{
    std::lock_guard guard(FLock);
    if (!FStream)
        return;
    std::lock_guard streamGuard(*FStream);
    WriteHeader(FPageCount);
    FStream->Seek(FStream->Size());
}

void TRepPageList::LoadFromReportFile(const QString &name)
{
    auto stream = std::make_unique<TRepStream>(name);
    const Header h = ReadHeader(*stream);
    std::optional<std::vector<qint64>> starts = SoundChain(*stream, h, ProbeHeaderSize(*stream));
    if (!starts)
        throw ERepError(NotReportFileText.arg(QDir::toNativeSeparators(name)));
    stream->Seek(0);
    std::lock_guard guard(FLock);
    FStream = std::move(stream);
    FRecordStarts = std::move(*starts);
    FPageCount = h.pageCount;
    FCompression = h.compression;
}

void TRepPageList::SaveToReportFile(const QString &name)
{
    std::lock_guard guard(FLock);
    OutputFile file(name);
    if (!file.Open())
        throw ERepError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(name), file.ErrorString()));
    if (FStream)
        FStream->CopyTo(file.Device(), name, CopyChunk);
    if (!file.Commit())
        throw ERepError(QStringLiteral("Cannot write file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(name), file.ErrorString()));
}
