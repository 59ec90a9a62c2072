#pragma once
// The elements a compiled expression is made of, and the queue that holds
// them in prefix order: an operator before its operands, a function before
// its arguments and their end marker. Computing the first element of a queue
// consumes the queue exactly once.

#include "report/expr/RepDataset.h"
#include "report/expr/RepEvalResult.h"
#include "report/expr/detail/RepExprText.h"

#include <QString>
#include <memory>
#include <vector>

class TRepFiFo;

// The kinds of element the queue computes without a virtual call.
enum class TRepElementTag : quint8 { Other, Constant, Operator, Wrapper };

class TRepEvElement
{
public:
    virtual ~TRepEvElement() = default;
    // Computes this element's result into out, taking operands from queue.
    virtual void Produce(TRepFiFo &queue, EvalResult &out) = 0;
    // Puts an aggregate back to its empty state.
    virtual void ResetAggregate() {}
    virtual bool IsArgumentEnd() const { return false; }
    bool IsAggregate() const { return FAggregate; }
    TRepElementTag Tag() const { return FTag; }

protected:
    bool FAggregate = false;
    TRepElementTag FTag = TRepElementTag::Other;
};

enum class TRepOperator : quint8 {
    Less = 0,
    LessEqual = 1,
    Greater = 2,
    GreaterEqual = 3,
    Equal = 4,
    NotEqual = 5,
    Add = 6,
    Subtract = 7,
    Or = 8,
    Multiply = 9,
    Divide = 10,
    And = 11,
};

class TRepFiFo
{
public:
    void Append(std::unique_ptr<TRepEvElement> element)
    {
        FFlat.push_back(element.get());
        FElements.push_back(std::move(element));
    }
    void Rewind() { FCursor = 0; }
    bool AtEnd() const { return FCursor >= FFlat.size(); }
    TRepEvElement *Peek() const { return AtEnd() ? nullptr : FFlat[FCursor]; }
    void Skip() { ++FCursor; }
    TRepEvElement *First() const { return FFlat.empty() ? nullptr : FFlat.front(); }
    // The result of the next element; an error result when the queue is used up.
    void NextResult(EvalResult &out);
    const std::vector<std::unique_ptr<TRepEvElement>> &Elements() const { return FElements; }
    bool AggregateMode = false;

    // Arithmetic over numbers (constants, published entries, + - * /) is
    // computed on plain numbers without the general elements. Prepare once
    // after compiling; ComputeArithmetic gives false — and leaves out alone —
    // whenever the general computation is needed (another kind of value, a
    // fault to report), which then starts from the beginning.
    void PrepareArithmetic();
    bool ComputeArithmetic(EvalResult &out) const;
    // The value of a queue that is one constant (a published value), else nullptr.
    const EvalResult *SingleConstant() const { return FSingleConstant; }

private:
    std::vector<std::unique_ptr<TRepEvElement>> FElements;
    std::vector<TRepEvElement *> FFlat; // the same elements, read while computing
    size_t FCursor = 0;
    // The arithmetic in postfix order, computed on a stack of plain numbers.
    struct Step
    {
        TRepElementTag tag; // Constant, Wrapper or Operator
        TRepOperator op;
        const void *source; // the constant's value, or the wrapper
    };
    bool AppendPostfix(size_t &cursor, int depth);
    std::vector<Step> FArithmetic;
    int FArithmeticDepth = 0;
    const EvalResult *FSingleConstant = nullptr;
};


class TRepEvElementOperator : public TRepEvElement
{
public:
    explicit TRepEvElementOperator(TRepOperator op) : FOperator(op) { FTag = TRepElementTag::Operator; }
    void Produce(TRepFiFo &queue, EvalResult &out) override;
    TRepOperator Operator() const { return FOperator; }

private:
    static void Operand(TRepFiFo &queue, EvalResult &out);
    TRepOperator FOperator;
};

// "not": the boolean negation of the next result.
class TRepEvElementNegation : public TRepEvElement
{
public:
    void Produce(TRepFiFo &queue, EvalResult &out) override;
};

