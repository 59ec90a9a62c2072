// Named entries, the values a report publishes into them, aggregates over
// passes, and fields read through the data set interface.

#include "platform/AppError.h"
#include "report/expr/RepExpr.h"
#include "support/QtPrinters.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>
#include <map>

namespace {

QString Shown(const EvalResult &r) { return r.IsError() ? r.Text() : ResultToText(r); }

class Environment : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    QString Compute(const QString &expression)
    {
        ev.SetEnvironment(&env);
        ev.CompileExpression(expression);
        return Shown(ev.ComputeResult());
    }

    TRepEvEnvironment env; // declared first: outlives the evaluator
    TRepEvaluator ev;
};

// Only an expression that is one text gives that text whole; anything that
// computes keeps the 255-character results.
TEST_F(Environment, WholeTextOfAnExpressionThatIsOneText)
{
    const QString line(700, u'w');
    env.DefineEntry(QStringLiteral("Band"), QStringLiteral("''"));
    env.DefineEntry(QStringLiteral("Alias"), QStringLiteral("Band"));
    env.DefineEntry(QStringLiteral("Self"), QStringLiteral("Self"));
    env.DefineEntry(QStringLiteral("Number"), QStringLiteral("7"));
    env.CompileEntries();
    env.StoreString(env.FindConstant(QStringLiteral("Band")), line);
    struct Case { const char *expression; const QString *whole; };
    const QString quoted(300, u'q');
    const Case cases[] = {
        {"Band", &line},
        {"band", &line},
        {"Alias", nullptr}, // an entry naming an entry computes as usual
        {"Self", nullptr},
        {"Number", nullptr},
        {"Band + ''", nullptr},
        {"UPPER(Band)", nullptr},
    };
    for (const Case &c : cases) {
        Compute(QString::fromUtf8(c.expression));
        const QString *whole = ev.WholeText();
        ASSERT_EQ(whole != nullptr, c.whole != nullptr) << c.expression;
        if (whole) {
            EXPECT_EQ(*whole, *c.whole) << c.expression;
        }
        EXPECT_LE(ev.ComputeResult().TextLength(), 255) << c.expression;
    }
    ev.CompileExpression(QStringLiteral("'%1'").arg(quoted));
    ASSERT_NE(ev.WholeText(), nullptr);
    EXPECT_EQ(*ev.WholeText(), quoted);
    ev.ReleaseExpression();
    EXPECT_EQ(ev.WholeText(), nullptr);
}

TEST_F(Environment, PublishedValuesAreSeenWithoutRecompiling)
{
    env.DefineEntry(QStringLiteral("RepStringsBand1"), QStringLiteral("''"));
    env.DefineEntry(QStringLiteral("PageNumber"), QStringLiteral("0"));
    env.CompileEntries();
    TRepEvElement *line = env.FindConstant(QStringLiteral("REPSTRINGSBAND1"));
    TRepEvElement *page = env.FindConstant(QStringLiteral("pagenumber"));
    ASSERT_TRUE(line);
    ASSERT_TRUE(page);

    env.StoreString(line, QStringLiteral("x"));
    EXPECT_EQ(Compute(QStringLiteral("RepStringsBand1")), QStringLiteral("x"));
    env.StoreString(line, QStringLiteral("y"));
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("y"));

    env.StoreResult(line, EvalResult::FromString(QString(300, u'z')));
    EXPECT_EQ(ev.ComputeResult().TextLength(), 255);
    env.StoreResult(line, EvalResult::FromInteger(5)); // a string entry takes only strings
    EXPECT_EQ(ev.ComputeResult().Kind(), KindString);

    env.StoreInteger(page, 7);
    EXPECT_EQ(Compute(QStringLiteral("PAGENUMBER + 1")), QStringLiteral("8"));
    env.StoreResult(page, EvalResult::FromFloat(2.5));
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("3.5"));

    // the wrong kind of element is left alone
    env.StoreInteger(line, 3);
    env.StoreString(page, QStringLiteral("nope"));
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("3.5"));
    EXPECT_EQ(env.EntryValue(QStringLiteral("RepStringsBand1")).Kind(), KindString);
}

