#include "report/expr/detail/RepExprLibrary.h"

#include "report/expr/detail/RepExprElements.h"
#include "report/expr/RepFloatFormat.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <cmath>
#include <limits>

namespace {

using namespace RepExprText;

void Fail(EvalResult &out, const char *text, const QString &a = QString())
{
    out.SetError(Message(text, a));
}

bool IsNumeric(const EvalResult &r) { return r.Kind() == KindInteger || r.Kind() == KindFloat; }
double NumericValue(const EvalResult &r) { return r.Kind() == KindInteger ? r.AsInteger() : r.AsFloat(); }

// A float as a 32-bit integer, false when it does not fit.
bool FitsInteger(double d) { return d >= -2147483648.0 && d <= 2147483647.0; }

template <bool Value>
class TRepEvBooleanConstant : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (ArgCount() == 0)
            out.SetBoolean(Value);
        else
            Fail(out, TooManyArguments);
    }
};
using TRepEvTrue = TRepEvBooleanConstant<true>;
using TRepEvFalse = TRepEvBooleanConstant<false>;

class TRepEvIfFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (ArgCount() == 3 && Arg(0).IsError())
            out = Arg(0);
        else if (ArgCount() == 3 && Arg(0).Kind() == KindBoolean)
            out = Arg(0).AsBoolean() ? Arg(1) : Arg(2);
        else
            Fail(out, WrongArguments, QStringLiteral("IF"));
    }
};

class TRepEvTypeOfFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        static const char16_t *const names[] = {u"INTEGER", u"FLOAT", u"STRING", u"BOOLEAN", u"ERROR"};
        if (ArgCount() == 1)
            out.SetString(QStringView(names[Arg(0).Kind()]));
        else
            Fail(out, WrongArguments, QStringLiteral("TypeOf"));
    }
};

class TRepEvIntFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        if (ArgCount() == 1 && Arg(0).Kind() == KindInteger) {
            out = Arg(0);
        } else if (ArgCount() == 1 && Arg(0).Kind() == KindFloat && FitsInteger(std::trunc(Arg(0).AsFloat()))) {
            out.SetInteger(qint32(std::trunc(Arg(0).AsFloat())));
        } else {
            Fail(out, WrongArguments, QStringLiteral("INT"));
        }
    }
};

class TRepEvFracFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        if (ArgCount() == 1 && Arg(0).Kind() == KindInteger) {
            out.SetFloat(0.0);
        } else if (ArgCount() == 1 && Arg(0).Kind() == KindFloat) {
            double whole;
            out.SetFloat(std::modf(Arg(0).AsFloat(), &whole));
        } else {
            Fail(out, WrongArguments, QStringLiteral("FRAC"));
        }
    }
};

class TRepEvSQRTFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        if (ArgCount() == 1 && IsNumeric(Arg(0)) && NumericValue(Arg(0)) >= 0)
            out.SetFloat(std::sqrt(NumericValue(Arg(0))));
        else
            Fail(out, InvalidSqrt);
    }
};

class TRepEvDivFunction : public TRepEvElementFunction
{
    // Floats are rounded to the nearest integer, halves to the even one.
    static bool Whole(const EvalResult &r, qint32 &n)
    {
        if (r.Kind() == KindInteger) {
            n = r.AsInteger();
            return true;
        }
        if (r.Kind() != KindFloat)
            return false;
        const double d = std::nearbyint(r.AsFloat());
        if (!FitsInteger(d))
            return false;
        n = qint32(d);
        return true;
    }

    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        qint32 a = 0, b = 0;
        if (ArgCount() != 2 || !Whole(Arg(0), a) || !Whole(Arg(1), b))
            Fail(out, WrongArguments, QStringLiteral("DIV"));
        else if (b == 0)
            Fail(out, DivisionByZero);
        else if (a == std::numeric_limits<qint32>::min() && b == -1)
            out.SetInteger(a); // the one quotient that does not fit wraps around
        else
            out.SetInteger(a / b);
    }
};

class TRepEvStrFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (ArgCount() != 1) {
            Fail(out, ConversionError);
            return;
        }
        switch (Arg(0).Kind()) {
        case KindInteger:
        case KindFloat: out.SetString(ResultToText(Arg(0))); break;
        case KindBoolean: out.SetString(QString::fromLatin1(Arg(0).AsBoolean() ? TrueText : FalseText)); break;
        default: Fail(out, ConversionError); break;
        }
    }
};

