#include "report/expr/detail/RepExprElements.h"

#include <algorithm>
#include <string_view>

namespace {

using namespace RepExprText;

void SetMessage(EvalResult &out, const char *text, const QString &a = QString(), const QString &b = QString())
{
    out.SetError(Message(text, a, b));
}

const char *OperatorSymbol(TRepOperator op)
{
    static const char *const symbols[] = {"<", "<=", ">", ">=", "=", "<>", "+", "-", "OR", "*", "/", "AND"};
    return symbols[int(op)];
}

template <class T>
bool Compare(TRepOperator op, const T &a, const T &b)
{
    switch (op) {
    case TRepOperator::Less: return a < b;
    case TRepOperator::LessEqual: return a <= b;
    case TRepOperator::Greater: return a > b;
    case TRepOperator::GreaterEqual: return a >= b;
    case TRepOperator::Equal: return a == b;
    default: return a != b;
    }
}

std::u16string_view View(const EvalResult &r)
{
    const QStringView v = r.TextView();
    return std::u16string_view(v.utf16(), size_t(v.size()));
}

// Operands of different kinds meet as floats (integer with float) or as text.
void UnifyKinds(EvalResult &left, EvalResult &right)
{
    if (left.IsError() || right.IsError() || left.Kind() == right.Kind())
        return;
    if (left.Kind() == KindInteger && right.Kind() == KindFloat) {
        left.SetFloat(left.AsInteger());
    } else if (left.Kind() == KindFloat && right.Kind() == KindInteger) {
        right.SetFloat(right.AsInteger());
    } else {
        left.SetString(ResultToText(left));
        right.SetString(ResultToText(right));
    }
}

void ApplyInteger(TRepOperator op, EvalResult &l, const EvalResult &r)
{
    const qint32 a = l.AsInteger();
    const qint32 b = r.AsInteger();
    // Sums, differences and products wrap around at 32 bits.
    const auto wrap = [](quint32 v) { return qint32(v); };
    switch (op) {
    case TRepOperator::Add: l.SetInteger(wrap(quint32(a) + quint32(b))); break;
    case TRepOperator::Subtract: l.SetInteger(wrap(quint32(a) - quint32(b))); break;
    case TRepOperator::Multiply: l.SetInteger(wrap(quint32(a) * quint32(b))); break;
    case TRepOperator::Divide:
        if (b == 0)
            SetMessage(l, DivideByZero);
        else
            l.SetFloat(double(a) / double(b));
        break;
    case TRepOperator::Or: l.SetInteger(a | b); break;
    case TRepOperator::And: l.SetInteger(a & b); break;
    default: l.SetBoolean(Compare(op, a, b)); break;
    }
}

void ApplyFloat(TRepOperator op, EvalResult &l, const EvalResult &r)
{
    const double a = l.AsFloat();
    const double b = r.AsFloat();
    switch (op) {
    case TRepOperator::Add: l.SetFloat(a + b); break;
    case TRepOperator::Subtract: l.SetFloat(a - b); break;
    case TRepOperator::Multiply: l.SetFloat(a * b); break;
    case TRepOperator::Divide:
        if (b == 0)
            SetMessage(l, DivideByZero);
        else
            l.SetFloat(a / b);
        break;
    case TRepOperator::Or:
    case TRepOperator::And: SetMessage(l, OperatorIncompatible, QLatin1String(OperatorSymbol(op)), QStringLiteral("numeric")); break;
    default: l.SetBoolean(Compare(op, a, b)); break;
    }
}

void ApplyString(TRepOperator op, EvalResult &l, const EvalResult &r)
{
    switch (op) {
    case TRepOperator::Add: l.AppendText(r.TextView()); break;
    case TRepOperator::Subtract: SetMessage(l, CannotOperate, QStringLiteral("subtract"), QStringLiteral("string")); break;
    case TRepOperator::Multiply: SetMessage(l, CannotOperate, QStringLiteral("multiply"), QStringLiteral("string")); break;
    case TRepOperator::Divide: SetMessage(l, CannotOperate, QStringLiteral("divide"), QStringLiteral("string")); break;
    case TRepOperator::Or:
    case TRepOperator::And: SetMessage(l, OperatorIncompatible, QLatin1String(OperatorSymbol(op)), QStringLiteral("string")); break;
    default: l.SetBoolean(Compare(op, View(l), View(r))); break;
    }
}

void ApplyBoolean(TRepOperator op, EvalResult &l, const EvalResult &r)
{
    const bool a = l.AsBoolean();
    const bool b = r.AsBoolean();
    switch (op) {
    case TRepOperator::Equal: l.SetBoolean(a == b); break;
    case TRepOperator::NotEqual: l.SetBoolean(a != b); break;
    case TRepOperator::Or: l.SetBoolean(a || b); break;
    case TRepOperator::And: l.SetBoolean(a && b); break;
    case TRepOperator::Add: SetMessage(l, CannotOperate, QStringLiteral("add"), QStringLiteral("boolean")); break;
    case TRepOperator::Subtract: SetMessage(l, CannotOperate, QStringLiteral("subtract"), QStringLiteral("boolean")); break;
    case TRepOperator::Multiply: SetMessage(l, CannotOperate, QStringLiteral("multiply"), QStringLiteral("boolean")); break;
    case TRepOperator::Divide: SetMessage(l, CannotOperate, QStringLiteral("divide"), QStringLiteral("boolean")); break;
    default: SetMessage(l, OperatorIncompatible, QLatin1String(OperatorSymbol(op)), QStringLiteral("boolean")); break;
    }
}

} // namespace


