#include "report/expr/RepFloatFormat.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Significant digits of |value| rounded to count digits, and the decimal
// exponent of the first digit: value ≈ 0.d1d2d3… × 10^(exponent + 1).
struct Digits
{
    QString digits;
    int exponent = 0;
};

Digits SignificantDigits(double value, int count)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", count - 1, std::fabs(value));
    Digits d;
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits.append(QLatin1Char(*p));
    if (*p == 'e')
        d.exponent = std::atoi(p + 1);
    return d;
}

QString DecimalSeparator() { return QLocale().decimalPoint(); }
QString GroupSeparator() { return QLocale().groupSeparator(); }

// The layout of one section of a picture format.
struct Picture
{
    int intPlaceholders = 0;
    int minIntDigits = 0;
    int fracPlaceholders = 0;
    int minFracDigits = 0;
    bool thousands = false;
    bool scientific = false;
};

bool IsExponentAt(QStringView s, qsizetype i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

Picture ReadPicture(QStringView section)
{
    Picture p;
    bool afterPoint = false;
    int firstIntZero = -1;
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (afterPoint) {
                ++p.fracPlaceholders;
                if (c == u'0')
                    p.minFracDigits = p.fracPlaceholders;
            } else {
                if (c == u'0' && firstIntZero < 0)
                    firstIntZero = p.intPlaceholders;
                ++p.intPlaceholders;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',') {
            p.thousands = true;
        } else if (IsExponentAt(section, i)) {
            p.scientific = true;
            break; // what follows is the exponent's own layout
        }
    }
    p.minIntDigits = firstIntZero < 0 ? 0 : p.intPlaceholders - firstIntZero;
    return p;
}

// Splits a format into its sections at ";" outside quotes; nullopt-like
// false when a quote is left open.
bool SplitSections(QStringView format, QList<QStringView> &sections)
{
    QChar quote;
    qsizetype start = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(format.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(format.mid(start));
    return quote.isNull();
}

QString StripLeadingZeros(QString s)
{
    qsizetype n = 0;
    while (n < s.size() && s[n] == u'0')
        ++n;
    return s.mid(n);
}

QString TrimFraction(QString frac, int minDigits)
{
    while (frac.size() > minDigits && frac.endsWith(u'0'))
        frac.chop(1);
    return frac;
}

// Writes the digits of one section: integer digits, fraction digits and the
// exponent placed where the picture's placeholders stand.
QString Render(QStringView section, const Picture &p, const QString &intDigits, const QString &fracDigits,
               int exponent)
{
    const QString point = DecimalSeparator();
    const QString group = GroupSeparator();
    QString out;
    int intIndex = 0;
    int fracIndex = 0;
    bool afterPoint = false;
    bool intWritten = false;
    bool afterExponent = false;
    const int intLength = int(intDigits.size());
    auto writeIntDigit = [&](int position) { // position counted from the right, 0-based
        out.append(intDigits[intLength - 1 - position]);
        if (p.thousands && position > 0 && position % 3 == 0)
            out.append(group);
    };
    auto writeAllIntDigits = [&] {
        if (!intWritten)
            for (int pos = intLength - 1; pos >= 0; --pos)
                writeIntDigit(pos);
        intWritten = true;
    };
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out.append(c);
            continue;
        }
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if ((c == u'0' || c == u'#') && afterExponent) {
            // the exponent's digits are written with it
        } else if ((c == u'0' || c == u'#') && !afterPoint) {
            const int position = p.intPlaceholders - 1 - intIndex;
            if (intIndex == 0)
                for (int pos = intLength - 1; pos > position; --pos)
                    writeIntDigit(pos); // digits beyond the placeholders
            if (position >= 0 && position < intLength)
                writeIntDigit(position);
            ++intIndex;
            intWritten = true;
        } else if (c == u'0' || c == u'#') {
            if (fracIndex < fracDigits.size())
                out.append(fracDigits[fracIndex]);
            ++fracIndex;
        } else if (c == u'.') {
            if (!afterPoint) {
                writeAllIntDigits();
                if (!fracDigits.isEmpty())
                    out.append(point);
                afterPoint = true;
            }
        } else if (c == u',') {
            // only switches the thousands separators on
        } else if (IsExponentAt(section, i) && !afterExponent) {
            afterExponent = true;
            writeAllIntDigits();
            out.append(c);
            const bool alwaysSign = section[i + 1] == u'+';
            if (exponent < 0)
                out.append(u'-');
            else if (alwaysSign)
                out.append(u'+');
            i += 1;
            int width = 0;
            while (i + 1 < section.size() && section[i + 1] == u'0' && width < 4) {
                ++width;
                ++i;
            }
            out.append(QString::number(std::abs(exponent)).rightJustified(width, u'0'));
        } else {
            out.append(c);
        }
    }
    return out;
}

