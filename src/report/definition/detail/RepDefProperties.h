#pragma once
// The makings of the class tables: how each kind of value is read and
// written (its codec), when a property is left out, and the builders that
// turn a getter and a setter into a property of the table.
//
// A property of class C is read by handing the converted value to its
// setter and written from its getter; the control it is given is always an
// object of C, as the table it sits in belongs to C or a class derived
// from it.

#include "report/definition/detail/RepDefClass.h"
#include "report/definition/detail/RepDefReader.h"
#include "report/model/RepControl.h"

#include <functional>
#include <type_traits>

// ---------------------------------------------------------------- text forms

// A text in double quotes with its escapes.
QString RepDefQuote(const QString &text);
// The shortest text that reads back as exactly d.
QString RepDefNumberText(double d);
// A colour's name, or 0x00BBGGRR.
QString RepDefColorText(TRepColor color);

// ---------------------------------------------------------------- codecs

struct TRepDefBoolean
{
    using Type = bool;
    static constexpr TRepDefKind Kind = TRepDefKind::Boolean;
    bool Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Boolean(v); }
    TRepDefText Write(bool b) const { return {b ? QStringLiteral("true") : QStringLiteral("false")}; }
};

struct TRepDefInteger
{
    using Type = int;
    static constexpr TRepDefKind Kind = TRepDefKind::Integer;
    // Without limits any whole number that fits 32 bits is taken.
    bool Limited = false;
    int Low = 0;
    int High = 0;
    int Read(const TRepDefReader &r, const TRepDefValue &v, const QString &name) const
    {
        return Limited ? r.IntegerIn(v, Low, High, name) : r.Integer(v);
    }
    TRepDefText Write(int n) const { return {QString::number(n)}; }
};

inline TRepDefInteger RepDefIntegerIn(int low, int high)
{
    return {true, low, high};
}

struct TRepDefColor
{
    using Type = TRepColor;
    static constexpr TRepDefKind Kind = TRepDefKind::Color;
    TRepColor Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Color(v); }
    TRepDefText Write(TRepColor c) const { return {RepDefColorText(c)}; }
};

struct TRepDefString
{
    using Type = QString;
    static constexpr TRepDefKind Kind = TRepDefKind::Text;
    QString Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Text(v); }
    TRepDefText Write(const QString &s) const { return {RepDefQuote(s)}; }
};

template <class E>
struct TRepDefName
{
    using Type = E;
    static constexpr TRepDefKind Kind = TRepDefKind::Name;
    const TRepDefNames<E> &Names;
    E Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Enum(v, Names); }
    TRepDefText Write(E e) const { return {Names.Name(e)}; }
    QStringList Choices() const { return Names.Names(); }
};

struct TRepDefSet
{
    using Type = unsigned;
    static constexpr TRepDefKind Kind = TRepDefKind::Set;
    const TRepDefNames<unsigned> &Names;
    unsigned Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Set(v, Names); }
    TRepDefText Write(unsigned bits) const
    {
        QStringList members;
        for (const auto &[name, bit] : Names.Items())
            if ((bits & bit) == bit)
                members << name;
        return {QLatin1Char('[') + members.join(QStringLiteral(", ")) + QLatin1Char(']')};
    }
    QStringList Choices() const { return Names.Names(); }
};

struct TRepDefTexts
{
    using Type = QStringList;
    static constexpr TRepDefKind Kind = TRepDefKind::Texts;
    QStringList Read(const TRepDefReader &r, const TRepDefValue &v, const QString &) const { return r.Texts(v); }
    TRepDefText Write(const QStringList &texts) const
    {
        QStringList quoted;
        for (const QString &text : texts)
            quoted << RepDefQuote(text);
        return TRepDefText(quoted);
    }
};

struct TRepDefLengths
{
    using Type = std::vector<double>;
    static constexpr TRepDefKind Kind = TRepDefKind::Lengths;
    int Count = 0;
    std::vector<double> Read(const TRepDefReader &r, const TRepDefValue &v, const QString &name) const
    {
        std::vector<double> lengths = r.Lengths(v, name);
        if (lengths.size() != size_t(Count))
            r.Fail(v.Line, QStringLiteral("%1 numbers were expected in %2").arg(Count).arg(name));
        return lengths;
    }
    TRepDefText Write(const std::vector<double> &lengths) const
    {
        QStringList parts;
        for (double d : lengths)
            parts << RepDefNumberText(d);
        return {QLatin1Char('(') + parts.join(QLatin1Char(' ')) + QLatin1Char(')')};
    }
};

// ---------------------------------------------------------------- when a property is written

