// Arbitrary text as a report expression: compiling and computing it, with
// the aggregates run and reset, must neither crash, hang nor leak. The
// environment holds entries that name each other (and themselves), and a
// data set offers fields, so names in the input reach every kind of element.

#include "report/expr/RepExpr.h"

#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace {

class Field : public TRepField
{
public:
    Field(QString name, TRepFieldType type) : FName(name), FType(type) {}
    QString FieldName() const override { return FName; }
    TRepFieldType DataType() const override { return FType; }
    QString AsString() const override { return QStringLiteral("text of a field"); }
    qint32 AsInteger() const override { return 42; }
    double AsFloat() const override { return 2.5; }
    bool AsBoolean() const override { return true; }
    QString DisplayText() const override { return QStringLiteral("2001-02-03"); }

private:
    QString FName;
    TRepFieldType FType;
};

class Dataset : public TRepDataset
{
public:
    Dataset()
        : FFields{{QStringLiteral("S"), TRepFieldType::String}, {QStringLiteral("I"), TRepFieldType::Integer},
                  {QStringLiteral("F"), TRepFieldType::Float},  {QStringLiteral("B"), TRepFieldType::Boolean},
                  {QStringLiteral("D"), TRepFieldType::Date},   {QStringLiteral("X"), TRepFieldType::Other}}
    {
    }
    QString DatasetName() const override { return QStringLiteral("T"); }
    int FieldCount() const override { return 6; }
    TRepField *FieldAt(int i) const override { return i >= 0 && i < 6 ? const_cast<Field *>(&FFields[i]) : nullptr; }
    bool DefaultFields() const override { return false; }

private:
    Field FFields[6];
};

struct World
{
    World()
    {
        QLocale::setDefault(QLocale::c());
        env.SetDatasets(&datasets);
        env.DefineEntry(QStringLiteral("N"), QStringLiteral("0"));
        env.DefineEntry(QStringLiteral("S"), QStringLiteral("'s'"));
        env.DefineEntry(QStringLiteral("E"), QStringLiteral("E+1"));
        env.DefineEntry(QStringLiteral("P"), QStringLiteral("Q*2"));
        env.DefineEntry(QStringLiteral("Q"), QStringLiteral("SUM(P)"));
        env.CompileEntries();
    }
    Dataset dataset;
    TRepDatasetList datasets{&dataset};
    TRepEvEnvironment env;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static World world;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    TRepEvaluator ev;
    ev.SetEnvironment(&world.env);
    ev.SetDatasets(&world.datasets);
    ev.CompileExpression(text);
    ev.ResetAggregates();
    ev.UpdateAggregates();
    ev.UpdateAggregates();
    const EvalResult r = ev.ComputeResult();
    if (!r.IsError())
        (void)ResultToText(r);
    (void)ev.UsesAggregates();
    ev.ReleaseExpression();
    return 0;
}
