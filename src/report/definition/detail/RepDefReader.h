#pragma once
// Builds a report from a parsed definition: makes the objects through their
// classes, hands each line to its property and resolves the references and
// function lists that need the whole definition. Every fault names the
// source and the line.
//
// The value conversions here are shared by all properties, so a value is
// refused with the same words whichever property it was given to.

#include "report/definition/detail/RepDefNames.h"
#include "report/definition/detail/RepDefParser.h"

#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class TRepControl;
class TRepCustomReport;
struct TRepDefClass;
struct TRepDefClasses;

// Lengths larger than 100 m either way are refused, so the pixel sizes made
// from them stay far inside what a control can hold.
inline constexpr double RepDefMaxLength = 1e6;

class TRepDefReader
{
public:
    // Objects are made and read through classes; handlers are bound
    // through target, whichever report is being built.
    TRepDefReader(const TRepDefClasses &classes, const QString &source, TRepCustomReport &target);

    // Replaces the contents of report by those of the definition.
    void Build(const TRepDefObject &root, TRepCustomReport &report);

    [[noreturn]] void Fail(int line, const QString &what) const;

    // ---- values ----
    double Number(const TRepDefValue &v) const;
    int Integer(const TRepDefValue &v) const;
    // A whole number in low..high; name names the property in the fault.
    int IntegerIn(const TRepDefValue &v, int low, int high, const QString &name) const;
    bool Boolean(const TRepDefValue &v) const;
    QString Text(const TRepDefValue &v) const;
    QString Ident(const TRepDefValue &v) const;
    template <class E>
    E Enum(const TRepDefValue &v, const TRepDefNames<E> &names) const
    {
        const auto e = names.Find(Ident(v));
        if (!e)
            Fail(v.Line, names.UnknownText(v.Text));
        return *e;
    }
    // The members of a set in [ ], or-ed together.
    unsigned Set(const TRepDefValue &v, const TRepDefNames<unsigned> &names) const;
    TRepColor Color(const TRepDefValue &v) const;
    std::vector<double> Numbers(const TRepDefValue &v) const;
    // Numbers that are lengths no larger than RepDefMaxLength; name names
    // the property in the fault.
    std::vector<double> Lengths(const TRepDefValue &v, const QString &name) const;
    QStringList Texts(const TRepDefValue &v) const;

    // ---- what properties ask of the whole definition ----
    // Runs step once every object is made (references to objects further on).
    void AfterObjects(std::function<void()> step) { FDeferred.push_back(std::move(step)); }
    // The object of that name; a fault on line when there is none.
    TRepControl *Find(const QString &name, int line) const;
    // Binds the report's handler to control's event, and keeps its name.
    void BindHandler(TRepControl &control, const QString &event, const QString &handler, int line);
    // Names and expressions of the report's functions come as two lists;
    // once both are read they replace the report's entries.
    void SetFunctionNames(TRepCustomReport &report, const QStringList &names, int line);
    void SetFunctionData(TRepCustomReport &report, const QStringList &data, int line);

private:
    void ReadObject(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls);
    void ReadLine(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls,
                  const TRepDefLine &line);
    void ReadValues(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls,
                    const TRepDefLine &line);
    // The class of a nested object, checked against its name and place.
    const TRepDefClass &ClassOfChild(const TRepDefObject &object, TRepControl &parent) const;
    TRepControl &CreateChild(const TRepDefObject &object, TRepControl &parent, const TRepDefClass &cls);
    void ApplyFunctions(TRepCustomReport &report);

    const TRepDefClasses &FClasses;
    QString FSource;
    TRepCustomReport &FTarget;
    TRepCustomReport *FReport = nullptr;
    std::map<QString, TRepControl *> FNamed;
    std::vector<std::function<void()>> FDeferred;
    std::optional<QStringList> FFunctionNames;
    std::optional<QStringList> FFunctionData;
    int FFunctionLine = 0;
};