TEST_F(Environment, ArithmeticOverPublishedEntriesFollowsTheirKinds)
{
    env.DefineEntry(QStringLiteral("X"), QStringLiteral("0"));
    env.DefineEntry(QStringLiteral("Twice"), QStringLiteral("X * 2"));
    env.CompileEntries();
    TRepEvElement *x = env.FindConstant(QStringLiteral("X"));
    const struct { EvalResult value; const char *expression; const char *shown; } cases[] = {
        {EvalResult::FromInteger(3), "(X + 2) * X - X / 2", "13.5"},
        {EvalResult::FromInteger(3), "Twice - 1", "5"},
        {EvalResult::FromInteger(2147483647), "X + 1", "-2147483648"},
        {EvalResult::FromFloat(1.5), "X * 2", "3"},
        {EvalResult::FromInteger(0), "1 / X", "Cannot divide by 0"},
        {EvalResult::FromString(u"a"), "X * 2", "Cannot multiply string expressions"},
        {EvalResult::FromString(u"a"), "X + 2", "a2"},
        {EvalResult::FromBoolean(true), "X - 1", "Cannot subtract string expressions"},
        {EvalResult::FromError(u"stored fault"), "1 + X", "stored fault"},
    };
    for (const auto &c : cases) {
        env.StoreResult(x, c.value);
        EXPECT_EQ(Compute(QString::fromLatin1(c.expression)), QString::fromLatin1(c.shown)) << c.expression;
    }
    env.StoreInteger(x, 4);
    Compute(QStringLiteral("X * 2"));
    env.ReleaseEntries();
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("Evaluator not prepared"));
}

TEST_F(Environment, FindConstantNeedsACompiledEntry)
{
    env.DefineEntry(QStringLiteral("A"), QStringLiteral("1"));
    EXPECT_EQ(env.FindConstant(QStringLiteral("A")), nullptr);
    env.CompileEntries();
    EXPECT_NE(env.FindConstant(QStringLiteral("a")), nullptr);
    EXPECT_EQ(env.FindConstant(QStringLiteral("B")), nullptr);
}

TEST_F(Environment, EntriesAreUpperCasedAndDefinedOnce)
{
    env.DefineEntry(QStringLiteral("Title"), QStringLiteral("'first'"));
    env.DefineEntry(QStringLiteral("TITLE"), QStringLiteral("'second'"));
    ASSERT_EQ(env.Count(), 1);
    EXPECT_EQ(env.Name(0), QStringLiteral("TITLE"));
    EXPECT_EQ(env.Expression(0), QStringLiteral("'first'"));
    env.CompileEntries();
    EXPECT_EQ(Compute(QStringLiteral("title")), QStringLiteral("first"));
    EXPECT_EQ(Compute(QStringLiteral("[Title] + '!'")), QStringLiteral("first!"));
    // a name in brackets keeps its signs on the right of a minus
    env.DefineEntry(QStringLiteral("net-tax+fee"), QStringLiteral("4"));
    EXPECT_EQ(Compute(QStringLiteral("10 - [NET-TAX+FEE] + 1")), QStringLiteral("7"));
}

TEST_F(Environment, AnEntryDefinedWhileCompiledIsCompiledAtOnce)
{
    env.DefineEntry(QStringLiteral("A"), QStringLiteral("1"));
    env.CompileEntries();
    TRepEvElement *a = env.FindConstant(QStringLiteral("A"));
    env.DefineEntry(QStringLiteral("B"), QStringLiteral("A + 1"));
    EXPECT_EQ(Compute(QStringLiteral("B")), QStringLiteral("2"));
    env.DefineEntry(QStringLiteral("B"), QStringLiteral("99"));
    // an existing entry is neither changed nor compiled again
    EXPECT_EQ(env.FindConstant(QStringLiteral("A")), a);
    EXPECT_EQ(Compute(QStringLiteral("B")), QStringLiteral("2"));
}