// UPPER, LOWER and PRETTY: one string argument.
class TRepEvCaseFunction : public TRepEvElementFunction
{
protected:
    virtual QString Convert(const QString &s) const = 0;
    virtual QString Title() const = 0;

private:
    void Compute(EvalResult &out) override
    {
        if (ArgCount() != 1)
            Fail(out, MissingArgument, Title());
        else if (Arg(0).IsError())
            out = Arg(0);
        else if (Arg(0).Kind() != KindString)
            Fail(out, WrongArguments, Title());
        else
            out.SetString(Convert(Arg(0).Text()));
    }
};

class TRepEvUpperFunction : public TRepEvCaseFunction
{
    QString Convert(const QString &s) const override { return QLocale().toUpper(s); }
    QString Title() const override { return QStringLiteral("UPPER"); }
};

class TRepEvLowerFunction : public TRepEvCaseFunction
{
    QString Convert(const QString &s) const override { return QLocale().toLower(s); }
    QString Title() const override { return QStringLiteral("LOWER"); }
};

class TRepEvPrettyFunction : public TRepEvCaseFunction
{
    QString Convert(const QString &s) const override
    {
        if (s.isEmpty())
            return s;
        // A character outside the basic plane takes two code units.
        const qsizetype head = (s.size() > 1 && s[0].isHighSurrogate()) ? 2 : 1;
        return QLocale().toUpper(s.left(head)) + QLocale().toLower(s.mid(head));
    }
    QString Title() const override { return QStringLiteral("PRETTY"); }
};

class TRepEvTimeFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (ArgCount() != 0) {
            Fail(out, WrongArguments, QStringLiteral("TIME"));
            return;
        }
        out.SetString(LocaleLongTimeText(QTime::currentTime()));
    }
};

class TRepEvDateFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (ArgCount() != 0)
            Fail(out, WrongArguments, QStringLiteral("DATE"));
        else
            out.SetString(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    }
};

class TRepEvCopyFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        if (ArgCount() != 3 || Arg(0).Kind() != KindString || Arg(1).Kind() != KindInteger
            || Arg(2).Kind() != KindInteger) {
            Fail(out, WrongArguments, QStringLiteral("COPY"));
            return;
        }
        const QStringView text = Arg(0).TextView();
        const qsizetype size = text.size();
        qsizetype start = qMax<qint32>(Arg(1).AsInteger(), 1) - 1;
        const qint32 length = Arg(2).AsInteger();
        if (start >= size || length <= 0) {
            out.SetString(QStringView());
            return;
        }
        // Never split a character made of two code units.
        if (start > 0 && text[start].isLowSurrogate())
            ++start;
        qsizetype end = start + qMin<qsizetype>(length, size - start);
        if (end > start && text[end - 1].isHighSurrogate())
            --end;
        const QString piece = text.mid(start, end - start).toString();
        out.SetString(piece);
    }
};

class TRepEvFormatNumericFunction : public TRepEvElementFunction
{
    void Compute(EvalResult &out) override
    {
        if (PassError(out))
            return;
        if (ArgCount() != 2 || Arg(0).Kind() != KindString || !IsNumeric(Arg(1))) {
            Fail(out, WrongArguments, QStringLiteral("FORMATNUMERIC"));
            return;
        }
        QString text;
        if (FormatFloatPicture(Arg(0).TextView(), NumericValue(Arg(1)), text))
            out.SetString(text);
        else
            Fail(out, InvalidFormat);
    }
};

// SUM: a running total whose kind the first value sets.
class TRepEvSumFunction : public TRepEvElementFunction
{
public:
    TRepEvSumFunction() { FAggregate = true; }
    void ResetAggregate() override { FAssigned = false; }

protected:
    void AddValue(const QString &title)
    {
        if (ArgCount() != 1) {
            Fail(FValue, WrongArguments, title);
            FAssigned = true;
            return;
        }
        const EvalResult &v = Arg(0);
        if (!FAssigned) {
            FAssigned = true;
            if (IsNumeric(v) || v.IsError())
                FValue = v;
            else
                Fail(FValue, WrongArguments, title);
        } else if (FValue.IsError()) {
            // stays an error until reset
        } else if (v.IsError()) {
            FValue = v;
        } else if (!IsNumeric(v)) {
            Fail(FValue, WrongArguments, title);
        } else if (FValue.Kind() == KindInteger && v.Kind() == KindInteger) {
            FValue.SetInteger(qint32(quint32(FValue.AsInteger()) + quint32(v.AsInteger())));
        } else {
            FValue.SetFloat(NumericValue(FValue) + NumericValue(v));
        }
    }
    void Accumulate() override { AddValue(QStringLiteral("SUM")); }
    void Compute(EvalResult &out) override
    {
        if (FAssigned)
            out = FValue;
        else
            out.SetInteger(0);
    }

