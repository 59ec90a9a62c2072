#include "report/expr/RepExpr.h"

#include "platform/AppError.h"
#include "report/expr/detail/RepExprElements.h"
#include "report/expr/detail/RepExprLibrary.h"
#include "report/expr/RepFloatFormat.h"

#include <QDateTime>
#include <QLocale>

namespace {

using namespace RepExprText;

bool ReleasingFlag = false;

// Deeper nesting than this (parentheses, signs, "not", chained operators)
// compiles to an error element, so hostile text cannot exhaust the stack.
constexpr int MaxNesting = 200;

// Left-to-right scan state shared by every level of the compiler.
struct ScanState
{
    bool quote = false;
    bool bracket = false;
    int depth = 0;

    bool AtTopLevel() const { return !quote && !bracket && depth == 0; }
    void Step(QChar c)
    {
        if (c == u'\'' && !bracket) {
            quote = !quote;
        } else if (!quote) {
            if (c == u'[')
                bracket = true;
            else if (c == u']')
                bracket = false;
            else if (!bracket && c == u'(')
                ++depth;
            else if (!bracket && c == u')')
                --depth;
        }
    }
};

struct Split
{
    qsizetype leftEnd = -1; // operator found when >= 0
    qsizetype rightStart = 0;
    TRepOperator op = TRepOperator::Add;
};

bool StartsWithWord(QStringView text, qsizetype at, QLatin1String word)
{
    return text.mid(at).startsWith(word, Qt::CaseInsensitive);
}

// The leftmost operator of one level at the top level of text; never at the
// first character, and the scan stops before the last one.
template <class Match>
Split FindOperator(QStringView text, Match match)
{
    ScanState state;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (i > 0 && state.AtTopLevel()) {
            Split s;
            if (match(text, i, s))
                return s;
        }
        state.Step(text[i]);
    }
    return {};
}

bool MatchRelational(QStringView t, qsizetype i, Split &s)
{
    static const struct { QLatin1String symbol; TRepOperator op; } ops[] = {
        {QLatin1String("<>"), TRepOperator::NotEqual}, {QLatin1String("<="), TRepOperator::LessEqual},
        {QLatin1String("<"), TRepOperator::Less},      {QLatin1String("="), TRepOperator::Equal},
        {QLatin1String(">="), TRepOperator::GreaterEqual}, {QLatin1String(">"), TRepOperator::Greater},
    };
    for (const auto &o : ops)
        if (t.mid(i).startsWith(o.symbol)) {
            s = {i, i + o.symbol.size(), o.op};
            return true;
        }
    return false;
}

bool MatchAdditive(QStringView t, qsizetype i, Split &s)
{
    if (t[i] == u'+' || t[i] == u'-') {
        s = {i, i + 1, t[i] == u'+' ? TRepOperator::Add : TRepOperator::Subtract};
        return true;
    }
    if (t[i] == u' ' && StartsWithWord(t, i + 1, QLatin1String("or "))) {
        s = {i + 1, i + 3, TRepOperator::Or};
        return true;
    }
    return false;
}

bool MatchMultiplicative(QStringView t, qsizetype i, Split &s)
{
    if (t[i] == u'*' || t[i] == u'/') {
        s = {i, i + 1, t[i] == u'*' ? TRepOperator::Multiply : TRepOperator::Divide};
        return true;
    }
    if (t[i] == u' ' && StartsWithWord(t, i + 1, QLatin1String("and "))) {
        s = {i + 1, i + 4, TRepOperator::And};
        return true;
    }
    return false;
}

// Swaps a and b at the top level, so that a-b+c reads as a-(b-c).
QString SwapOperators(QStringView text, QChar a, QChar b)
{
    QString out = text.toString();
    ScanState state;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (state.AtTopLevel()) {
            if (out[i] == a)
                out[i] = b;
            else if (out[i] == b)
                out[i] = a;
        }
        state.Step(out[i]);
    }
    return out;
}

bool IsBlank(QChar c) { return c.unicode() <= u' '; }

QStringView Trimmed(QStringView t)
{
    qsizetype b = 0, e = t.size();
    while (b < e && IsBlank(t[b]))
        ++b;
    while (e > b && IsBlank(t[e - 1]))
        --e;
    return t.mid(b, e - b);
}

