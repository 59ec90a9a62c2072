#include "platform/ProfileFile.h"

#include "platform/AppError.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One line of the file as raw bytes (without its '\n'), so that lines the
// profile does not touch are written back byte for byte.
using RawLines = QList<QByteArray>;

QByteArray LineText(const QByteArray &raw)
{
    return raw.endsWith('\r') ? raw.first(raw.size() - 1) : raw;
}

// The section name of a "[Name]" line; false for any other line.
bool SectionName(const QByteArray &raw, QString *name)
{
    const QByteArray line = LineText(raw).trimmed();
    if (!line.startsWith('['))
        return false;
    int end = line.indexOf(']');
    if (end < 0)
        end = line.size();
    *name = QString::fromUtf8(line.mid(1, end - 1)).trimmed();
    return true;
}

// The key and the raw value of a "Key=Value" line; false for any other line
// (blank lines, comments, section lines, lines without '=').
bool KeyLine(const QByteArray &raw, QString *key, QByteArray *value)
{
    const QByteArray line = LineText(raw);
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('['))
        return false;
    const int eq = line.indexOf('=');
    if (eq < 0)
        return false;
    *key = QString::fromUtf8(line.first(eq)).trimmed();
    if (value)
        *value = line.mid(eq + 1);
    return !key->isEmpty();
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct Position
{
    qsizetype sectionLine = -1; // the "[Section]" line of the first matching section
    qsizetype keyLine = -1;     // the first matching key line in that section
    qsizetype lastLine = -1;    // last non-blank line of that section
};

Position Find(const RawLines &lines, const QString &section, const QString &key)
{
    Position pos;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (SectionName(lines[i], &name)) {
            if (inSection)
                break; // only the first matching section counts
            if (SameName(name, section)) {
                inSection = true;
                pos.sectionLine = i;
                pos.lastLine = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!LineText(lines[i]).trimmed().isEmpty())
            pos.lastLine = i;
        QString k;
        if (pos.keyLine < 0 && KeyLine(lines[i], &k, nullptr) && SameName(k, key))
            pos.keyLine = i;
    }
    return pos;
}

QString CleanValue(const QByteArray &raw)
{
    QString value = QString::fromUtf8(raw).trimmed();
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(ProfileFile::MaxValueLength);
}

QByteArray EncodeLine(const QString &text)
{
    QString clean = text;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    return clean.toUtf8();
}

bool UsesCrLf(const RawLines &lines)
{
    for (const QByteArray &l : lines)
        if (l.endsWith('\r'))
            return true;
    return false;
}

[[noreturn]] void Refused(const QString &path)
{
    throw AppError(QStringLiteral("Unable to write to %1").arg(path));
}

bool WriteAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

// The file a write replaces: a symbolic link is followed, so the link stays.
QString ReplacedFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return info.symLinkTarget();
    return info.absoluteFilePath();
}

// Writes bytes to a temporary file beside target, syncs it and renames it
// over target. Returns false when any step fails; the old file then stands.
bool ReplaceAtomically(const QString &target, const QByteArray &bytes)
{
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QByteArray tmpl = QFile::encodeName(folder + "/." + info.fileName() + ".XXXXXX");
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    struct stat old {};
    const mode_t mode = ::stat(QFile::encodeName(target).constData(), &old) == 0
                            ? (old.st_mode & 07777) : mode_t(0644);
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmpl.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        ::unlink(tmpl.constData());
        return false;
    }
    // Make the rename itself durable; a failure here leaves a complete file.
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

bool ParseProfileInteger(const QString &text, int *value)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        negative = t[i++] == u'-';
    int base = 10;
    if (t.mid(i, 2).compare(u"0x", Qt::CaseInsensitive) == 0) {
        base = 16;
        i += 2;
    } else if (i < t.size() && t[i] == u'$') {
        base = 16;
        i += 1;
    }
    if (i >= t.size())
        return false;
    std::uint64_t magnitude = 0;
    for (; i < t.size(); ++i) {
        const int digit = t[i].isDigit() && t[i].unicode() < 128 ? t[i].unicode() - '0'
                          : base == 16 && t[i].unicode() < 128 && std::isxdigit(t[i].unicode())
                              ? 10 + (t[i].toLower().unicode() - 'a')
                              : -1;
        if (digit < 0)
            return false;
        magnitude = magnitude * std::uint64_t(base) + std::uint64_t(digit);
        if (magnitude > 0xFFFFFFFFull)
            return false;
    }
    std::int64_t result;
    if (base == 16) {
        // Hex spells the 32 bits themselves: $FFFFFFFF is -1.
        result = std::int32_t(std::uint32_t(magnitude));
        if (negative)
            result = -result;
    } else {
        result = negative ? -std::int64_t(magnitude) : std::int64_t(magnitude);
    }
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    *value = int(result);
    return true;
}

ProfileFile::ProfileFile(QString path) : FPath(std::move(path)) {}