// The next result, with constants and published entries read in place.
inline void TRepEvElementOperator::Operand(TRepFiFo &queue, EvalResult &out)
{
    if (TRepEvElement *e = queue.Peek()) {
        const EvalResult *value = nullptr;
        if (e->Tag() == TRepElementTag::Constant)
            value = &static_cast<TRepEvElementConstant *>(e)->FValue;
        else if (e->Tag() == TRepElementTag::Wrapper)
            value = static_cast<TRepEvElementWrapper *>(e)->PublishedValue();
        if (value) {
            queue.Skip();
            out = *value;
            return;
        }
    }
    queue.NextResult(out);
}

void TRepEvElementOperator::Produce(TRepFiFo &queue, EvalResult &out)
{
    EvalResult right;
    Operand(queue, out);
    Operand(queue, right);
    if (out.Kind() == KindFloat && right.Kind() == KindFloat) {
        ApplyFloat(FOperator, out, right);
        return;
    }
    if (out.Kind() == KindInteger && right.Kind() == KindInteger) {
        ApplyInteger(FOperator, out, right);
        return;
    }
    UnifyKinds(out, right);
    if (out.IsError())
        return;
    if (right.IsError()) {
        out = right;
        return;
    }
    switch (out.Kind()) {
    case KindInteger: ApplyInteger(FOperator, out, right); break;
    case KindFloat: ApplyFloat(FOperator, out, right); break;
    case KindString: ApplyString(FOperator, out, right); break;
    default: ApplyBoolean(FOperator, out, right); break;
    }
}

void TRepEvElementNegation::Produce(TRepFiFo &queue, EvalResult &out)
{
    queue.NextResult(out);
    if (out.Kind() == KindBoolean)
        out.SetBoolean(!out.AsBoolean());
    else if (!out.IsError())
        SetMessage(out, InvalidNot);
}

void TRepEvElementArgumentEnd::Produce(TRepFiFo &, EvalResult &out)
{
    // Only reached when an end marker stands where an operand belongs.
    out.SetError(Message(ErrorInExpression, QString()));
}

TRepEvElementDataField::TRepEvElementDataField(TRepDataset *dataset, int index, TRepField *field)
    : FDataset(dataset), FIndex(index), FField(field), FFieldName(field ? field->FieldName() : QString())
{
}