bool IsAsciiLetter(QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int FindFieldIndex(const TRepDataset &ds, const QString &upperName)
{
    for (int i = 0; i < ds.FieldCount(); ++i)
        if (const TRepField *f = ds.FieldAt(i); f && f->FieldName().compare(upperName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool IsErrorElement(const TRepEvElement *e) { return dynamic_cast<const TRepEvElementError *>(e) != nullptr; }

// Turns expression text into elements appended to a queue in prefix order.
class Compiler
{
public:
    Compiler(TRepEvaluator &evaluator, TRepFiFo &queue) : FEvaluator(evaluator), FQueue(queue) {}

    void Relational(QStringView text)
    {
        if (!Enter(text))
            return;
        const Split s = FindOperator(text, MatchRelational);
        if (s.leftEnd < 0) {
            Additive(text);
        } else {
            Append(std::make_unique<TRepEvElementOperator>(s.op));
            Additive(text.left(s.leftEnd));
            Additive(text.mid(s.rightStart));
        }
        Leave();
    }

private:
    void Additive(QStringView text)
    {
        if (!Enter(text))
            return;
        const Split s = FindOperator(text, MatchAdditive);
        if (s.leftEnd < 0) {
            Multiplicative(text);
        } else {
            Append(std::make_unique<TRepEvElementOperator>(s.op));
            Multiplicative(text.left(s.leftEnd));
            const QStringView right = text.mid(s.rightStart);
            if (s.op == TRepOperator::Subtract)
                Additive(SwapOperators(right, u'+', u'-'));
            else
                Additive(right);
        }
        Leave();
    }

    void Multiplicative(QStringView text)
    {
        if (!Enter(text))
            return;
        const Split s = FindOperator(text, MatchMultiplicative);
        if (s.leftEnd < 0) {
            Factor(text);
        } else {
            Append(std::make_unique<TRepEvElementOperator>(s.op));
            Factor(text.left(s.leftEnd));
            const QStringView right = text.mid(s.rightStart);
            if (s.op == TRepOperator::Divide)
                Multiplicative(SwapOperators(right, u'*', u'/'));
            else
                Multiplicative(right);
        }
        Leave();
    }

    void Factor(QStringView raw)
    {
        const QStringView t = Trimmed(raw);
        if (!Enter(t))
            return;
        const QChar first = t.isEmpty() ? QChar() : t[0];
        const QChar last = t.isEmpty() ? QChar() : t[t.size() - 1];
        if (t.left(3).compare(QLatin1String("not"), Qt::CaseInsensitive) == 0) {
            Append(std::make_unique<TRepEvElementNegation>());
            Additive(t.mid(3));
        } else if (first == u'\'') {
            if (t.size() >= 2 && last == u'\'')
                Append(std::make_unique<TRepEvElementString>(t.mid(1, t.size() - 2).toString()));
            else
                Error(Message(Missing, QStringLiteral("'")));
        } else if (first == u'(') {
            if (t.size() >= 2 && last == u')')
                Relational(t.mid(1, t.size() - 2));
            else
                Error(Message(Missing, QStringLiteral(")")));
        } else if (first == u'+') {
            Factor(t.mid(1));
        } else if (first == u'-') {
            Additive(QString(QStringLiteral("0-") + t.mid(1).toString()));
        } else if (IsDigit(first)) {
            NumericConstant(t);
        } else if (IsAsciiLetter(first)) {
            NameOrFunction(t);
        } else if (first == u'[') {
            if (t.size() >= 2 && last == u']')
                Variable(t.mid(1, t.size() - 2).toString());
            else
                Error(Message(Missing, QStringLiteral("]")));
        } else {
            Error(Message(ErrorInExpression, t.toString()));
        }
        Leave();
    }

    void NameOrFunction(QStringView t)
    {
        const qsizetype open = t.indexOf(u'(');
        QStringView name = t;
        QStringView args;
        bool hasArgs = false;
        if (open >= 0) {
            if (t.endsWith(u')')) {
                name = t.left(open);
                args = t.mid(open + 1, t.size() - open - 2);
                hasArgs = true;
            } else {
                name = QStringView();
            }
        }
        const QString upper = name.toString().toUpper();
        if (FunctionLibrary().Find(upper)) {
            auto element = FunctionLibrary().CreateFunctionElement(upper);
            auto *function = static_cast<TRepEvElementFunction *>(element.get());
            Append(std::move(element));
            const QList<QStringView> pieces = hasArgs ? SplitArguments(args) : QList<QStringView>();
            function->ReserveArguments(int(pieces.size()));
            for (QStringView piece : pieces)
                Relational(piece);
            Append(std::make_unique<TRepEvElementArgumentEnd>());
        } else if (hasArgs && !args.isEmpty()) {
            Error(Message(UnknownFunction, upper));
        } else {
            Variable(upper);
        }
    }

    // Pieces between top-level commas; the last character is never a
    // separator, and an empty last piece is no argument.
    static QList<QStringView> SplitArguments(QStringView args)
    {
        QList<QStringView> pieces;
        ScanState state;
        qsizetype start = 0;
        for (qsizetype i = 0; i + 1 < args.size(); ++i) {
            if (state.AtTopLevel() && args[i] == QChar(ArgumentSeparator)) {
                pieces.append(args.mid(start, i - start));
                start = i + 1;
            }
            state.Step(args[i]);
        }
        if (start < args.size())
            pieces.append(args.mid(start));
        return pieces;
    }

    void Variable(const QString &name)
    {
        if (const TRepDatasetList *list = FEvaluator.Datasets()) {
            const qsizetype dot = name.indexOf(u'.');
            const QString datasetPart = dot < 0 ? QString() : name.left(dot).toUpper();
            const QString fieldPart = (dot < 0 ? name : name.mid(dot + 1)).toUpper();
            for (TRepDataset *ds : *list) {
                if (!ds)
                    continue;
                if (!datasetPart.isEmpty() && ds->DatasetName().compare(datasetPart, Qt::CaseInsensitive) != 0)
                    continue;
                const int index = FindFieldIndex(*ds, fieldPart);
                if (index >= 0) {
                    Append(std::make_unique<TRepEvElementDataField>(ds, index, ds->FieldAt(index)));
                    return;
                }
                if (!datasetPart.isEmpty())
                    break; // only the first data set of that name is searched
            }
        }
        EnvironmentName(name);
    }

    void EnvironmentName(const QString &name)
    {
        std::unique_ptr<TRepEvElement> element;
        if (TRepEvEnvironment *env = FEvaluator.Environment()) {
            element = env->EntryElement(name);
            if (IsErrorElement(element.get()))
                element = GlobalEnvironment().EntryElement(name);
        } else {
            element = GlobalEnvironment().EntryElement(name);
        }
        Append(std::move(element));
    }

    void NumericConstant(QStringView t)
    {
        const QString text = t.left(MaxResultText).toString();
        qsizetype n = 0;
        while (n < text.size() && IsDigit(text[n]))
            ++n;
        if (n == text.size()) {
            bool ok = false;
            const qint32 value = text.toInt(&ok, 10);
            if (ok) {
                Append(std::make_unique<TRepEvElementConstant>(EvalResult::FromInteger(value)));
                return;
            }
        } else {
            for (qsizetype i = n; i < text.size(); ++i) {
                const QChar c = text[i];
                if (!(IsDigit(c) || c == u'+' || c == u'-' || c == u'.' || c == u'E' || c == u'e')) {
                    Error(Message(IllegalNumeric, text));
                    return;
                }
            }
        }
        QString localised = text;
        localised.replace(u'.', QLocale().decimalPoint());
        double value = 0;
        if (TextToFloat(localised, value))
            Append(std::make_unique<TRepEvElementConstant>(EvalResult::FromFloat(value)));
        else
            Error(Message(IllegalNumeric, text));
    }

    bool Enter(QStringView text)
    {
        if (++FDepth <= MaxNesting)
            return true;
        --FDepth;
        Error(Message(ErrorInExpression, text.left(MaxResultText).toString()));
        return false;
    }
    void Leave() { --FDepth; }

    void Append(std::unique_ptr<TRepEvElement> e) { FQueue.Append(std::move(e)); }
    void Error(const QString &message) { Append(std::make_unique<TRepEvElementError>(message)); }

    TRepEvaluator &FEvaluator;
    TRepFiFo &FQueue;
    int FDepth = 0;
};

const QDateTime StartMoment = QDateTime::currentDateTime();

} // namespace

// ---------------------------------------------------------------- evaluator

TRepEvaluator::TRepEvaluator() = default;

TRepEvaluator::~TRepEvaluator() { ReleaseExpression(); }

void TRepEvaluator::CompileExpression(const QString &text)
{
    ReleaseExpression();
    GlobalEnvironment().CompileEntries();
    FQueue = std::make_unique<TRepFiFo>();
    Compiler compiler(*this, *FQueue);
    compiler.Relational(text.isEmpty() ? QStringLiteral("' '") : text);
    FQueue->PrepareArithmetic();
    FCompiled = true;
}

void TRepEvaluator::ReleaseExpression()
{
    if (!FCompiled)
        return;
    FQueue.reset();
    FCompiled = false;
    GlobalEnvironment().ReleaseEntries();
}

void TRepEvaluator::Compute(EvalResult &out)
{
    if (!FCompiled) {
        out.SetError(QString::fromLatin1(NotPrepared));
        return;
    }
    if (FQueue->ComputeArithmetic(out))
        return;
    FQueue->Rewind();
    FQueue->NextResult(out);
}

EvalResult TRepEvaluator::ComputeResult()
{
    if (!FCompiled)
        throw AppError(QString::fromLatin1(NotPrepared));
    EvalResult r;
    Compute(r);
    return r;
}

void TRepEvaluator::ResetAggregates()
{
    if (FQueue)
        for (const auto &e : FQueue->Elements())
            e->ResetAggregate();
}

void TRepEvaluator::UpdateAggregates()
{
    if (!FCompiled)
        return;
    FQueue->AggregateMode = true;
    EvalResult discarded;
    Compute(discarded);
    FQueue->AggregateMode = false;
}

bool TRepEvaluator::UsesAggregates() const
{
    if (FQueue)
        for (const auto &e : FQueue->Elements())
            if (e->IsAggregate())
                return true;
    return false;
}

TRepEvElement *TRepEvaluator::FirstElement() const
{
    if (!FQueue || FQueue->Elements().empty())
        return nullptr;
    return FQueue->Elements().front().get();
}

const QString *TRepEvaluator::WholeText() const
{
    if (!FCompiled || FQueue->Elements().size() != 1)
        return nullptr;
    const TRepEvElement *element = FirstElement();
    if (const auto *wrapper = dynamic_cast<const TRepEvElementWrapper *>(element))
        return wrapper->WholeText();
    const auto *text = dynamic_cast<const TRepEvElementString *>(element);
    return text ? &text->FText : nullptr;
}

// -------------------------------------------------------------- environment

// An environment entry: an expression text with an evaluator of its own.
class TRepEvEmbeddedFunction : public TRepEvEntry
{
public:
    explicit TRepEvEmbeddedFunction(const QString &expression) : FExpression(expression) {}
    // Wrappers go first, while the evaluator still holds the compiled queue.
    ~TRepEvEmbeddedFunction() override { DetachWrappers(); }

    void Produce(TRepFiFo &, EvalResult &out) override;
    void ResetAggregate() override;
    const EvalResult *PublishedValue() const override
    {
        const TRepFiFo *queue = FEvaluator.Queue();
        return queue ? queue->SingleConstant() : nullptr;
    }
    // One step only: an entry that names an entry is computed as usual.
    const QString *WholeText() const override
    {
        const TRepFiFo *queue = FEvaluator.Queue();
        const auto *text = queue && queue->Elements().size() == 1
                               ? dynamic_cast<const TRepEvElementString *>(queue->First())
                               : nullptr;
        return text ? &text->FText : nullptr;
    }

    const QString &Expression() const { return FExpression; }
    TRepEvaluator &Evaluator() { return FEvaluator; }
    const TRepEvaluator &Evaluator() const { return FEvaluator; }

private:
    QString FExpression;
    TRepEvaluator FEvaluator;
    bool FInEvaluation = false;
    bool FResetting = false;
};

void TRepEvEmbeddedFunction::Produce(TRepFiFo &, EvalResult &out)
{
    if (FInEvaluation) {
        out.SetError(Message(RecursiveCall));
        return;
    }
    TRepFiFo *queue = FEvaluator.Queue();
    if (!queue) {
        out.SetError(QString::fromLatin1(NotPrepared));
        return;
    }
    if (const EvalResult *value = PublishedValue()) {
        out = *value;
        return;
    }
    FInEvaluation = true;
    queue->Rewind();
    queue->NextResult(out);
    FInEvaluation = false;
}

void TRepEvEmbeddedFunction::ResetAggregate()
{
    if (FResetting)
        return; // an entry that names itself
    FResetting = true;
    FEvaluator.ResetAggregates();
    FResetting = false;
}

TRepEvEnvironment::TRepEvEnvironment() = default;

TRepEvEnvironment::~TRepEvEnvironment() { ClearEntries(); }

int TRepEvEnvironment::IndexOf(const QString &name) const
{
    for (size_t i = 0; i < FEntries.size(); ++i)
        if (FEntries[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString TRepEvEnvironment::Name(int index) const { return FEntries.at(size_t(index)).Name; }

QString TRepEvEnvironment::Expression(int index) const { return FEntries.at(size_t(index)).Function->Expression(); }

void TRepEvEnvironment::CompileEntry(Entry &entry)
{
    TRepEvaluator &ev = entry.Function->Evaluator();
    ev.SetDatasets(Datasets());
    ev.SetEnvironment(this);
    ev.CompileExpression(entry.Function->Expression());
}

void TRepEvEnvironment::DefineEntry(const QString &name, const QString &expression)
{
    const QString upper = name.toUpper();
    if (IndexOf(upper) >= 0)
        return;
    FEntries.push_back({upper, std::make_unique<TRepEvEmbeddedFunction>(expression)});
    if (FCompileCount > 0)
        CompileEntry(FEntries.back());
}

void TRepEvEnvironment::RemoveEntry(const QString &name)
{
    const int i = IndexOf(name);
    if (i < 0)
        return;
    // Taken out of the list first: freeing it may release other entries.
    std::unique_ptr<TRepEvEmbeddedFunction> gone = std::move(FEntries[size_t(i)].Function);
    FEntries.erase(FEntries.begin() + i);
}

void TRepEvEnvironment::ClearEntries()
{
    std::vector<Entry> gone;
    gone.swap(FEntries);
}

void TRepEvEnvironment::CompileEntries()
{
    if (FCompileCount++ != 0)
        return;
    for (size_t i = 0; i < FEntries.size(); ++i)
        CompileEntry(FEntries[i]);
}

void TRepEvEnvironment::ReleaseEntries()
{
    if (this == &GlobalEnvironment() && ReleasingFlag)
        return;
    if (FCompileCount <= 0)
        return;
    const bool wasReleasing = ReleasingFlag;
    ReleasingFlag = true;
    if (--FCompileCount == 0)
        for (Entry &e : FEntries)
            e.Function->Evaluator().ReleaseExpression();
    ReleasingFlag = wasReleasing;
}

std::unique_ptr<TRepEvElement> TRepEvEnvironment::EntryElement(const QString &name)
{
    const int i = IndexOf(name);
    if (i < 0)
        return std::make_unique<TRepEvElementError>(Message(UnknownFunction, name));
    return std::make_unique<TRepEvElementWrapper>(FEntries[size_t(i)].Function.get(), FEntries[size_t(i)].Name);
}

EvalResult TRepEvEnvironment::EntryValue(const QString &name)
{
    EvalResult r;
    const int i = IndexOf(name);
    if (i < 0) {
        r.SetError(Message(UnknownFunction, name));
        return r;
    }
    TRepFiFo none;
    FEntries[size_t(i)].Function->Produce(none, r);
    return r;
}

TRepEvElement *TRepEvEnvironment::FindConstant(const QString &name) const
{
    const int i = IndexOf(name);
    if (i < 0)
        return nullptr;
    const TRepEvaluator &ev = FEntries[size_t(i)].Function->Evaluator();
    return ev.Compiled() ? ev.FirstElement() : nullptr;
}

void TRepEvEnvironment::StoreInteger(TRepEvElement *element, qint32 n)
{
    if (auto *c = dynamic_cast<TRepEvElementConstant *>(element))
        c->FValue.SetInteger(n);
}

void TRepEvEnvironment::StoreString(TRepEvElement *element, const QString &s)
{
    if (auto *e = dynamic_cast<TRepEvElementString *>(element))
        e->FText = s;
}

void TRepEvEnvironment::StoreResult(TRepEvElement *element, const EvalResult &r)
{
    if (auto *c = dynamic_cast<TRepEvElementConstant *>(element))
        c->FValue = r;
    else if (auto *e = dynamic_cast<TRepEvElementString *>(element); e && r.Kind() == KindString)
        e->FText = r.Text();
}

TRepEvEnvironment &GlobalEnvironment()
{
    // Never destroyed: evaluators that outlive static destruction still find it.
    static TRepEvEnvironment *const global = [] {
        auto *env = new TRepEvEnvironment;
        const QString quote = QStringLiteral("'");
        env->DefineEntry(QStringLiteral("AppStartTime"), quote + LocaleLongTimeText(StartMoment.time()) + quote);
        env->DefineEntry(QStringLiteral("AppStartDate"),
                         quote + QLocale().toString(StartMoment.date(), QLocale::ShortFormat) + quote);
        env->DefineEntry(QStringLiteral("AppName"), quote + QString::fromLatin1(ApplicationTitle) + quote);
        return env;
    }();
    return *global;
}

bool EnvironmentReleasing() { return ReleasingFlag; }