TEST_F(Environment, CompilingIsCounted)
{
    env.DefineEntry(QStringLiteral("A"), QStringLiteral("1"));
    env.ReleaseEntries(); // never counts below zero
    EXPECT_EQ(env.CompileCount(), 0);
    env.CompileEntries();
    env.CompileEntries();
    EXPECT_EQ(env.CompileCount(), 2);
    env.ReleaseEntries();
    EXPECT_NE(env.FindConstant(QStringLiteral("A")), nullptr);
    env.ReleaseEntries();
    EXPECT_EQ(env.FindConstant(QStringLiteral("A")), nullptr);
    EXPECT_FALSE(EnvironmentReleasing());
    EXPECT_EQ(Shown(env.EntryValue(QStringLiteral("A"))), QStringLiteral("Evaluator not prepared"));
}

TEST_F(Environment, AnEntryThatNeedsItsOwnValueIsAnError)
{
    env.DefineEntry(QStringLiteral("E"), QStringLiteral("E+1"));
    env.DefineEntry(QStringLiteral("P"), QStringLiteral("Q"));
    env.DefineEntry(QStringLiteral("Q"), QStringLiteral("P"));
    env.DefineEntry(QStringLiteral("S"), QStringLiteral("SUM(S)"));
    env.CompileEntries();
    EXPECT_EQ(Compute(QStringLiteral("E")), QStringLiteral("Recursive calls not allowed"));
    EXPECT_EQ(Compute(QStringLiteral("P")), QStringLiteral("Recursive calls not allowed"));
    EXPECT_EQ(Compute(QStringLiteral("S")), QStringLiteral("0"));
    ev.UpdateAggregates();
    ev.ResetAggregates(); // must not loop through the entry that names itself
    EXPECT_EQ(Compute(QStringLiteral("E")), QStringLiteral("Recursive calls not allowed"));
}

TEST_F(Environment, RemovedEntriesAreNoLongerReached)
{
    env.DefineEntry(QStringLiteral("A"), QStringLiteral("5"));
    env.DefineEntry(QStringLiteral("B"), QStringLiteral("A * 2"));
    env.CompileEntries();
    EXPECT_EQ(Compute(QStringLiteral("B + A")), QStringLiteral("15"));
    env.RemoveEntry(QStringLiteral("a"));
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("Unknown function : A"));
    env.ClearEntries();
    EXPECT_EQ(env.Count(), 0);
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("Unknown function : B"));
    EXPECT_EQ(Shown(env.EntryValue(QStringLiteral("A"))), QStringLiteral("Unknown function : A"));
}

TEST_F(Environment, GlobalEntriesAreTheFallback)
{
    EXPECT_EQ(Compute(QStringLiteral("AppName")), QStringLiteral("Zumoria V3"));
    EXPECT_EQ(Compute(QStringLiteral("TYPEOF(AppStartTime) + TYPEOF(AppStartDate)")), QStringLiteral("STRINGSTRING"));
    EXPECT_FALSE(Compute(QStringLiteral("AppStartDate")).isEmpty());
    env.DefineEntry(QStringLiteral("AppName"), QStringLiteral("'own'"));
    env.CompileEntries();
    EXPECT_EQ(Compute(QStringLiteral("AppName")), QStringLiteral("own"));
    EXPECT_EQ(Compute(QStringLiteral("Nowhere")), QStringLiteral("Unknown function : NOWHERE"));
    TRepEvaluator alone; // without an environment only the global one is asked
    alone.CompileExpression(QStringLiteral("AppName"));
    EXPECT_EQ(Shown(alone.ComputeResult()), QStringLiteral("Zumoria V3"));
}

