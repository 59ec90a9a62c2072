#pragma once
// The value every expression element produces: a small fixed-size record
// copied by value. Strings (and error messages) are held inline and never
// exceed MaxResultText characters, so passing results between elements of a
// compiled expression never allocates.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <cstring>

enum EvalKind : quint8 {
    KindInteger = 0,
    KindFloat = 1,
    KindString = 2,
    KindBoolean = 3,
    KindError = 4,
};

// Longest text a result holds; every conversion of text into a result cuts
// the text to this many characters (UTF-16 code units).
inline constexpr int MaxResultText = 255;

class EvalResult
{
public:
    // Integer 0.
    EvalResult() noexcept : FKind(KindInteger), FLength(0) { FValue.Integer = 0; }
    EvalResult(const EvalResult &other) noexcept { CopyFrom(other); }
    EvalResult &operator=(const EvalResult &other) noexcept
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    static EvalResult FromInteger(qint32 n) noexcept { EvalResult r; r.SetInteger(n); return r; }
    static EvalResult FromFloat(double d) noexcept { EvalResult r; r.SetFloat(d); return r; }
    static EvalResult FromBoolean(bool b) noexcept { EvalResult r; r.SetBoolean(b); return r; }
    // Text longer than MaxResultText is cut.
    static EvalResult FromString(QStringView s) noexcept { EvalResult r; r.SetString(s); return r; }
    static EvalResult FromError(QStringView message) noexcept { EvalResult r; r.SetError(message); return r; }

    EvalKind Kind() const noexcept { return FKind; }
    bool IsError() const noexcept { return FKind == KindError; }

    // Readers: valid only for the matching kind.
    qint32 AsInteger() const noexcept { return FValue.Integer; }
    double AsFloat() const noexcept { return FValue.Float; }
    bool AsBoolean() const noexcept { return FValue.Boolean; }
    // The string of a KindString result, the message of a KindError result.
    QStringView TextView() const noexcept { return QStringView(FText, FLength); }
    QString Text() const { return TextView().toString(); }
    int TextLength() const noexcept { return FLength; }

    void SetInteger(qint32 n) noexcept { FKind = KindInteger; FValue.Integer = n; }
    void SetFloat(double d) noexcept { FKind = KindFloat; FValue.Float = d; }
    void SetBoolean(bool b) noexcept { FKind = KindBoolean; FValue.Boolean = b; }
    void SetString(QStringView s) noexcept { FKind = KindString; AssignText(s); }
    void SetError(QStringView message) noexcept { FKind = KindError; AssignText(message); }
    // Appends to the string of a KindString result, cut at MaxResultText.
    void AppendText(QStringView s) noexcept
    {
        const qsizetype n = qMin<qsizetype>(s.size(), MaxResultText - FLength);
        if (n > 0)
            std::memcpy(FText + FLength, s.utf16(), size_t(n) * sizeof(char16_t));
        FLength = quint8(FLength + n);
    }

private:
    void AssignText(QStringView s) noexcept
    {
        const qsizetype n = qMin<qsizetype>(s.size(), MaxResultText);
        if (n > 0)
            std::memcpy(FText, s.utf16(), size_t(n) * sizeof(char16_t));
        FLength = quint8(n);
    }
    void CopyFrom(const EvalResult &o) noexcept
    {
        FKind = o.FKind;
        FValue = o.FValue;
        FLength = o.FLength;
        if (FKind == KindString || FKind == KindError)
            std::memcpy(FText, o.FText, size_t(FLength) * sizeof(char16_t));
    }

    EvalKind FKind;
    quint8 FLength; // characters used in FText (string and error kinds)
    union {
        qint32 Integer;
        double Float;
        bool Boolean;
    } FValue;
    char16_t FText[MaxResultText];
};

// The text of a result: integers in decimal, floats in the general format with
// 15 significant digits and the locale's decimal separator (FloatToText),
// strings unchanged, booleans "True" / "False". An error result raises AppError
// with "Error in expression : " followed by its message.
QString ResultToText(const EvalResult &result);

// Human-readable form of any result for diagnostics and test output; never raises.
QString DescribeResult(const EvalResult &result);
