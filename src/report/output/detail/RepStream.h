#pragma once
// The page store's byte store. Created empty it lives in memory up to
// MemoryLimit bytes; the write that takes it past the limit moves the whole
// content into a temporary file (TemporaryFolder(), name prefix ZRP) and the
// stream goes on there without a seam. The temporary file is unlinked as
// soon as it is open, so nothing is left behind when the stream goes, even
// after a crash. Opened on an existing file the stream only reads it and
// deletes nothing. Every operation holds the stream's re-entrant lock.

#include <QByteArray>
#include <QString>
#include <memory>
#include <mutex>

class QFile;

class TRepStream
{
public:
    static constexpr qint64 DefaultMemoryLimit = 100000;

    // An empty stream in memory.
    explicit TRepStream(qint64 memoryLimit = DefaultMemoryLimit);
    // A read-only stream on an existing file; fails with the file-open error.
    explicit TRepStream(const QString &fileName);
    ~TRepStream();
    TRepStream(const TRepStream &) = delete;
    TRepStream &operator=(const TRepStream &) = delete;

    // Reads up to count bytes at the position; returns how many were read.
    qint64 Read(void *buffer, qint64 count);
    // Reads exactly count bytes or fails with "Stream read error".
    void ReadBuffer(void *buffer, qint64 count);
    // Writes count bytes at the position (extending the stream); fails with
    // "Stream write error" followed by the temporary file's name and the
    // system's reason, or with the creation error of the temporary file.
    void Write(const void *buffer, qint64 count);
    // Moves to an absolute position (0..Size()); returns the new position.
    qint64 Seek(qint64 position);
    qint64 Position() const;
    qint64 Size() const;
    // Copies the whole content, from offset 0, to target in chunks; a
    // refused write fails with "Stream write error" followed by targetName
    // and the system's reason.
    void CopyTo(class QIODevice &target, const QString &targetName, qint64 chunk = 10240);

    bool InMemory() const { return FInMemory; }
    qint64 MemoryLimit() const { return FMemoryLimit; }
    // The temporary file's name (already unlinked), empty in memory and
    // for a stream on an existing file.
    QString TemporaryName() const { return FTempName; }

    void Lock() const { FLock.lock(); }
    void Unlock() const { FLock.unlock(); }
    // BasicLockable, for std::lock_guard.
    void lock() const { FLock.lock(); }
    void unlock() const { FLock.unlock(); }

private:
    void MoveToFile();

    mutable std::recursive_mutex FLock;
    bool FInMemory = true;
    QByteArray FMemory;
    qint64 FPosition = 0;
    std::unique_ptr<QFile> FFile;
    QString FTempName;
    qint64 FMemoryLimit;
};