void TRepEvElementDataField::Produce(TRepFiFo &, EvalResult &out)
{
    TRepField *field = FDataset->DefaultFields() ? FDataset->FieldAt(FIndex) : FField;
    if (!field) {
        SetMessage(out, UnknownFieldType, FFieldName);
        return;
    }
    switch (field->DataType()) {
    case TRepFieldType::String: out.SetString(field->AsString()); break;
    case TRepFieldType::Integer:
    case TRepFieldType::SmallInt:
    case TRepFieldType::Word: out.SetInteger(field->AsInteger()); break;
    case TRepFieldType::Float:
    case TRepFieldType::Currency:
    case TRepFieldType::BCD: out.SetFloat(field->AsFloat()); break;
    case TRepFieldType::Boolean: out.SetBoolean(field->AsBoolean()); break;
    case TRepFieldType::Date:
    case TRepFieldType::DateTime: out.SetString(field->DisplayText()); break;
    default: SetMessage(out, UnknownFieldType, field->FieldName()); break;
    }
}

TRepEvElementWrapper::TRepEvElementWrapper(TRepEvEntry *entry, const QString &name)
    : FEntry(entry), FName(name)
{
    FTag = TRepElementTag::Wrapper;
    if (FEntry)
        FEntry->AddWrapper(this);
}

TRepEvElementWrapper::~TRepEvElementWrapper()
{
    if (FEntry)
        FEntry->RemoveWrapper(this);
}

void TRepEvElementWrapper::Produce(TRepFiFo &queue, EvalResult &out)
{
    if (FEntry)
        FEntry->Produce(queue, out);
    else
        SetMessage(out, UnknownFunction, FName);
}

void TRepEvElementWrapper::ResetAggregate()
{
    if (FEntry)
        FEntry->ResetAggregate();
}

TRepEvEntry::~TRepEvEntry() { DetachWrappers(); }

void TRepEvEntry::DetachWrappers()
{
    for (TRepEvElementWrapper *w : FWrappers)
        w->Detach();
    FWrappers.clear();
}

void TRepEvEntry::RemoveWrapper(TRepEvElementWrapper *w)
{
    FWrappers.erase(std::remove(FWrappers.begin(), FWrappers.end(), w), FWrappers.end());
}

void TRepFiFo::NextResult(EvalResult &out)
{
    if (AtEnd()) {
        out.SetError(Message(ErrorInExpression, QString()));
        return;
    }
    TRepEvElement *e = FFlat[FCursor++];
    // The common elements are computed here directly; the rest through Produce.
    switch (e->Tag()) {
    case TRepElementTag::Constant: out = static_cast<TRepEvElementConstant *>(e)->FValue; break;
    case TRepElementTag::Operator: static_cast<TRepEvElementOperator *>(e)->TRepEvElementOperator::Produce(*this, out); break;
    case TRepElementTag::Wrapper: static_cast<TRepEvElementWrapper *>(e)->TRepEvElementWrapper::Produce(*this, out); break;
    default: e->Produce(*this, out); break;
    }
}

void TRepEvElementFunction::Produce(TRepFiFo &queue, EvalResult &out)
{
    FArgs.clear();
    while (TRepEvElement *next = queue.Peek()) {
        if (next->IsArgumentEnd()) {
            queue.Skip();
            break;
        }
        FArgs.emplace_back();
        queue.NextResult(FArgs.back());
    }
    if (queue.AggregateMode)
        Accumulate();
    Compute(out);
    FArgs.clear();
}

void TRepEvElementFunction::Compute(EvalResult &out) { SetMessage(out, WrongArguments, FName); }

bool TRepEvElementFunction::PassError(EvalResult &out) const
{
    for (const EvalResult &a : FArgs)
        if (a.IsError()) {
            out = a;
            return true;
        }
    return false;
}

