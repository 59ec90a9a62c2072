#include "report/output/detail/RepStream.h"

#include "platform/Paths.h"
#include "report/output/RepError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <cstring>
#include <unistd.h>

namespace {
const QString ReadErrorText = QStringLiteral("Stream read error");

// The fixed text first, then which file and why, so a full disk tells itself.
[[noreturn]] void FailWriting(const QString &file, const QString &reason)
{
    throw ERepError(QStringLiteral("Stream write error: %1: %2").arg(QDir::toNativeSeparators(file), reason));
}
} // namespace

TRepStream::TRepStream(qint64 memoryLimit) : FMemoryLimit(memoryLimit) {}

TRepStream::TRepStream(const QString &fileName) : FInMemory(false), FFile(std::make_unique<QFile>(fileName)),
                                                  FMemoryLimit(0)
{
    if (!FFile->open(QIODevice::ReadOnly))
        throw ERepError(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(fileName), FFile->errorString()));
}

TRepStream::~TRepStream() = default;

qint64 TRepStream::Read(void *buffer, qint64 count)
{
    std::lock_guard guard(FLock);
    if (count <= 0)
        return 0;
    if (FInMemory) {
        const qint64 n = std::min(count, qint64(FMemory.size()) - FPosition);
        if (n <= 0)
            return 0;
        std::memcpy(buffer, FMemory.constData() + FPosition, size_t(n));
        FPosition += n;
        return n;
    }
    const qint64 n = FFile->read(static_cast<char *>(buffer), count);
    return n < 0 ? 0 : n;
}

void TRepStream::ReadBuffer(void *buffer, qint64 count)
{
    std::lock_guard guard(FLock);
    if (count != 0 && Read(buffer, count) != count)
        throw ERepError(ReadErrorText);
}

void TRepStream::Write(const void *buffer, qint64 count)
{
    std::lock_guard guard(FLock);
    if (count <= 0)
        return;
    if (FInMemory) {
        const qint64 end = FPosition + count;
        if (end > FMemory.size())
            FMemory.resize(qsizetype(end));
        std::memcpy(FMemory.data() + FPosition, buffer, size_t(count));
        FPosition = end;
        if (FMemory.size() > FMemoryLimit)
            MoveToFile();
        return;
    }
    if (!FFile->isWritable())
        FailWriting(FFile->fileName(), QStringLiteral("the stream is read-only"));
    if (FFile->write(static_cast<const char *>(buffer), count) != count)
        FailWriting(FTempName, FFile->errorString());
}

void TRepStream::MoveToFile()
{
    auto file = std::make_unique<QTemporaryFile>(TemporaryFolder() + QStringLiteral("/ZRPXXXXXX"));
    file->setAutoRemove(false);
    if (!file->open())
        throw ERepError(QStringLiteral("Cannot create file \"%1\". %2")
                            .arg(QDir::toNativeSeparators(file->fileTemplate()), file->errorString()));
    FTempName = file->fileName();
    // Unlinked while open: the data stays reachable through the open file
    // and disappears with it, whatever happens to the program.
    ::unlink(QFile::encodeName(FTempName).constData());
    if (file->write(FMemory) != FMemory.size() || !file->flush() || !file->seek(FPosition))
        FailWriting(FTempName, file->errorString());
    FFile = std::move(file);
    FMemory = QByteArray();
    FInMemory = false;
}

qint64 TRepStream::Seek(qint64 position)
{
    std::lock_guard guard(FLock);
    position = std::clamp<qint64>(position, 0, Size());
    if (FInMemory)
        FPosition = position;
    else
        FFile->seek(position);
    return Position();
}

qint64 TRepStream::Position() const
{
    std::lock_guard guard(FLock);
    return FInMemory ? FPosition : FFile->pos();
}

qint64 TRepStream::Size() const
{
    std::lock_guard guard(FLock);
    return FInMemory ? FMemory.size() : FFile->size();
}

void TRepStream::CopyTo(QIODevice &target, const QString &targetName, qint64 chunk)
{
    std::lock_guard guard(FLock);
    const qint64 keep = Position();
    Seek(0);
    QByteArray buffer(qsizetype(chunk), Qt::Uninitialized);
    for (;;) {
        const qint64 n = Read(buffer.data(), chunk);
        if (n <= 0)
            break;
        if (target.write(buffer.constData(), n) != n) {
            Seek(keep);
            FailWriting(targetName, target.errorString());
        }
    }
    Seek(keep);
}
