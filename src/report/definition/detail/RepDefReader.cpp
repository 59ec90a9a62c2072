#include "report/definition/detail/RepDefReader.h"

#include "report/definition/detail/RepDefClass.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepReport.h"

#include <cmath>

TRepDefReader::TRepDefReader(const TRepDefClasses &classes, const QString &source, TRepCustomReport &target)
    : FClasses(classes), FSource(source), FTarget(target)
{
}

void TRepDefReader::Build(const TRepDefObject &root, TRepCustomReport &report)
{
    FReport = &report;
    FNamed.clear();
    FDeferred.clear();
    report.BeginLoading();
    for (TRepControl *c : report.ChildControls())
        delete c;
    report.SetName(root.Name);
    if (!root.Name.isEmpty())
        FNamed[root.Name.toUpper()] = &report;
    // The top object is the report whatever class its line names.
    ReadObject(root, report, *FClasses.Report);
    for (const auto &step : FDeferred)
        step();
    report.EndLoading();
}

void TRepDefReader::Fail(int line, const QString &what) const
{
    RepDefFail(FSource, line, what);
}

// ---------------------------------------------------------------- objects

void TRepDefReader::ReadObject(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls)
{
    const TRepDefLine *values = nullptr;
    for (const TRepDefLine &line : object.Lines) {
        // The size's Values go last, so stored lengths win over what the
        // other properties (a paper size, pixel bounds) set.
        if (line.Path.endsWith(QLatin1String("Values")))
            values = &line;
        else
            ReadLine(object, control, cls, line);
    }
    if (values)
        ReadValues(object, control, cls, *values);
    for (const TRepDefObject &child : object.Children) {
        const TRepDefClass &childClass = ClassOfChild(child, control);
        ReadObject(child, CreateChild(child, control, childClass), childClass);
    }
}

void TRepDefReader::ReadLine(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls,
                             const TRepDefLine &line)
{
    const TRepDefProperty *property = cls.Find(line.Path);
    if (!property)
        Fail(line.Line, QStringLiteral("%1 has no property \"%2\"").arg(object.ClassName, line.Path));
    property->Read(*this, control, line.Value);
}

void TRepDefReader::ReadValues(const TRepDefObject &object, TRepControl &control, const TRepDefClass &cls,
                               const TRepDefLine &line)
{
    Lengths(line.Value, line.Path); // a faulty list is refused before its name is looked at
    ReadLine(object, control, cls, line);
}

const TRepDefClass &TRepDefReader::ClassOfChild(const TRepDefObject &object, TRepControl &parent) const
{
    if (!object.Name.isEmpty() && FNamed.count(object.Name.toUpper()))
        Fail(object.Line, QStringLiteral("the name \"%1\" is used twice").arg(object.Name));
    const TRepDefClass *cls = FClasses.Named(object.ClassName);
    if (!cls || !cls->Create)
        Fail(object.Line, QStringLiteral("unknown class \"%1\"").arg(object.ClassName));
    const bool onReport = &parent == FReport;
    if (cls->Place == TRepDefPlace::OnReport && !onReport)
        Fail(object.Line, QStringLiteral("bands are placed on the report only"));
    if (cls->Place == TRepDefPlace::OnBandOrReport && !onReport && !parent.AsBand())
        Fail(object.Line, QStringLiteral("printables are placed on a band or the report"));
    return *cls;
}

TRepControl &TRepDefReader::CreateChild(const TRepDefObject &object, TRepControl &parent, const TRepDefClass &cls)
{
    TRepControl *created = cls.Create(*FReport, parent);
    created->BeginLoading();
    created->SetName(object.Name);
    if (!object.Name.isEmpty())
        FNamed[object.Name.toUpper()] = created;
    return *created;
}

TRepControl *TRepDefReader::Find(const QString &name, int line) const
{
    const auto it = FNamed.find(name.toUpper());
    if (it == FNamed.end())
        Fail(line, QStringLiteral("there is no object \"%1\"").arg(name));
    return it->second;
}

void TRepDefReader::BindHandler(TRepControl &control, const QString &event, const QString &handler, int line)
{
    if (!FTarget.BindHandler(&control, event, handler))
        Fail(line, QStringLiteral("the report has no handler \"%1\"").arg(handler));
    control.HandlerNames.insert(event, handler);
}

void TRepDefReader::SetFunctionNames(TRepCustomReport &report, const QStringList &names, int line)
{
    FFunctionNames = names;
    FFunctionLine = line;
    ApplyFunctions(report);
}