namespace {

struct Number
{
    double f;
    qint32 i;
    bool isFloat;
    double AsDouble() const { return isFloat ? f : double(i); }
};

bool CombineNumbers(TRepOperator op, const Number &l, const Number &r, Number &n)
{
    if (!l.isFloat && !r.isFloat) {
        n.isFloat = false;
        switch (op) {
        case TRepOperator::Add: n.i = qint32(quint32(l.i) + quint32(r.i)); return true;
        case TRepOperator::Subtract: n.i = qint32(quint32(l.i) - quint32(r.i)); return true;
        case TRepOperator::Multiply: n.i = qint32(quint32(l.i) * quint32(r.i)); return true;
        default:
            if (r.i == 0)
                return false;
            n.isFloat = true;
            n.f = double(l.i) / double(r.i);
            return true;
        }
    }
    const double a = l.AsDouble(), b = r.AsDouble();
    n.isFloat = true;
    switch (op) {
    case TRepOperator::Add: n.f = a + b; return true;
    case TRepOperator::Subtract: n.f = a - b; return true;
    case TRepOperator::Multiply: n.f = a * b; return true;
    default:
        if (b == 0)
            return false;
        n.f = a / b;
        return true;
    }
}

bool NumberFrom(const EvalResult *v, Number &n)
{
    if (!v)
        return false;
    if (v->Kind() == KindInteger) {
        n.isFloat = false;
        n.i = v->AsInteger();
        return true;
    }
    if (v->Kind() == KindFloat) {
        n.isFloat = true;
        n.f = v->AsFloat();
        return true;
    }
    return false;
}

bool IsArithmeticOperator(TRepOperator op)
{
    return op == TRepOperator::Add || op == TRepOperator::Subtract || op == TRepOperator::Multiply
        || op == TRepOperator::Divide;
}

} // namespace

// Appends the subexpression at cursor in postfix order; false when it is
// not plain arithmetic.
bool TRepFiFo::AppendPostfix(size_t &cursor, int depth)
{
    if (cursor >= FFlat.size())
        return false;
    TRepEvElement *e = FFlat[cursor++];
    FArithmeticDepth = qMax(FArithmeticDepth, depth + 1);
    switch (e->Tag()) {
    case TRepElementTag::Constant:
        FArithmetic.push_back({e->Tag(), TRepOperator::Add, &static_cast<TRepEvElementConstant *>(e)->FValue});
        return true;
    case TRepElementTag::Wrapper: FArithmetic.push_back({e->Tag(), TRepOperator::Add, e}); return true;
    case TRepElementTag::Operator: {
        const TRepOperator op = static_cast<TRepEvElementOperator *>(e)->Operator();
        if (!IsArithmeticOperator(op) || !AppendPostfix(cursor, depth) || !AppendPostfix(cursor, depth + 1))
            return false;
        FArithmetic.push_back({e->Tag(), op, e});
        return true;
    }
    default: return false;
    }
}

void TRepFiFo::PrepareArithmetic()
{
    FSingleConstant = FFlat.size() == 1 && FFlat[0]->Tag() == TRepElementTag::Constant
        ? &static_cast<TRepEvElementConstant *>(FFlat[0])->FValue
        : nullptr;
    FArithmetic.clear();
    FArithmeticDepth = 0;
    size_t cursor = 0;
    if (!AppendPostfix(cursor, 0) || cursor != FFlat.size())
        FArithmetic.clear();
}

bool TRepFiFo::ComputeArithmetic(EvalResult &out) const
{
    if (FArithmetic.empty())
        return false;
    // Deeper arithmetic than this, which reports hardly hold, takes the general path.
    constexpr int Room = 64;
    if (FArithmeticDepth > Room)
        return false;
    Number stack[Room];
    int top = 0;
    for (const Step &step : FArithmetic) {
        switch (step.tag) {
        case TRepElementTag::Constant:
            if (!NumberFrom(static_cast<const EvalResult *>(step.source), stack[top++]))
                return false;
            break;
        case TRepElementTag::Wrapper:
            if (!NumberFrom(static_cast<const TRepEvElementWrapper *>(step.source)->PublishedValue(), stack[top++]))
                return false;
            break;
        default:
            --top;
            if (!CombineNumbers(step.op, stack[top - 1], stack[top], stack[top - 1]))
                return false;
            break;
        }
    }
    if (stack[0].isFloat)
        out.SetFloat(stack[0].f);
    else
        out.SetInteger(stack[0].i);
    return true;
}