    EvalResult FValue;
    bool FAssigned = false;
};

class TRepEvAverageFunction : public TRepEvSumFunction
{
public:
    TRepEvAverageFunction() { FResult.SetFloat(0.0); }
    void ResetAggregate() override
    {
        TRepEvSumFunction::ResetAggregate();
        FCount = 0;
        FResult.SetFloat(0.0);
    }

private:
    void Accumulate() override
    {
        AddValue(QStringLiteral("AVERAGE"));
        ++FCount;
        if (FValue.IsError())
            FResult = FValue;
        else
            FResult.SetFloat(NumericValue(FValue) / FCount);
    }
    void Compute(EvalResult &out) override { out = FResult; }

    qint32 FCount = 0;
    EvalResult FResult;
};

// MAX and MIN: the first value, replaced by later ones that are greater
// (MAX) or smaller (MIN) by the stored value's kind.
class TRepEvExtremeFunction : public TRepEvElementFunction
{
public:
    TRepEvExtremeFunction() { FAggregate = true; }
    void ResetAggregate() override { FAssigned = false; }

protected:
    virtual bool Replaces(int comparison) const = 0; // comparison of new against stored
    virtual QString Title() const = 0;

private:
    // <0, 0, >0 as v is below, equal to or above the stored value; false when
    // the two cannot be compared.
    bool CompareWithStored(const EvalResult &v, int &comparison) const
    {
        if (IsNumeric(FValue) && IsNumeric(v)) {
            const double a = NumericValue(v), b = NumericValue(FValue);
            comparison = a < b ? -1 : (a > b ? 1 : 0);
            return true;
        }
        if (FValue.Kind() != v.Kind())
            return false;
        if (v.Kind() == KindString)
            comparison = std::u16string_view(v.TextView().utf16(), size_t(v.TextLength()))
                             .compare(std::u16string_view(FValue.TextView().utf16(), size_t(FValue.TextLength())));
        else
            comparison = int(v.AsBoolean()) - int(FValue.AsBoolean());
        return true;
    }

    void Accumulate() override
    {
        if (ArgCount() != 1) {
            Fail(FValue, WrongArguments, Title());
            FAssigned = true;
            return;
        }
        const EvalResult &v = Arg(0);
        int comparison = 0;
        if (!FAssigned) {
            FValue = v;
            FAssigned = true;
        } else if (FValue.IsError()) {
            // stays an error until reset
        } else if (v.IsError()) {
            FValue = v;
        } else if (!CompareWithStored(v, comparison)) {
            Fail(FValue, WrongArguments, Title());
        } else if (Replaces(comparison)) {
            FValue = v;
        }
    }
    void Compute(EvalResult &out) override
    {
        if (FAssigned)
            out = FValue;
        else
            out.SetInteger(0);
    }

    EvalResult FValue;
    bool FAssigned = false;
};

class TRepEvMaxFunction : public TRepEvExtremeFunction
{
    bool Replaces(int comparison) const override { return comparison > 0; }
    QString Title() const override { return QStringLiteral("MAX"); }
};

class TRepEvMinFunction : public TRepEvExtremeFunction
{
    bool Replaces(int comparison) const override { return comparison < 0; }
    QString Title() const override { return QStringLiteral("MIN"); }
};

class TRepEvCountFunction : public TRepEvElementFunction
{
public:
    TRepEvCountFunction() { FAggregate = true; }
    void ResetAggregate() override { FCount = 0; }

private:
    void Accumulate() override { ++FCount; }
    void Compute(EvalResult &out) override
    {
        if (ArgCount() == 0)
            out.SetInteger(FCount);
        else
            out.SetError(QStringLiteral("COUNT - ") + QLatin1String(TooManyArguments));
    }

    qint32 FCount = 0;
};

template <class T>
std::unique_ptr<TRepEvElementFunction> MakeElement()
{
    return std::make_unique<T>();
}

