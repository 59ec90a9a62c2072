// Expressions compiled and computed end to end: the grammar's levels and
// their splitting rules, the operator table, the function library and every
// fault message.

#include "platform/AppError.h"
#include "report/expr/RepExpr.h"
#include "report/expr/detail/RepExprLibrary.h"
#include "support/QtPrinters.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <gtest/gtest.h>

namespace {

struct Case
{
    const char *expression;
    EvalKind kind;
    const char *text; // ResultToText of the result, or the error's message
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.expression; }

QString Shown(const EvalResult &r) { return r.IsError() ? r.Text() : ResultToText(r); }

EvalResult Evaluate(const QString &expression)
{
    TRepEvaluator ev;
    ev.CompileExpression(expression);
    return ev.ComputeResult();
}

class ExpressionTable : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_P(ExpressionTable, ComputesKindAndValue)
{
    const Case &c = GetParam();
    const EvalResult r = Evaluate(QString::fromUtf8(c.expression));
    EXPECT_EQ(Shown(r), QString::fromUtf8(c.text));
    EXPECT_EQ(int(r.Kind()), int(c.kind)) << Shown(r).toStdString();
}

const Case Grammar[] = {
    // arithmetic and the splitting rules
    {"7/2", KindFloat, "3.5"},
    {"2-3+4", KindInteger, "3"},
    {"2-3-4", KindInteger, "-5"},
    {"10 - 2 - 3", KindInteger, "5"},
    {"8/4*2", KindFloat, "4"},
    {"8/2/2", KindFloat, "2"},
    {"-2*3", KindInteger, "-6"},
    {"+5", KindInteger, "5"},
    {"(1+2)*3", KindInteger, "9"},
    {"1 + 2.5", KindFloat, "3.5"},
    {"2147483647+1", KindInteger, "-2147483648"},
    {"65536*65536", KindInteger, "0"},
    {"2147483648", KindFloat, "2147483648"},
    {"1E5", KindFloat, "100000"},
    {"1.5e2", KindFloat, "150"},
    {"1E-5", KindError, "Illegal character in numeric contant \"1E\""},
    {"2*-3", KindError, "Illegal character in numeric contant \"2*\""},
    {"1.2.3", KindError, "Illegal character in numeric contant \"1.2.3\""},
    {"12abc", KindError, "Illegal character in numeric contant \"12abc\""},
    {"1/0", KindError, "Cannot divide by 0"},
    {"1.5/0", KindError, "Cannot divide by 0"},
    {"(1/0) + ('a'*2)", KindError, "Cannot divide by 0"},
    {"1 + (2/0)", KindError, "Cannot divide by 0"},
    // mixed kinds meet as text
    {"1 + 'a'", KindString, "1a"},
    {"2.5 + 'a'", KindString, "2.5a"},
    {"'x' + TRUE", KindString, "xTrue"},
    {"3 = '3'", KindBoolean, "True"},
    {"1 = 1.0", KindBoolean, "True"},
    {"2 < 10", KindBoolean, "True"},
    {"'2' < '10'", KindBoolean, "False"},
    {"'ab' < 'abc'", KindBoolean, "True"},
    {"'b' >= 'a'", KindBoolean, "True"},
    {"'a' <> 'a'", KindBoolean, "False"},
    {"3 <= 3", KindBoolean, "True"},
    {"3 > 4", KindBoolean, "False"},
    {"1+1 = 2", KindBoolean, "True"},
    {"TRUE = TRUE", KindBoolean, "True"},
    {"TRUE <> FALSE", KindBoolean, "True"},
    {"TRUE < FALSE", KindError, "Operator < is not compatible with boolean expressions"},
    {"TRUE >= FALSE", KindError, "Operator >= is not compatible with boolean expressions"},
    {"'a'-'b'", KindError, "Cannot subtract string expressions"},
    {"'a'*'b'", KindError, "Cannot multiply string expressions"},
    {"'a'/'b'", KindError, "Cannot divide string expressions"},
    {"TRUE+TRUE", KindError, "Cannot add boolean expressions"},
    {"TRUE-FALSE", KindError, "Cannot subtract boolean expressions"},
    {"TRUE*TRUE", KindError, "Cannot multiply boolean expressions"},
    {"TRUE/TRUE", KindError, "Cannot divide boolean expressions"},
    {"6 or 3", KindInteger, "7"},
    {"6 AND 3", KindInteger, "2"},
    {"TRUE or FALSE", KindBoolean, "True"},
    {"TRUE And FALSE", KindBoolean, "False"},
    {"1.5 or 2.5", KindError, "Operator OR is not compatible with numeric expressions"},
    {"1.5 and 2", KindError, "Operator AND is not compatible with numeric expressions"},
    {"'a' and 'b'", KindError, "Operator AND is not compatible with string expressions"},
    {"'a' or 'b'", KindError, "Operator OR is not compatible with string expressions"},
    // factors
    {"", KindString, " "},
    {"'it''s'", KindString, "it''s"},
    {"'a+b'", KindString, "a+b"},
    {"'(' + ')'", KindString, "()"},
    {"(1+2", KindError, "Missing )"},
    {"'abc", KindError, "Missing '"},
    {"[abc", KindError, "Missing ]"},
    {"#", KindError, "Error in expression : #"},
    {"1 + ", KindError, "Error in expression : "},
    {"1+", KindError, "Illegal character in numeric contant \"1+\""},
    {"NOT TRUE", KindBoolean, "False"},
    {"not false", KindBoolean, "True"},
    {"NOT 1", KindError, "Invalid use of NOT"},
    {"NOTES", KindError, "Unknown function : ES"},
    {"TRUE()", KindBoolean, "True"},
    {"TRUE", KindBoolean, "True"},
    {"FOO()", KindError, "Unknown function : FOO"},
    {"foo", KindError, "Unknown function : FOO"},
    {"FOO(1)", KindError, "Unknown function : FOO"},
    {"[foo]", KindError, "Unknown function : foo"},
    {"TRUE(", KindError, "Unknown function : "},
};
INSTANTIATE_TEST_SUITE_P(Grammar, ExpressionTable, ::testing::ValuesIn(Grammar));

const Case Library[] = {
    {"TRUE(1)", KindError, "Too many arguments"},
    {"FALSE", KindBoolean, "False"},
    {"FALSE(1, 2)", KindError, "Too many arguments"},
    {"IF(1=1, 'a', 'b')", KindString, "a"},
    {"IF(1=2, 'a', 'b')", KindString, "b"},
    {"IF(1, 'a', 'b')", KindError, "Wrong arguments for IF"},
    {"IF(TRUE, 'a')", KindError, "Wrong arguments for IF"},
    {"IF(1/0, 'a', 'b')", KindError, "Cannot divide by 0"},
    {"if(true, 1, 2) + 1", KindInteger, "2"},
    {"TYPEOF(1)", KindString, "INTEGER"},
    {"TYPEOF(1.5)", KindString, "FLOAT"},
    {"TYPEOF('x')", KindString, "STRING"},
    {"TYPEOF(TRUE)", KindString, "BOOLEAN"},
    {"TYPEOF(1/0)", KindString, "ERROR"},
    {"TYPEOF()", KindError, "Wrong arguments for TypeOf"},
    {"INT(3.7)", KindInteger, "3"},
    {"INT(-3.7)", KindInteger, "-3"},
    {"INT(5)", KindInteger, "5"},
    {"INT('a')", KindError, "Wrong arguments for INT"},
    {"INT(1E20)", KindError, "Wrong arguments for INT"},
    {"FRAC(2.75)", KindFloat, "0.75"},
    {"FRAC(0-2.75)", KindFloat, "-0.75"},
    {"FRAC(3)", KindFloat, "0"},
    {"SQRT(16)", KindFloat, "4"},
    {"SQRT(2.25)", KindFloat, "1.5"},
    {"SQRT(0-1)", KindError, "Invalid argument to SQRT function"},
    {"SQRT('a')", KindError, "Invalid argument to SQRT function"},
    {"SQRT(1, 2)", KindError, "Invalid argument to SQRT function"},
    {"DIV(7,2)", KindInteger, "3"},
    {"DIV(7.5, 2)", KindInteger, "4"},
    {"DIV(6.5, 2)", KindInteger, "3"},
    {"DIV(0-7, 2)", KindInteger, "-3"},
    {"DIV(7, 0)", KindError, "Division by Zero"},
    {"DIV(7, 0.4)", KindError, "Division by Zero"},
    {"DIV('a', 1)", KindError, "Wrong arguments for DIV"},
    {"DIV(1)", KindError, "Wrong arguments for DIV"},
    {"DIV(1E20, 1)", KindError, "Wrong arguments for DIV"},
    {"DIV(0-2147483647-1, 0-1)", KindInteger, "-2147483648"},
    {"STR(12)", KindString, "12"},
    {"STR(2.5)", KindString, "2.5"},
    {"STR(TRUE)", KindString, "True"},
    {"STR('x')", KindError, "Conversion error"},
    {"STR(1/0)", KindError, "Conversion error"},
    {"STR()", KindError, "Conversion error"},
    {"UPPER('abc')", KindString, "ABC"},
    {"LOWER('ABC')", KindString, "abc"},
    {"UPPER('ár')", KindString, "ÁR"},
    {"UPPER()", KindError, "Missing argument for UPPER"},
    {"LOWER('a', 'b')", KindError, "Missing argument for LOWER"},
    {"UPPER(1/0)", KindError, "Cannot divide by 0"},
    {"PRETTY('hELLO wORLD')", KindString, "Hello world"},
    {"PRETTY('')", KindString, ""},
    {"PRETTY()", KindError, "Missing argument for PRETTY"},
    {"COPY('abcdef', 2, 3)", KindString, "bcd"},
    {"COPY('abcdef', 0, 2)", KindString, "ab"},
    {"COPY('abc', 5, 1)", KindString, ""},
    {"COPY('abc', 2, 10)", KindString, "bc"},
    {"COPY('abc', 2, 0)", KindString, ""},
    {"COPY('a😀b', 3, 2)", KindString, "b"},
    {"COPY('a😀b', 1, 2)", KindString, "a"},
    {"COPY('abc', 'x', 1)", KindError, "Wrong arguments for COPY"},
    {"TIME(1)", KindError, "Wrong arguments for TIME"},
    {"DATE(1)", KindError, "Wrong arguments for DATE"},
    {"FORMATNUMERIC('0.00', 2.5)", KindString, "2.50"},
    {"FORMATNUMERIC('#,##0.00', 1234567.891)", KindString, "1,234,567.89"},
    {"FORMATNUMERIC('000', 7)", KindString, "007"},
    {"FORMATNUMERIC('#.##', 0.5)", KindString, ".5"},
    {"FORMATNUMERIC('0.##', 3)", KindString, "3"},
    {"FORMATNUMERIC('0', 0-2.5)", KindString, "-2"},
    {"FORMATNUMERIC('0;(0)', 0-5)", KindString, "(5)"},
    {"FORMATNUMERIC('0;(0);\"nil\"', 0)", KindString, "nil"},
    {"FORMATNUMERIC('\"n=\"0', 5)", KindString, "n=5"},
    {"FORMATNUMERIC('0.00E+00', 12345)", KindString, "1.23E+04"},
    {"FORMATNUMERIC('0.0E-0', 0.00125)", KindString, "1.3E-3"},
    {"FORMATNUMERIC('', 2.5)", KindString, "2.5"},
    {"FORMATNUMERIC('0E+0#0', 5)", KindString, "5E+0"},
    {"FORMATNUMERIC('#E-0', 0)", KindString, "0E0"},
    {"FORMATNUMERIC('\"abc', 1)", KindError, "Invalid format or value specified"},
    {"FORMATNUMERIC(1, 1)", KindError, "Wrong arguments for FORMATNUMERIC"},
    {"COUNT(1)", KindError, "COUNT - Too many arguments"},
    {"COUNT", KindInteger, "0"},
    {"SUM(5)", KindInteger, "0"},
    {"AVERAGE(5)", KindFloat, "0"},
};
INSTANTIATE_TEST_SUITE_P(Library, ExpressionTable, ::testing::ValuesIn(Library));

class Expression : public ::testing::Test
{
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

TEST_F(Expression, TextIsCutAt255Characters)
{
    const QString longText(300, u'a');
    EXPECT_EQ(Evaluate(QStringLiteral("'%1'").arg(longText)).Text(), QString(255, u'a'));
    const EvalResult joined = Evaluate(QStringLiteral("'%1' + '%2'").arg(QString(200, u'x'), QString(100, u'y')));
    EXPECT_EQ(joined.Text(), QString(200, u'x') + QString(55, u'y'));
    EXPECT_EQ(EvalResult::FromString(longText).TextLength(), 255);
    EXPECT_EQ(EvalResult::FromError(longText).TextLength(), 255);
}

TEST_F(Expression, ComputingBeforeCompilingRaises)
{
    TRepEvaluator ev;
    try {
        ev.ComputeResult();
        FAIL() << "no exception";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Evaluator not prepared"));
    }
    ev.CompileExpression(QStringLiteral("1"));
    EXPECT_EQ(ev.ComputeResult().AsInteger(), 1);
    ev.ReleaseExpression();
    EXPECT_THROW(ev.ComputeResult(), AppError);
}

TEST_F(Expression, ResultToTextOfAnErrorRaises)
{
    try {
        ResultToText(EvalResult::FromError(u"Missing )"));
        FAIL() << "no exception";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Error in expression : Missing )"));
    }
}

TEST_F(Expression, CompiledOnceComputedManyTimes)
{
    TRepEvaluator ev;
    ev.CompileExpression(QStringLiteral("IF(TRUE, 2*3, 0) + COPY('abc', 1, 1)"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ResultToText(ev.ComputeResult()), QStringLiteral("6a"));
    ev.CompileExpression(QStringLiteral("'again'"));
    EXPECT_EQ(ev.ComputeResult().Text(), QStringLiteral("again"));
}

TEST_F(Expression, HostileNestingGivesAnErrorInsteadOfExhaustingTheStack)
{
    const QString deep = QString(20000, u'(') + QStringLiteral("1") + QString(20000, u')');
    EXPECT_TRUE(Evaluate(deep).IsError());
    QString chain = QStringLiteral("1");
    for (int i = 0; i < 5000; ++i)
        chain += QStringLiteral("-1");
    EXPECT_TRUE(Evaluate(chain).IsError());
    EXPECT_TRUE(Evaluate(QString(10000, u'+') + QStringLiteral("1")).IsError());
    // moderate nesting still computes
    EXPECT_EQ(Evaluate(QString(40, u'(') + QStringLiteral("2") + QString(40, u')')).AsInteger(), 2);
    QString sum = QStringLiteral("1");
    for (int i = 1; i < 100; ++i)
        sum += QStringLiteral("+1");
    EXPECT_EQ(Evaluate(sum).AsInteger(), 100);
    EXPECT_EQ(Evaluate(sum + QStringLiteral("+0.5")).AsFloat(), 100.5);
}

TEST(ExpressionLocale, FloatsUseTheLocaleDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ResultToText(Evaluate(QStringLiteral("7/2"))), QStringLiteral("3,5"));
    EXPECT_EQ(ResultToText(Evaluate(QStringLiteral("1.25 + 1"))), QStringLiteral("2,25"));
    EXPECT_EQ(Evaluate(QStringLiteral("FORMATNUMERIC('#,##0.00', 1234.5)")).Text(), QStringLiteral("1.234,50"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

TEST(FunctionLibrary, RegisteredInOrderWithHelpTexts)
{
    const QStringList expected = {"IF",  "STR",   "UPPER", "LOWER", "PRETTY", "TIME", "DATE",
                                  "COPY", "SUM",  "COUNT", "MAX",   "MIN",    "AVERAGE", "TRUE",
                                  "FALSE", "INT", "FRAC",  "SQRT",  "DIV",    "TYPEOF", "FORMATNUMERIC"};
    EXPECT_EQ(FunctionLibrary().Names(), expected);
    const TRepLibraryEntry *div = FunctionLibrary().Find(QStringLiteral("div"));
    ASSERT_TRUE(div);
    EXPECT_EQ(div->Description, QStringLiteral("DIV(<X>, <Y>) | Integer division of <X> by <Y>"));
    EXPECT_EQ(div->Signature, QStringLiteral("2NN"));
    EXPECT_EQ(FunctionLibrary().Find(QStringLiteral("IF"))->Description,
              QStringLiteral("IF(<Exp>, <X>, <Y>)|Returns <X> or <Y> depending on the boolean expression <Exp>"));
    EXPECT_EQ(FunctionLibrary().Find(QStringLiteral("FORMATNUMERIC"))->Signature, QStringLiteral("7SN"));
}

TEST_F(Expression, TimeAndDateAreTextInTheLocaleFormats)
{
    const EvalResult time = Evaluate(QStringLiteral("TIME"));
    const EvalResult date = Evaluate(QStringLiteral("DATE()"));
    ASSERT_EQ(time.Kind(), KindString);
    ASSERT_EQ(date.Kind(), KindString);
    EXPECT_TRUE(QTime::fromString(time.Text(), QStringLiteral("h:mm:ss AP")).isValid()) << time.Text().toStdString();
    EXPECT_TRUE(QLocale().toDate(date.Text(), QLocale::ShortFormat).isValid()) << date.Text().toStdString();
}

} // namespace
