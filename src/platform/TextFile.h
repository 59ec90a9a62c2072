#pragma once
// Text files as the joke viewer reads them: bytes decoded as code page 1250
// (joke files) or in the user's legacy encoding (texts from elsewhere), or as
// UTF-8 when the bytes say so, cut into lines.

#include <QByteArray>
#include <QString>
#include <QStringList>

// Decodes the bytes of a text file. The text ends at the first NUL byte. A
// leading UTF-8 byte-order mark is dropped and selects UTF-8; so does text
// that is valid UTF-8 and holds at least one non-ASCII byte. Everything else
// is code page 1250.
QString DecodeText(const QByteArray &bytes);

// Decodes the bytes of a text written outside the program (a fortune file)
// by the rules of DecodeText, except that text which is not UTF-8 is read in
// LegacyEncoding() instead of code page 1250.
QString DecodeForeignText(const QByteArray &bytes);

// The 8-bit encoding a locale name ("hu_HU.ISO-8859-2", "de_DE.UTF-8@euro",
// "C") stands for: the character set it names when that is neither UTF-8 nor
// ASCII and known to the decoders; else the one its language was written in
// before UTF-8 (hu, cs, pl … ISO-8859-2, ru KOI8-R, el ISO-8859-7, …); else
// ISO-8859-1.
QByteArray LegacyEncodingOf(const QString &localeName);
// LegacyEncodingOf the user's locale for characters: LC_ALL, else LC_CTYPE,
// else LANG.
QByteArray LegacyEncoding();

// Cuts a text into lines: CR LF, LF and a lone CR each end a line; a last
// line without an end is kept; an empty text gives no lines.
QStringList SplitLines(const QString &text);

// The bytes of the file at path. Raises AppError with the platform's text
// when the file cannot be opened or read.
QByteArray ReadWholeFile(const QString &path);

// The lines of the bytes of a text file: SplitLines(DecodeText(bytes)),
// decoded a piece at a time, so a long text is never held decoded whole
// beside its lines.
QStringList DecodeLines(const QByteArray &bytes);

// Reads the regular file at path whole and returns its lines (DecodeLines).
// Raises AppError with the platform's text when the file cannot be opened or
// read.
QStringList LoadTextFileLines(const QString &path);
