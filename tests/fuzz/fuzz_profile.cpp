// Feeds arbitrary bytes to the settings-file reader and writer as the
// contents of a settings file: reads must never crash, and a value written
// must read back as written while the other lines of the file stay.
#include "platform/ProfileFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A memory-backed folder where there is one: every write syncs the file.
    static const QString base = QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                    ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static const QString path =
        base + "/fuzz_profile_" + QString::number(::getpid()) + "/Zumoria.ini";
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }

    // Section and key names taken from the input itself as well as the
    // program's own.
    const QList<QByteArray> parts = bytes.split('\n');
    const QString some = QString::fromUtf8(parts.value(0).left(16)).trimmed();
    ProfileFile ini(path);
    for (const QString &section : {QStringLiteral("Screen"), QStringLiteral("File"), some}) {
        for (const QString &key : {QStringLiteral("Color"), QStringLiteral("File0"), some}) {
            ini.ReadString(section, key, QStringLiteral("d"));
            ini.ReadInteger(section, key, 1);
            ini.ReadBool(section, key, true);
        }
    }
    int ignored = 0;
    ParseProfileInteger(QString::fromUtf8(bytes), &ignored);

    // A plain section/key/value written into any file reads back exactly.
    ini.WriteInteger(QStringLiteral("Screen"), QStringLiteral("Color"), 3);
    if (ini.ReadInteger(QStringLiteral("Screen"), QStringLiteral("Color"), 0) != 3)
        std::abort();
    ini.WriteString(QStringLiteral("File"), QStringLiteral("File0"), QStringLiteral("/a/b.vicc"));
    if (ini.ReadString(QStringLiteral("File"), QStringLiteral("File0"), QString()) != QStringLiteral("/a/b.vicc"))
        std::abort();
    ini.DeleteKey(QStringLiteral("File"), QStringLiteral("File0"));
    return 0;
}
