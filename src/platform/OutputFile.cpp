#include "platform/OutputFile.h"

#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Kind { Replaced, InPlace, Refused };

// How a target is written: what stands at the name decides (links followed).
Kind KindOf(const QString &name)
{
    struct stat st {};
    if (::stat(QFile::encodeName(name).constData(), &st) != 0)
        return Kind::Replaced; // nothing there yet (or unreachable: the open tells)
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))
        return Kind::InPlace;
    if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode))
        return Kind::Replaced; // a folder is refused by the open itself
    return Kind::Refused;      // block devices and sockets take no export
}

} // namespace

OutputFile::OutputFile(const QString &name) : FName(name) {}

OutputFile::~OutputFile() = default;

bool OutputFile::NamesStandardOutput(const QString &name)
{
    return name == u"-" || name == u"/dev/stdout";
}

bool OutputFile::Open()
{
    bool ok = false;
    if (NamesStandardOutput(FName)) {
        FInPlace = true;
        FDirect = std::make_unique<QFile>();
        ok = FDirect->open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                           QFileDevice::DontCloseHandle);
    } else {
        switch (KindOf(FName)) {
        case Kind::InPlace:
            FInPlace = true;
            // Unbuffered, so a device that refuses bytes says so at that write.
            FDirect = std::make_unique<QFile>(FName);
            ok = FDirect->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            break;
        case Kind::Refused:
            FError = QStringLiteral("not a file, character device or FIFO");
            return false;
        case Kind::Replaced:
            FReplacement = std::make_unique<QSaveFile>(FName);
            ok = FReplacement->open(QIODevice::WriteOnly);
            break;
        }
    }
    if (!ok)
        FError = File().errorString();
    return ok;
}

QFileDevice &OutputFile::File() const
{
    if (FReplacement)
        return *FReplacement;
    return *FDirect;
}

QIODevice &OutputFile::Device()
{
    return File();
}

bool OutputFile::Commit()
{
    if (!FReplacement && !FDirect)
        return false;
    const bool ok = FReplacement ? FReplacement->commit()
                                 : FDirect->error() == QFileDevice::NoError && FDirect->flush();
    if (!ok)
        FError = File().errorString();
    return ok;
}
