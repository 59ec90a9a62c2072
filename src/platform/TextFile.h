#pragma once
// Text files as the joke viewer reads them: bytes decoded as code page 1250,
// or as UTF-8 when the bytes say so, cut into lines.

#include <QByteArray>
#include <QString>
#include <QStringList>

// Decodes the bytes of a text file. The text ends at the first NUL byte. A
// leading UTF-8 byte-order mark is dropped and selects UTF-8; so does text
// that is valid UTF-8 and holds at least one non-ASCII byte. Everything else
// is code page 1250.
QString DecodeText(const QByteArray &bytes);

// Cuts a text into lines: CR LF, LF and a lone CR each end a line; a last
// line without an end is kept; an empty text gives no lines.
QStringList SplitLines(const QString &text);

// The bytes of the file at path. Raises AppError with the platform's text
// when the file cannot be opened or read.
QByteArray ReadWholeFile(const QString &path);

// Reads the regular file at path whole and returns its lines (DecodeText,
// then SplitLines). Raises AppError with the platform's text when the file
// cannot be opened or read.
QStringList LoadTextFileLines(const QString &path);