namespace {

// The file's lines, and the byte-order marks that stand before the first
// line: they are kept as they were, so a write never eats one of them.
struct Contents
{
    QByteArray marks;
    RawLines lines;
};

Contents Split(QByteArray bytes)
{
    Contents c;
    qsizetype marks = 0;
    while (QByteArrayView(bytes).sliced(marks).startsWith("\xEF\xBB\xBF"))
        marks += 3;
    c.marks = bytes.first(marks);
    bytes.remove(0, marks);
    c.lines = bytes.split('\n');
    if (!c.lines.isEmpty() && c.lines.back().isEmpty())
        c.lines.removeLast(); // the file's final line break
    return c;
}

// For reading: a file that is missing or cannot be read reads as empty.
Contents LoadForReading(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Split(file.readAll());
}

// For a write: only a missing file may start empty. One that is there but
// cannot be read, is no regular file or refuses writing is never replaced,
// whatever its folder would allow, so nothing the user keeps in it is lost.
Contents LoadForWriting(const QString &path)
{
    const QString target = ReplacedFile(path);
    struct stat st {};
    if (::stat(QFile::encodeName(target).constData(), &st) != 0) {
        if (errno != ENOENT)
            Refused(path);
        return {};
    }
    if (!S_ISREG(st.st_mode))
        Refused(path);
    const int writable = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (writable < 0)
        Refused(path);
    ::close(writable);
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly))
        Refused(path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        Refused(path);
    return Split(std::move(bytes));
}

void Store(const QString &path, const Contents &c)
{
    QByteArray bytes = c.marks;
    for (const QByteArray &l : c.lines) {
        bytes += l;
        bytes += '\n';
    }
    if (!ReplaceAtomically(ReplacedFile(path), bytes))
        Refused(path);
}
} // namespace

bool ProfileFile::Lookup(const QString &section, const QString &key, QString *value) const
{
    const RawLines lines = LoadForReading(FPath).lines;
    const Position pos = Find(lines, section, key);
    if (pos.keyLine < 0)
        return false;
    QString k;
    QByteArray raw;
    KeyLine(lines[pos.keyLine], &k, &raw);
    *value = CleanValue(raw);
    return true;
}

bool ProfileFile::KeyExists(const QString &section, const QString &key) const
{
    QString ignored;
    return Lookup(section, key, &ignored);
}

QString ProfileFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    QString value;
    return Lookup(section, key, &value) ? value : def;
}

int ProfileFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    QString text;
    int value = def;
    if (Lookup(section, key, &text) && ParseProfileInteger(text, &value))
        return value;
    return def;
}

bool ProfileFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    Contents contents = LoadForWriting(FPath);
    RawLines &lines = contents.lines;
    const QByteArray eol = UsesCrLf(lines) ? QByteArray("\r") : QByteArray();
    const QByteArray keyLine = EncodeLine(key + u'=' + value) + eol;
    const Position pos = Find(lines, section, key);
    if (pos.keyLine >= 0) {
        lines[pos.keyLine] = keyLine;
    } else if (pos.sectionLine >= 0) {
        lines.insert(pos.lastLine + 1, keyLine);
    } else {
        if (!lines.isEmpty() && !LineText(lines.back()).trimmed().isEmpty())
            lines.append(eol);
        lines.append(EncodeLine(u'[' + section + u']') + eol);
        lines.append(keyLine);
    }
    Store(FPath, contents);
}

void ProfileFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void ProfileFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::DeleteKey(const QString &section, const QString &key)
{
    // Nothing to remove means nothing to write, whatever the file allows.
    if (!KeyExists(section, key))
        return;
    Contents contents = LoadForWriting(FPath);
    const qsizetype line = Find(contents.lines, section, key).keyLine;
    if (line < 0)
        return;
    contents.lines.removeAt(line);
    Store(FPath, contents);
}

ProfileFile::Entries ProfileFile::ReadSection(const QString &section) const
{
    const RawLines lines = LoadForReading(FPath).lines;
    const Position pos = Find(lines, section, QString());
    Entries entries;
    if (pos.sectionLine < 0)
        return entries;
    for (qsizetype i = pos.sectionLine + 1; i <= pos.lastLine; ++i) {
        QString key;
        QByteArray raw;
        if (!KeyLine(lines[i], &key, &raw))
            continue;
        const bool seen =
            std::any_of(entries.begin(), entries.end(), [&](const auto &e) { return SameName(e.first, key); });
        if (!seen)
            entries.append({key, CleanValue(raw)});
    }
    return entries;
}

void ProfileFile::WriteSection(const QString &section, const Entries &entries)
{
    if (entries.isEmpty() && Find(LoadForReading(FPath).lines, section, QString()).sectionLine < 0)
        return;
    Contents contents = LoadForWriting(FPath);
    RawLines &lines = contents.lines;
    const QByteArray eol = UsesCrLf(lines) ? QByteArray("\r") : QByteArray();
    RawLines keyLines;
    for (const auto &[key, value] : entries)
        keyLines.append(EncodeLine(key + u'=' + value) + eol);
    const Position pos = Find(lines, section, QString());
    qsizetype at = pos.sectionLine + 1;
    if (pos.sectionLine < 0) {
        if (!lines.isEmpty() && !LineText(lines.back()).trimmed().isEmpty())
            lines.append(eol);
        lines.append(EncodeLine(u'[' + section + u']') + eol);
        at = lines.size();
    } else {
        for (qsizetype i = pos.lastLine; i > pos.sectionLine; --i) {
            QString key;
            if (KeyLine(lines[i], &key, nullptr))
                lines.removeAt(i);
        }
    }
    for (qsizetype k = 0; k < keyLines.size(); ++k)
        lines.insert(at + k, keyLines[k]);
    Store(FPath, contents);
}