TEST_F(Environment, AggregatesAccumulateOverPassesAndReset)
{
    env.DefineEntry(QStringLiteral("X"), QStringLiteral("0"));
    env.DefineEntry(QStringLiteral("B"), QStringLiteral("0"));
    env.DefineEntry(QStringLiteral("S"), QStringLiteral("''"));
    env.CompileEntries();
    TRepEvElement *x = env.FindConstant(QStringLiteral("X"));
    TRepEvElement *b = env.FindConstant(QStringLiteral("B"));
    TRepEvElement *s = env.FindConstant(QStringLiteral("S"));
    ev.SetEnvironment(&env);
    ev.CompileExpression(QStringLiteral(
        "STR(SUM(X)) + ' ' + STR(AVERAGE(X)) + ' ' + STR(COUNT) + ' ' + STR(MIN(B)) + ' ' + MAX(S)"));
    EXPECT_TRUE(ev.UsesAggregates());
    const bool flags[] = {true, false, true};
    const char *texts[] = {"b", "a", "ab"};
    for (int i = 0; i < 3; ++i) {
        env.StoreInteger(x, i + 1);
        env.StoreResult(b, EvalResult::FromBoolean(flags[i]));
        env.StoreString(s, QString::fromLatin1(texts[i]));
        ev.UpdateAggregates();
    }
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("6 2 3 False b"));
    ev.ResetAggregates();
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("0 0 0 0 0"));

    TRepEvaluator plain;
    plain.SetEnvironment(&env);
    plain.CompileExpression(QStringLiteral("X + 1"));
    EXPECT_FALSE(plain.UsesAggregates());
}

TEST_F(Environment, AggregateKindsAndFaults)
{
    env.DefineEntry(QStringLiteral("V"), QStringLiteral("0"));
    env.CompileEntries();
    TRepEvElement *v = env.FindConstant(QStringLiteral("V"));
    struct Pass
    {
        const char *expression;
        std::vector<EvalResult> values;
        const char *shown;
        EvalKind kind;
    };
    const Pass passes[] = {
        {"SUM(V)", {EvalResult::FromFloat(1.5), EvalResult::FromFloat(2)}, "3.5", KindFloat},
        {"SUM(V)", {EvalResult::FromInteger(1), EvalResult::FromFloat(0.5)}, "1.5", KindFloat},
        {"SUM(V)", {EvalResult::FromInteger(1), EvalResult::FromString(u"a")}, "Wrong arguments for SUM", KindError},
        {"SUM(V)", {EvalResult::FromString(u"a"), EvalResult::FromInteger(1)}, "Wrong arguments for SUM", KindError},
        {"SUM(V, V)", {EvalResult::FromInteger(1)}, "Wrong arguments for SUM", KindError},
        {"AVERAGE(V)", {EvalResult::FromInteger(1), EvalResult::FromInteger(2)}, "1.5", KindFloat},
        {"AVERAGE(V)", {EvalResult::FromString(u"a")}, "Wrong arguments for AVERAGE", KindError},
        {"MAX(V)", {EvalResult::FromInteger(3), EvalResult::FromFloat(3.5), EvalResult::FromInteger(1)}, "3.5", KindFloat},
        {"MIN(V)", {EvalResult::FromInteger(3), EvalResult::FromInteger(-4)}, "-4", KindInteger},
        {"MIN(V)", {EvalResult::FromInteger(3), EvalResult::FromString(u"a")}, "Wrong arguments for MIN", KindError},
        {"MAX(V)", {EvalResult::FromError(u"bad"), EvalResult::FromInteger(3)}, "bad", KindError},
        {"MAX()", {EvalResult::FromInteger(3)}, "Wrong arguments for MAX", KindError},
        {"COUNT + 0", {EvalResult::FromInteger(3), EvalResult::FromInteger(3)}, "2", KindInteger},
    };
    for (const Pass &p : passes) {
        TRepEvaluator agg;
        agg.SetEnvironment(&env);
        agg.CompileExpression(QString::fromLatin1(p.expression));
        agg.ResetAggregates();
        for (const EvalResult &value : p.values) {
            env.StoreResult(v, value);
            agg.UpdateAggregates();
        }
        const EvalResult r = agg.ComputeResult();
        EXPECT_EQ(Shown(r), QString::fromLatin1(p.shown)) << p.expression;
        EXPECT_EQ(int(r.Kind()), int(p.kind)) << p.expression;
    }
}

// A data set of one record whose fields are given as (name, type, value).
class FakeField : public TRepField
{
public:
    FakeField(QString name, TRepFieldType type, QVariant value) : FName(name), FType(type), FValue(value) {}
    QString FieldName() const override { return FName; }
    TRepFieldType DataType() const override { return FType; }
    QString AsString() const override { return FValue.toString(); }
    qint32 AsInteger() const override { return FValue.toInt(); }
    double AsFloat() const override { return FValue.toDouble(); }
    bool AsBoolean() const override { return FValue.toBool(); }
    QString DisplayText() const override { return QLocale().toString(FValue.toDate(), QLocale::ShortFormat); }
    QVariant FValue;

private:
    QString FName;
    TRepFieldType FType;
};