struct TRepDefAlways
{
    bool operator()(TRepControl &, const auto &) const { return true; }
};

// Left out while the value is the default.
template <class T>
struct TRepDefDefault
{
    T Value;
    bool operator()(TRepControl &, const T &value) const { return !(value == Value); }
};

// Written while the control has a font of its own (or nothing to take one
// from, as the report).
struct TRepDefOwnFont
{
    bool operator()(TRepControl &control, const auto &) const
    {
        return !control.ParentFont() || !control.ParentControl();
    }
};

// ---------------------------------------------------------------- builders

template <class Codec>
TRepDefProperty RepDefDescribe(const char *name, const Codec &codec)
{
    TRepDefProperty p;
    p.Name = QLatin1String(name);
    p.Kind = Codec::Kind;
    if constexpr (requires { codec.Choices(); })
        p.Choices = codec.Choices();
    if constexpr (requires { codec.Count; })
        p.Count = codec.Count;
    return p;
}

// Reads a value into a control of class C. set is called as set(c, value),
// or as set(reader, c, value, line) when it needs the rest of the definition.
template <class C, class Codec, class Set>
TRepDefProperty::ReadStep RepDefReadStep(const QString &name, Codec codec, Set set)
{
    using T = typename Codec::Type;
    return [codec, set, name](TRepDefReader &r, TRepControl &c, const TRepDefValue &v) {
        if constexpr (std::is_invocable_v<Set, TRepDefReader &, C &, T, int>)
            std::invoke(set, r, static_cast<C &>(c), codec.Read(r, v, name), v.Line);
        else
            std::invoke(set, static_cast<C &>(c), codec.Read(r, v, name));
    };
}

// A property of class C, read through set and written from get when shown
// says so.
template <class C, class Codec, class Get, class Set, class Shown>
TRepDefProperty RepDefProperty(const char *name, Codec codec, Get get, Set set, Shown shown)
{
    TRepDefProperty p = RepDefDescribe(name, codec);
    p.Read = RepDefReadStep<C>(p.Name, codec, set);
    p.Write = [codec, get, shown](TRepControl &c) -> std::optional<TRepDefText> {
        const typename Codec::Type value = std::invoke(get, static_cast<C &>(c));
        if (!shown(c, value))
            return std::nullopt;
        return codec.Write(value);
    };
    return p;
}

// A property kept in a field of C.
template <class C, class Codec, class T, class Shown>
TRepDefProperty RepDefField(const char *name, Codec codec, T C::*field, Shown shown)
{
    return RepDefProperty<C>(name, codec, field, [field](C &c, const T &value) { c.*field = value; }, shown);
}

// A property kept in a field of a part of C (a member or what a method
// returns by reference: the frame, the pen, the printer settings).
template <class C, class Codec, class Part, class P, class T, class Shown>
TRepDefProperty RepDefPartField(const char *name, Codec codec, Part part, T P::*field, Shown shown)
{
    return RepDefProperty<C>(
        name, codec, [part, field](C &c) { return std::invoke(part, c).*field; },
        [part, field](C &c, const T &value) { std::invoke(part, c).*field = value; }, shown);
}

// A property that is read but never written.
template <class C, class Codec, class Set>
TRepDefProperty RepDefReadOnly(const char *name, Codec codec, Set set)
{
    TRepDefProperty p = RepDefDescribe(name, codec);
    p.Read = RepDefReadStep<C>(p.Name, codec, set);
    return p;
}

// A reference to another object of the definition by its name, set once
// every object is made; resolve turns the name into the object or fails.
template <class C, class Get, class Set, class Resolve>
TRepDefProperty RepDefReference(const char *name, Get get, Set set, Resolve resolve)
{
    TRepDefProperty p;
    p.Name = QLatin1String(name);
    p.Kind = TRepDefKind::Reference;
    p.Read = [set, resolve](TRepDefReader &r, TRepControl &c, const TRepDefValue &v) {
        const QString target = r.Ident(v);
        const int line = v.Line;
        C *object = &static_cast<C &>(c);
        r.AfterObjects([&r, object, target, line, set, resolve] {
            std::invoke(set, *object, resolve(r, target, line));
        });
    };
    p.Write = [get](TRepControl &c) -> std::optional<TRepDefText> {
        TRepControl *target = std::invoke(get, static_cast<C &>(c));
        if (!target)
            return std::nullopt;
        return TRepDefText{target->Name()};
    };
    return p;
}

// The report's method bound to an event of the object.
TRepDefProperty RepDefHandler(const char *event);

// A property of a related class, refused on this one with its own fault.
TRepDefProperty RepDefRefused(const char *name, const char *fault);
