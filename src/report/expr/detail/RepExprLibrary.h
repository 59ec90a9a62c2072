#pragma once
// The function library of report expressions: IF, STR, UPPER, LOWER, PRETTY,
// TIME, DATE, COPY, the aggregates SUM, COUNT, MAX, MIN, AVERAGE, TRUE,
// FALSE, INT, FRAC, SQRT, DIV, TYPEOF and FORMATNUMERIC, registered once per
// process in that order.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TRepEvElement;
class TRepEvElementFunction;

// Creates a new element of one library function.
using TRepEvElementClass = std::unique_ptr<TRepEvElementFunction> (*)();

struct TRepLibraryEntry
{
    QString Name;
    // The help text design-time tools show: "NAME(<args>)|" and what it does.
    QString Description;
    // Argument signature: a group digit (1 time/date, 2 numeric, 3
    // aggregate, 5 boolean, 6 type, 7 text) and one letter per argument
    // (B boolean, N numeric, S string, V any). Informational only.
    QString Signature;
    TRepEvElementClass ElementClass = nullptr;
    QString Vendor;
};

class TRepLibrary
{
public:
    int Count() const { return int(FEntries.size()); }
    const TRepLibraryEntry &Entry(int index) const { return FEntries[size_t(index)]; }
    // Matched without regard to case; nullptr when absent.
    const TRepLibraryEntry *Find(const QString &name) const;
    QStringList Names() const;

protected:
    std::vector<TRepLibraryEntry> FEntries;
};

class TRepFunctionLibrary : public TRepLibrary
{
public:
    void RegisterFunction(TRepEvElementClass elementClass, const QString &name, const QString &signature,
                          const QString &vendor, const QString &description);
    // A new element of the named function, or an error element
    // "Unknown function : <name>" when the name is not registered.
    std::unique_ptr<TRepEvElement> CreateFunctionElement(const QString &name) const;
};

// The process-wide library, alive from first use to the end of the process.
const TRepFunctionLibrary &FunctionLibrary();
