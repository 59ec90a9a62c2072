#include "platform/TextFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

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

// Where the text of a file's bytes lies and whether it is UTF-8: it ends at
// the first NUL; a UTF-8 byte-order mark is left out and selects UTF-8, and
// so does text that is valid UTF-8 and not plain ASCII.
struct TextBytes
{
    QByteArrayView text;
    bool utf8;
};

TextBytes TextOf(QByteArrayView bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {bytes.sliced(3), true};
    return {bytes, IsNonAsciiUtf8(bytes)};
}

// Text that is not UTF-8 is decoded in the named 8-bit encoding.
QString Decode(QByteArrayView text, bool utf8, const QByteArray &encoding)
{
    if (utf8)
        return QString::fromUtf8(text);
    QStringDecoder decoder(encoding.constData());
    if (!decoder.isValid())
        throw AppError(QStringLiteral("The encoding %1 is not available").arg(QString::fromLatin1(encoding)));
    return decoder.decode(text);
}

QString DecodeTextOr(const QByteArray &raw, const QByteArray &encoding)
{
    const TextBytes bytes = TextOf(raw);
    return Decode(bytes.text, bytes.utf8, encoding);
}

// The character sets languages were written in before UTF-8, for locales
// that name UTF-8 or nothing.
struct LanguageEncoding
{
    const char *language;
    const char *encoding;
};
constexpr LanguageEncoding LegacyEncodings[] = {
    {"bs", "ISO-8859-2"}, {"cs", "ISO-8859-2"}, {"hr", "ISO-8859-2"}, {"hu", "ISO-8859-2"},
    {"pl", "ISO-8859-2"}, {"ro", "ISO-8859-2"}, {"sk", "ISO-8859-2"}, {"sl", "ISO-8859-2"},
    {"et", "ISO-8859-15"}, {"lt", "ISO-8859-13"}, {"lv", "ISO-8859-13"}, {"tr", "ISO-8859-9"},
    {"el", "ISO-8859-7"}, {"he", "ISO-8859-8"}, {"iw", "ISO-8859-8"}, {"ar", "ISO-8859-6"},
    {"ru", "KOI8-R"}, {"uk", "KOI8-U"}, {"be", "windows-1251"}, {"bg", "windows-1251"},
    {"mk", "ISO-8859-5"},
};

bool IsUnicodeOrAscii(const QString &codeset)
{
    QString name = codeset.toLower();
    name.remove(u'-');
    name.remove(u'_');
    return name == u"utf8" || name == u"ascii" || name == u"ansix3.41968" || name == u"usascii";
}

} // namespace

QString DecodeText(const QByteArray &raw)
{
    return DecodeTextOr(raw, QByteArrayLiteral("windows-1250"));
}

QString DecodeForeignText(const QByteArray &raw)
{
    return DecodeTextOr(raw, LegacyEncoding());
}

QByteArray LegacyEncodingOf(const QString &localeName)
{
    // language[_territory][.codeset][@modifier]
    QString name = localeName.section(u'@', 0, 0);
    const QString codeset = name.section(u'.', 1);
    if (!codeset.isEmpty() && !IsUnicodeOrAscii(codeset) && QStringDecoder(codeset.toLatin1().constData()).isValid())
        return codeset.toLatin1();
    const QString language = name.section(u'.', 0, 0).section(u'_', 0, 0).toLower();
    for (const LanguageEncoding &known : LegacyEncodings)
        if (language == QLatin1String(known.language))
            return known.encoding;
    return QByteArrayLiteral("ISO-8859-1");
}

QByteArray LegacyEncoding()
{
    for (const char *variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return LegacyEncodingOf(value);
    }
    return LegacyEncodingOf(QString());
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

QStringList DecodeLines(const QByteArray &raw)
{
    // Each piece ends with a line feed, so no line, CR LF or UTF-8 sequence
    // is cut, and the text of a long file is never held decoded whole
    // beside its lines.
    constexpr qsizetype Piece = 256 * 1024;
    const TextBytes bytes = TextOf(raw);
    const QByteArrayView text = bytes.text;
    QStringList lines;
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype feed = text.indexOf('\n', std::min(at + Piece, text.size() - 1));
        const qsizetype end = feed < 0 ? text.size() : feed + 1;
        lines += SplitLines(Decode(text.sliced(at, end - at), bytes.utf8, QByteArrayLiteral("windows-1250")));
        at = end;
    }
    return lines;
}

QStringList LoadTextFileLines(const QString &path)
{
    return DecodeLines(ReadWholeFile(path));
}
