#include "platform/TextFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QStringDecoder>

namespace {

// True when bytes form valid UTF-8 (shortest forms, no surrogates, at most
// U+10FFFF) and at least one byte is not ASCII.
bool IsNonAsciiUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    bool nonAscii = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        nonAscii = true;
        int follow = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + follow >= n)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (int k = 2; k <= follow; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        i += follow + 1;
    }
    return nonAscii;
}

} // namespace

QString DecodeText(const QByteArray &raw)
{
    QByteArrayView bytes(raw);
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (IsNonAsciiUtf8(bytes))
        return QString::fromUtf8(bytes);
    QStringDecoder cp1250("windows-1250");
    if (!cp1250.isValid())
        throw AppError(QStringLiteral("Code page 1250 is not available"));
    return cp1250.decode(bytes);
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
    return bytes;
}

QStringList LoadTextFileLines(const QString &path)
{
    return SplitLines(DecodeText(ReadWholeFile(path)));
}