bool AllZero(const QString &a, const QString &b)
{
    for (QChar c : a + b)
        if (c != u'0')
            return false;
    return true;
}

} // namespace

QString FloatToText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    Digits d = SignificantDigits(value, 15);
    while (d.digits.size() > 1 && d.digits.endsWith(u'0'))
        d.digits.chop(1);
    const QString point = DecimalSeparator();
    QString out = value < 0 ? QStringLiteral("-") : QString();
    const int e = d.exponent;
    if (e < 15 && e >= -5) {
        if (e >= 0) {
            const QString intPart = d.digits.left(e + 1).leftJustified(e + 1, u'0');
            const QString frac = d.digits.mid(e + 1);
            out += intPart;
            if (!frac.isEmpty())
                out += point + frac;
        } else {
            out += QStringLiteral("0") + point + QString(-e - 1, u'0') + d.digits;
        }
    } else {
        out += d.digits.left(1);
        if (d.digits.size() > 1)
            out += point + d.digits.mid(1);
        out += QStringLiteral("E") + QString::number(e);
    }
    return out;
}

bool FormatFloatPicture(QStringView format, double value, QString &out)
{
    if (!std::isfinite(value))
        return false;
    QList<QStringView> sections;
    if (!SplitSections(format, sections))
        return false;
    QStringView section = sections[0];
    bool minus = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        minus = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    if (section.isEmpty()) {
        out = FloatToText(value);
        return true;
    }
    const Picture p = ReadPicture(section);
    const double magnitude = std::fabs(value);
    const int decimals = qMin(p.fracPlaceholders, 30);
    QString intDigits, fracDigits;
    int exponent = 0;
    if (p.scientific) {
        const int significant = qMax(p.intPlaceholders + decimals, 1);
        const Digits d = SignificantDigits(magnitude, significant);
        const int shown = qMin<int>(p.intPlaceholders, int(d.digits.size()));
        intDigits = d.digits.left(shown);
        fracDigits = d.digits.mid(shown, decimals);
        exponent = magnitude == 0 ? 0 : d.exponent + 1 - p.intPlaceholders;
    } else {
        char stack[64];
        const int needed = std::snprintf(stack, sizeof stack, "%.*f", decimals, magnitude);
        QByteArray text(needed + 1, '\0');
        std::snprintf(text.data(), size_t(text.size()), "%.*f", decimals, magnitude);
        text.truncate(needed);
        const qsizetype dot = text.indexOf('.');
        intDigits = StripLeadingZeros(QString::fromLatin1(dot < 0 ? text : text.left(dot)));
        fracDigits = dot < 0 ? QString() : QString::fromLatin1(text.mid(dot + 1));
    }
    fracDigits = TrimFraction(fracDigits, p.minFracDigits);
    if (intDigits.size() < p.minIntDigits)
        intDigits = intDigits.rightJustified(p.minIntDigits, u'0');
    QString text = Render(section, p, intDigits, fracDigits, exponent);
    if (minus && !AllZero(intDigits, fracDigits))
        text.prepend(u'-');
    out = text;
    return true;
}

bool TextToFloat(const QString &text, double &value)
{
    bool ok = false;
    const double d = QLocale().toDouble(text, &ok);
    if (!ok || !std::isfinite(d))
        return false;
    value = d;
    return true;
}

QString LocaleLongTimeText(const QTime &time)
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    format.remove(zone);
    return QLocale().toString(time, format.trimmed());
}
