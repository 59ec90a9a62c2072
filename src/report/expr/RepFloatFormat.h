#pragma once
// Number, time and date conversions of the report engine, in the user's locale
// (QLocale() — the default locale, which tests pin with QLocale::setDefault).

#include <QDate>
#include <QString>
#include <QTime>
#include <QStringView>

// The general format: the shortest text of at most 15 significant digits,
// without trailing zeros, in fixed notation when the value is at least 0.00001
// and has at most 15 digits before the decimal separator, otherwise in
// scientific notation ("1.5E-6", "1E20"). The decimal separator is the
// locale's. Infinities and NaN give "INF", "-INF" and "NAN".
QString FloatToText(double value);

// Formats value with a picture format: "0" (digit, always shown) and "#"
// (digit, shown when significant) placeholders, "." (locale decimal separator,
// first one counts), "," anywhere (locale thousands separators), "E+", "E-",
// "e+", "e-" followed by up to four "0" (scientific notation with at least
// that many exponent digits; "+" always shows the sign), text between single
// or double quotes verbatim, other characters verbatim, and up to three
// sections separated by ";" (positive;negative;zero — the negative section
// shows the absolute value, an empty section falls back to the first). An
// empty format gives FloatToText. Returns false — and leaves out untouched —
// when the value is not finite or the format has an unterminated quote.
bool FormatFloatPicture(QStringView format, double value, QString &out);

// Converts a float text written with the locale's decimal separator (digits,
// signs, separator, "E"/"e" exponent). False when it is not a finite number.
bool TextToFloat(const QString &text, double &value);

// A time of day in the locale's long time format, without a time zone (a
// time of day printed on a report carries none).
QString LocaleLongTimeText(const QTime &time);
