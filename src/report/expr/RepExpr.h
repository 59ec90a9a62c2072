#pragma once
// The report expression language: an evaluator compiles an expression text
// once into a queue of elements (prefix order) and computes its result as
// often as asked; environments hold named expressions that other expressions
// refer to by name. Compiling and computing never raise: every fault becomes a
// KindError result whose message tells what went wrong.
//
// Names in an expression resolve, in this order, to a function of the
// process-wide FunctionLibrary(), to a field of one of the evaluator's data
// sets, to an entry of its Environment, and finally to an entry of the
// GlobalEnvironment().

#include "report/expr/RepDataset.h"
#include "report/expr/RepEvalResult.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TRepEvElement;
class TRepFiFo;
class TRepEvEmbeddedFunction;
class TRepEvEnvironment;

// The separator of function arguments.
inline constexpr char16_t ArgumentSeparator = u',';

class TRepEvaluator
{
public:
    TRepEvaluator();
    ~TRepEvaluator(); // releases a compiled expression
    TRepEvaluator(const TRepEvaluator &) = delete;
    TRepEvaluator &operator=(const TRepEvaluator &) = delete;

    // Set before compiling; neither is owned. Names are looked up in them
    // while compiling, fields are read through them while computing.
    TRepEvEnvironment *Environment() const { return FEnvironment; }
    void SetEnvironment(TRepEvEnvironment *environment) { FEnvironment = environment; }
    const TRepDatasetList *Datasets() const { return FDatasets; }
    void SetDatasets(const TRepDatasetList *datasets) { FDatasets = datasets; }

    // Releases a previous compilation, compiles the GlobalEnvironment
    // (counted), and compiles text (an empty text as ' ', one blank). Never
    // raises; faults become error elements that compute to error results.
    void CompileExpression(const QString &text);
    // Frees the compiled queue and releases the GlobalEnvironment (counted).
    void ReleaseExpression();
    bool Compiled() const { return FCompiled; }

    // The expression's current value. Raises AppError "Evaluator not
    // prepared" when not compiled.
    EvalResult ComputeResult();
    // Puts every aggregate (SUM, AVERAGE, MAX, MIN, COUNT) back to empty.
    void ResetAggregates();
    // One aggregation pass: every aggregate takes its argument's current value.
    void UpdateAggregates();
    // True when the compiled expression holds an aggregate.
    bool UsesAggregates() const;

    // For elements: computes into out without raising (an error result
    // "Evaluator not prepared" when not compiled); the first element of the
    // compiled queue, or nullptr.
    void Compute(EvalResult &out);
    TRepEvElement *FirstElement() const;
    TRepFiFo *Queue() const { return FCompiled ? FQueue.get() : nullptr; }

    // The whole text of a compiled expression that is one text: a quoted
    // text, or the bare name of an entry whose expression is one (the current
    // item of a strings band); nullptr for anything else. Results still hold
    // at most MaxResultText characters of it; a printable that shows such an
    // expression shows the text whole.
    const QString *WholeText() const;

private:
    std::unique_ptr<TRepFiFo> FQueue;
    bool FCompiled = false;
    TRepEvEnvironment *FEnvironment = nullptr;
    const TRepDatasetList *FDatasets = nullptr;
};

// Named expressions. Entry names are kept upper-cased and matched without
// regard to case; entries keep the order of their definition.
class TRepEvEnvironment
{
public:
    TRepEvEnvironment();
    ~TRepEvEnvironment();
    TRepEvEnvironment(const TRepEvEnvironment &) = delete;
    TRepEvEnvironment &operator=(const TRepEvEnvironment &) = delete;

    // Appends an entry unless one of that name exists (an existing entry is
    // left unchanged). While the environment is compiled, a new entry is
    // compiled at once.
    void DefineEntry(const QString &name, const QString &expression);
    void RemoveEntry(const QString &name);
    void ClearEntries();

    // Counted: the first CompileEntries compiles every entry (with this
    // environment and its Datasets), later calls only count; ReleaseEntries
    // releases every entry when the count returns to 0 and never counts below
    // 0. While any environment releases its entries, nested releases of the
    // GlobalEnvironment are skipped.
    void CompileEntries();
    void ReleaseEntries();
    int CompileCount() const { return FCompileCount; }

    // A new element that computes the named entry, or an error element
    // "Unknown function : <name>" when there is no such entry.
    std::unique_ptr<TRepEvElement> EntryElement(const QString &name);
    // The named entry's current value, or an error result.
    EvalResult EntryValue(const QString &name);

    // The first element of the named entry's compiled expression (a constant
    // for a number, a string element for a quoted text), or nullptr when there
    // is no such entry or it is not compiled. The element lives until the entry
    // is released or removed. Expressions naming the entry see whatever is
    // stored into it afterwards, without being compiled again.
    TRepEvElement *FindConstant(const QString &name) const;
    // A constant element takes integer n; anything else is left alone.
    static void StoreInteger(TRepEvElement *element, qint32 n);
    // A string element takes text s; anything else is left alone.
    static void StoreString(TRepEvElement *element, const QString &s);
    // A constant takes r whole; a string element takes r's text when r is a string.
    static void StoreResult(TRepEvElement *element, const EvalResult &r);

    // The data sets entries are compiled with. Not owned; without a list set,
    // an empty list of the environment's own.
    const TRepDatasetList *Datasets() const { return FDatasets ? FDatasets : &FOwnDatasets; }
    void SetDatasets(const TRepDatasetList *datasets) { FDatasets = datasets; }

    // The entries in order, as a report stores them (names, and the
    // expressions as its "DATA" list).
    int Count() const { return int(FEntries.size()); }
    QString Name(int index) const;
    QString Expression(int index) const;
    int IndexOf(const QString &name) const; // -1 when absent

private:
    struct Entry
    {
        QString Name;
        std::unique_ptr<TRepEvEmbeddedFunction> Function;
    };
    void CompileEntry(Entry &entry);
    std::vector<Entry> FEntries;
    int FCompileCount = 0;
    const TRepDatasetList *FDatasets = nullptr;
    TRepDatasetList FOwnDatasets;
};

// The process-wide environment, alive from first use to the end of the
// process, with "AppStartTime" and "AppStartDate" (the start moment as locale
// long time and short date text) and "AppName" (the application's title).
TRepEvEnvironment &GlobalEnvironment();

// True while some environment is releasing its entries.
bool EnvironmentReleasing();
