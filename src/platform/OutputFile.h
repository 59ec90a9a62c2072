#pragma once
// The file a save or an export writes. A regular file, or a name where
// nothing stands yet, is replaced atomically: the bytes go to a temporary
// file in the same folder that is renamed into place by Commit, so a failed
// write leaves the old file whole. Anything else that can take bytes — a
// character device, a FIFO, standard output ("-" or /dev/stdout) — is
// written in place and never renamed over: a device node stays a device
// node, and a reader on a FIFO gets the bytes.

#include <QString>
#include <memory>

class QFile;
class QFileDevice;
class QIODevice;
class QSaveFile;

class OutputFile
{
public:
    explicit OutputFile(const QString &name);
    // An uncommitted replacement is discarded; the old file stays.
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // True for "-" and /dev/stdout: the bytes go to standard output.
    static bool NamesStandardOutput(const QString &name);

    // Opens the target for writing; false (with ErrorString) when it cannot
    // be opened. A FIFO blocks here until a reader opens it.
    bool Open();
    // Where the bytes go, once open.
    QIODevice &Device();
    // Finishes the write: the replacement is renamed into place, an
    // in-place target is flushed. False (with ErrorString) when any write
    // failed; a replaced file then keeps its old content.
    bool Commit();
    // The system's reason of the last failure.
    QString ErrorString() const { return FError; }
    // True when the target is written in place rather than replaced.
    bool InPlace() const { return FInPlace; }

private:
    QFileDevice &File() const;

    QString FName;
    bool FInPlace = false;
    QString FError;
    std::unique_ptr<QSaveFile> FReplacement;
    std::unique_ptr<QFile> FDirect;
};