class FakeDataset : public TRepDataset
{
public:
    explicit FakeDataset(QString name, bool defaultFields = false) : FName(name), FDefault(defaultFields) {}
    QString DatasetName() const override { return FName; }
    int FieldCount() const override { return int(Fields.size()); }
    TRepField *FieldAt(int i) const override { return i >= 0 && i < FieldCount() ? Fields[size_t(i)].get() : nullptr; }
    bool DefaultFields() const override { return FDefault; }
    void Add(const char *name, TRepFieldType type, QVariant value)
    {
        Fields.push_back(std::make_unique<FakeField>(QString::fromLatin1(name), type, value));
    }
    std::vector<std::unique_ptr<FakeField>> Fields;

private:
    QString FName;
    bool FDefault;
};

TEST_F(Environment, FieldsOfDatasetsAreReadAtEveryComputation)
{
    FakeDataset people(QStringLiteral("People"));
    people.Add("NAME", TRepFieldType::String, QString(300, u'n'));
    people.Add("AGE", TRepFieldType::Integer, 41);
    people.Add("PRICE", TRepFieldType::Currency, 2.5);
    people.Add("OK", TRepFieldType::Boolean, true);
    people.Add("BORN", TRepFieldType::Date, QDate(2001, 2, 3));
    people.Add("BLOB", TRepFieldType::Other, QByteArray("x"));
    FakeDataset orders(QStringLiteral("Orders"));
    orders.Add("AGE", TRepFieldType::SmallInt, 7);
    const TRepDatasetList list = {&people, &orders};
    ev.SetDatasets(&list);

    const struct { const char *expression; const char *shown; } cases[] = {
        {"age + 1", "42"},
        {"[Orders.age]", "7"},
        {"[people.AGE] + [ORDERS.AGE]", "48"},
        {"PRICE * 2", "5"},
        {"NOT OK", "False"},
        {"BORN", "2/3/01"},
        {"BLOB", "Field BLOB is of unknown type"},
        {"[Nobody.AGE]", "Unknown function : Nobody.AGE"},
        {"MISSING", "Unknown function : MISSING"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Compute(QString::fromLatin1(c.expression)), QString::fromLatin1(c.shown)) << c.expression;
    EXPECT_EQ(Compute(QStringLiteral("NAME")).size(), 255);

    Compute(QStringLiteral("AGE"));
    people.Fields[1]->FValue = 50; // the next record
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("50"));
}

TEST_F(Environment, DefaultFieldsAreLookedUpByIndexEveryTime)
{
    FakeDataset live(QStringLiteral("Live"), true);
    live.Add("N", TRepFieldType::Integer, 1);
    const TRepDatasetList list = {&live};
    ev.SetDatasets(&list);
    EXPECT_EQ(Compute(QStringLiteral("N")), QStringLiteral("1"));
    live.Fields[0] = std::make_unique<FakeField>(QStringLiteral("N"), TRepFieldType::Integer, 2);
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("2"));
    live.Fields.clear();
    EXPECT_EQ(Shown(ev.ComputeResult()), QStringLiteral("Field N is of unknown type"));
}

TEST_F(Environment, EntriesSeeTheEnvironmentsDatasets)
{
    FakeDataset ds(QStringLiteral("D"));
    ds.Add("QTY", TRepFieldType::Word, 3);
    const TRepDatasetList list = {&ds};
    env.SetDatasets(&list);
    env.DefineEntry(QStringLiteral("Double"), QStringLiteral("QTY * 2"));
    env.CompileEntries();
    EXPECT_EQ(Compute(QStringLiteral("DOUBLE")), QStringLiteral("6"));
    env.ReleaseEntries();
    env.SetDatasets(nullptr);
    EXPECT_TRUE(env.Datasets()->isEmpty());
}

} // namespace