class TRepEvElementConstant : public TRepEvElement
{
public:
    explicit TRepEvElementConstant(const EvalResult &value) : FValue(value) { FTag = TRepElementTag::Constant; }
    void Produce(TRepFiFo &, EvalResult &out) override { out = FValue; }
    EvalResult FValue;
};

class TRepEvElementString : public TRepEvElement
{
public:
    explicit TRepEvElementString(const QString &text) : FText(text) {}
    void Produce(TRepFiFo &, EvalResult &out) override { out.SetString(FText); }
    QString FText; // unbounded; results take its first MaxResultText characters
};

class TRepEvElementError : public TRepEvElement
{
public:
    explicit TRepEvElementError(const QString &message) : FMessage(message) {}
    void Produce(TRepFiFo &, EvalResult &out) override { out.SetError(FMessage); }
    const QString &ErrorMessage() const { return FMessage; }

private:
    QString FMessage;
};

class TRepEvElementArgumentEnd : public TRepEvElement
{
public:
    void Produce(TRepFiFo &, EvalResult &out) override;
    bool IsArgumentEnd() const override { return true; }
};

class TRepEvElementDataField : public TRepEvElement
{
public:
    TRepEvElementDataField(TRepDataset *dataset, int index, TRepField *field);
    void Produce(TRepFiFo &, EvalResult &out) override;

private:
    TRepDataset *FDataset;
    int FIndex;
    TRepField *FField;
    QString FFieldName;
};

class TRepEvEntry;

// The value of an environment entry. The entry is not owned; when it goes
// away first, the wrapper computes "Unknown function : <name>".
class TRepEvElementWrapper : public TRepEvElement
{
public:
    TRepEvElementWrapper(TRepEvEntry *entry, const QString &name);
    ~TRepEvElementWrapper() override;
    void Produce(TRepFiFo &, EvalResult &out) override;
    void ResetAggregate() override;
    void Detach() { FEntry = nullptr; }
    // The entry's value when the entry is one published constant, else nullptr.
    const EvalResult *PublishedValue() const;
    // The entry's whole text when its expression is one text, else nullptr.
    const QString *WholeText() const;

private:
    TRepEvEntry *FEntry;
    QString FName;
};

// An environment entry as the expressions naming it see it. The environment
// keeps its entries, each with an evaluator of its own (RepExpr.cpp);
// computing an entry that is already being computed gives "Recursive calls
// not allowed".
class TRepEvEntry : public TRepEvElement
{
public:
    ~TRepEvEntry() override;
    // The value of an entry whose whole expression is one constant, else nullptr.
    virtual const EvalResult *PublishedValue() const = 0;
    // The whole text of an entry whose expression is one text, else nullptr.
    virtual const QString *WholeText() const = 0;

    void AddWrapper(TRepEvElementWrapper *w) { FWrappers.push_back(w); }
    void RemoveWrapper(TRepEvElementWrapper *w);

protected:
    // Expressions still naming this entry no longer reach it.
    void DetachWrappers();

private:
    std::vector<TRepEvElementWrapper *> FWrappers;
};

inline const EvalResult *TRepEvElementWrapper::PublishedValue() const
{
    return FEntry ? FEntry->PublishedValue() : nullptr;
}

inline const QString *TRepEvElementWrapper::WholeText() const
{
    return FEntry ? FEntry->WholeText() : nullptr;
}

// Base of the library functions: takes its arguments from the queue up to the
// end marker, runs Accumulate in aggregate mode, then Compute.
class TRepEvElementFunction : public TRepEvElement
{
public:
    void Produce(TRepFiFo &queue, EvalResult &out) final;
    // Sizes the argument store at compile time so that computing never grows it.
    void ReserveArguments(int count) { FArgs.reserve(size_t(qMax(count, 0))); }
    void SetFunctionName(const QString &name) { FName = name; }

protected:
    virtual void Accumulate() {}
    virtual void Compute(EvalResult &out);
    int ArgCount() const { return int(FArgs.size()); }
    const EvalResult &Arg(int i) const { return FArgs[size_t(i)]; }
    // When an argument is an error, out takes the first one and true is returned.
    bool PassError(EvalResult &out) const;
    const QString &FunctionName() const { return FName; }

private:
    std::vector<EvalResult> FArgs;
    QString FName;
};