TRepFunctionLibrary *BuildLibrary()
{
    auto *lib = new TRepFunctionLibrary;
    const QString vendor = QStringLiteral("Zumoria");
    auto reg = [&](TRepEvElementClass cls, const char *name, const char *spec, const char *usage, const char *what) {
        lib->RegisterFunction(cls, QLatin1String(name), QLatin1String(spec), vendor,
                              QLatin1String(usage) + QLatin1String(what));
    };
    reg(MakeElement<TRepEvIfFunction>, "IF", "5BVV", "IF(<Exp>, <X>, <Y>)|",
        "Returns <X> or <Y> depending on the boolean expression <Exp>");
    reg(MakeElement<TRepEvStrFunction>, "STR", "7N", "STR(<X>)|", "Convert a numeric <X> to a string");
    reg(MakeElement<TRepEvUpperFunction>, "UPPER", "7S", "UPPER(<X>)|", "Converts a string to upper case letters");
    reg(MakeElement<TRepEvLowerFunction>, "LOWER", "7S", "LOWER(<X>)|", "Converts a string to lower case letters");
    reg(MakeElement<TRepEvPrettyFunction>, "PRETTY", "7S", "PRETTY(<X>)|",
        "Makes the first character upper case and the rest lower case");
    reg(MakeElement<TRepEvTimeFunction>, "TIME", "1", "TIME|", "Return current time as a string");
    reg(MakeElement<TRepEvDateFunction>, "DATE", "1", "DATE|", "Return current date as a string");
    reg(MakeElement<TRepEvCopyFunction>, "COPY", "7SNN", "COPY(<X>, <St>,<Len>)|", "Returns a substring of string X");
    reg(MakeElement<TRepEvSumFunction>, "SUM", "3N", "SUM(<X>)|", "Sums the numeric <X>");
    reg(MakeElement<TRepEvCountFunction>, "COUNT", "3", "COUNT|", "Increments for each iteration");
    reg(MakeElement<TRepEvMaxFunction>, "MAX", "3V", "MAX(<X>)|", "Returns the highest <X>");
    reg(MakeElement<TRepEvMinFunction>, "MIN", "3V", "MIN(<X>)|", "Returns the lowest <X>");
    reg(MakeElement<TRepEvAverageFunction>, "AVERAGE", "3N", "AVERAGE(<X>)|", "Returns the average of numeric <X>");
    reg(MakeElement<TRepEvTrue>, "TRUE", "5", "TRUE|", "boolean value");
    reg(MakeElement<TRepEvFalse>, "FALSE", "5", "FALSE|", "boolean value");
    reg(MakeElement<TRepEvIntFunction>, "INT", "2N", "INT(<X>)|", "Returns the integer part of <X>");
    reg(MakeElement<TRepEvFracFunction>, "FRAC", "2N", "FRAC(<X>)|", "Returns the fractional part of <X>");
    reg(MakeElement<TRepEvSQRTFunction>, "SQRT", "2N", "SQRT(<X>)|", "Returns square root of <X>");
    reg(MakeElement<TRepEvDivFunction>, "DIV", "2NN", "DIV(<X>, <Y>) | ", "Integer division of <X> by <Y>");
    reg(MakeElement<TRepEvTypeOfFunction>, "TYPEOF", "6N", "TYPEOF(<Exp>)|", "Returns the data type of <Exp>");
    reg(MakeElement<TRepEvFormatNumericFunction>, "FORMATNUMERIC", "7SN", "FORMATNUMERIC(<F>,<N>)|",
        "Formats numeric <N> using the mask in <F>");
    return lib;
}

} // namespace

const TRepLibraryEntry *TRepLibrary::Find(const QString &name) const
{
    for (const TRepLibraryEntry &e : FEntries)
        if (e.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

QStringList TRepLibrary::Names() const
{
    QStringList names;
    for (const TRepLibraryEntry &e : FEntries)
        names.append(e.Name);
    return names;
}

void TRepFunctionLibrary::RegisterFunction(TRepEvElementClass elementClass, const QString &name,
                                           const QString &signature, const QString &vendor,
                                           const QString &description)
{
    FEntries.push_back({name, description, signature, elementClass, vendor});
}

std::unique_ptr<TRepEvElement> TRepFunctionLibrary::CreateFunctionElement(const QString &name) const
{
    const TRepLibraryEntry *entry = Find(name);
    if (!entry)
        return std::make_unique<TRepEvElementError>(Message(UnknownFunction, name));
    std::unique_ptr<TRepEvElementFunction> element = entry->ElementClass();
    element->SetFunctionName(entry->Name);
    return element;
}

const TRepFunctionLibrary &FunctionLibrary()
{
    // Never destroyed, like the global environment that compiles against it.
    static const TRepFunctionLibrary *const library = BuildLibrary();
    return *library;
}