void TRepDefReader::SetFunctionData(TRepCustomReport &report, const QStringList &data, int line)
{
    FFunctionData = data;
    FFunctionLine = line;
    ApplyFunctions(report);
}

void TRepDefReader::ApplyFunctions(TRepCustomReport &report)
{
    if (!FFunctionNames || !FFunctionData)
        return;
    if (FFunctionNames->size() != FFunctionData->size())
        Fail(FFunctionLine, QStringLiteral("Functions.Strings and Functions.DATA differ in length"));
    TRepEvEnvironment &functions = report.Functions();
    functions.ClearEntries();
    for (qsizetype i = 0; i < FFunctionNames->size(); ++i)
        functions.DefineEntry(FFunctionNames->at(i), FFunctionData->at(i));
    FFunctionNames.reset();
    FFunctionData.reset();
}

// ---------------------------------------------------------------- values

double TRepDefReader::Number(const TRepDefValue &v) const
{
    if (v.Kind != TRepDefValue::Number)
        Fail(v.Line, QStringLiteral("a number was expected"));
    bool ok = false;
    double d;
    if (v.Text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) || v.Text.startsWith(QLatin1String("$")))
        d = double(v.Text.mid(v.Text.startsWith(QLatin1Char('$')) ? 1 : 2).toUInt(&ok, 16));
    else
        d = v.Text.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        Fail(v.Line, QStringLiteral("\"%1\" is not a number").arg(v.Text));
    return d;
}

int TRepDefReader::Integer(const TRepDefValue &v) const
{
    const double d = Number(v);
    // Colours are written up to 0xFFFFFFFF and kept in an int's bits.
    if (d != std::floor(d) || d < -2147483648.0 || d > 4294967295.0)
        Fail(v.Line, QStringLiteral("\"%1\" is not a whole number").arg(v.Text));
    return int(qint64(d));
}

int TRepDefReader::IntegerIn(const TRepDefValue &v, int low, int high, const QString &name) const
{
    const int n = Integer(v);
    if (n < low || n > high)
        Fail(v.Line, QStringLiteral("%1 must be between %2 and %3").arg(name).arg(low).arg(high));
    return n;
}

bool TRepDefReader::Boolean(const TRepDefValue &v) const
{
    if (v.Kind == TRepDefValue::Ident) {
        if (v.Text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (v.Text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    Fail(v.Line, QStringLiteral("true or false was expected"));
}

QString TRepDefReader::Text(const TRepDefValue &v) const
{
    if (v.Kind != TRepDefValue::String)
        Fail(v.Line, QStringLiteral("a text in double quotes was expected"));
    return v.Text;
}

QString TRepDefReader::Ident(const TRepDefValue &v) const
{
    if (v.Kind != TRepDefValue::Ident)
        Fail(v.Line, QStringLiteral("a name was expected"));
    return v.Text;
}

unsigned TRepDefReader::Set(const TRepDefValue &v, const TRepDefNames<unsigned> &names) const
{
    if (v.Kind != TRepDefValue::Set)
        Fail(v.Line, QStringLiteral("a set in [ ] was expected"));
    unsigned bits = 0;
    for (const QString &name : v.Names) {
        const auto bit = names.Find(name);
        if (!bit)
            Fail(v.Line, names.UnknownText(name));
        bits |= *bit;
    }
    return bits;
}

TRepColor TRepDefReader::Color(const TRepDefValue &v) const
{
    if (v.Kind == TRepDefValue::Ident)
        return Enum(v, RepColorNames());
    return TRepColor(quint32(Integer(v)));
}

std::vector<double> TRepDefReader::Numbers(const TRepDefValue &v) const
{
    if (v.Kind != TRepDefValue::List)
        Fail(v.Line, QStringLiteral("a list of numbers in ( ) was expected"));
    std::vector<double> out;
    for (const TRepDefValue &item : v.Items)
        out.push_back(Number(item));
    return out;
}

std::vector<double> TRepDefReader::Lengths(const TRepDefValue &v, const QString &name) const
{
    const std::vector<double> numbers = Numbers(v);
    for (double n : numbers)
        if (std::abs(n) > RepDefMaxLength)
            Fail(v.Line, QStringLiteral("the lengths of %1 must be at most %2 (100 m)")
                             .arg(name)
                             .arg(qint64(RepDefMaxLength)));
    return numbers;
}

QStringList TRepDefReader::Texts(const TRepDefValue &v) const
{
    if (v.Kind != TRepDefValue::List)
        Fail(v.Line, QStringLiteral("a list of texts in ( ) was expected"));
    QStringList out;
    for (const TRepDefValue &item : v.Items)
        out.append(Text(item));
    return out;
}
