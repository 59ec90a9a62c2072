// The class tables of stored definitions: every property a table declares
// is read, and written back with the value it was given.
#include "platform/AppError.h"
#include "report/definition/RepDefinition.h"
#include "report/definition/detail/RepDefTables.h"
#include "report/model/RepReport.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <set>

namespace {

// A report that has every handler a definition names.
class AnyHandlerReport : public TRepReport
{
public:
    bool BindHandler(TRepControl *, const QString &, const QString &) override { return true; }
};

// The smallest definition holding an object of the class, named "Target",
// with what a reference can name beside it. "@" marks where the target's
// property lines go.
QString Skeleton(const TRepDefClass &cls)
{
    const QString name = cls.Name;
    QString objects;
    if (name == QLatin1String("TRepReport"))
        objects = QStringLiteral("@\n");
    else if (name == QLatin1String("TRepStringsBand"))
        objects = QStringLiteral("  object Other: TRepStringsBand\n  end\n"
                                 "  object Target: TRepStringsBand\n@\n  end\n");
    else if (cls.Place == TRepDefPlace::OnReport)
        objects = QStringLiteral("  object Header: TRepBand\n  end\n  object Target: %1\n@\n  end\n").arg(name);
    else
        objects = QStringLiteral("  object Header: TRepBand\n    object Target: %1\n@\n    end\n  end\n").arg(name);
    return QStringLiteral("zumoria-report 1\nobject Report: TRepReport\n%1end\n").arg(objects);
}

int Depth(const TRepDefClass &cls)
{
    return cls.Name == QLatin1String("TRepReport") ? 1 : cls.Place == TRepDefPlace::OnReport ? 2 : 3;
}

QString WithLines(const TRepDefClass &cls, const QStringList &lines)
{
    QString placed;
    for (const QString &line : lines)
        placed += QString(Depth(cls) * 2, QLatin1Char(' ')) + line + QLatin1Char('\n');
    return Skeleton(cls).replace(QStringLiteral("@\n"), placed);
}

// Loads text and writes it again; a fault fails the test.
QString Saved(const QString &text)
{
    AnyHandlerReport report;
    try {
        LoadReportDefinition(report, text.toUtf8());
    } catch (const AppError &e) {
        ADD_FAILURE() << e.text().toStdString() << "\n" << text.toStdString();
        return QString();
    }
    return QString::fromUtf8(SaveReportDefinition(report));
}

// The value of property in the written object, a list spread over lines
// folded onto one line; null when the object has no such line.
QString WrittenValue(const QString &text, const QString &object, const QString &property)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    const QString head = QStringLiteral("object %1:").arg(object);
    const auto start = std::find_if(lines.begin(), lines.end(),
                                    [&](const QString &l) { return l.trimmed().startsWith(head); });
    if (start == lines.end())
        return QString();
    const qsizetype indent = start->indexOf(QLatin1Char('o')) + 2;
    const QString prefix = QString(indent, QLatin1Char(' ')) + property + QStringLiteral(" = ");
    for (auto it = start + 1; it != lines.end() && it->startsWith(QString(indent, QLatin1Char(' '))); ++it) {
        if (!it->startsWith(prefix))
            continue;
        QString value = it->mid(prefix.size());
        if (value != QLatin1String("("))
            return value;
        QStringList items;
        while (++it != lines.end() && it->trimmed() != QLatin1String(")"))
            items << it->trimmed();
        return QLatin1Char('(') + items.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return QString();
}

// The objects beside the target that a reference can name.
QStringList Neighbours(const QString &text)
{
    QStringList names;
    static const QRegularExpression object(QStringLiteral("object (\\w+):"));
    for (const auto &m : object.globalMatch(text))
        names << m.captured(1);
    names.removeAll(QStringLiteral("Report"));
    names.removeAll(QStringLiteral("Target"));
    return names;
}

// Values of each kind to give a property, in the form the writer uses.
QStringList Samples(const TRepDefClass &cls, const TRepDefProperty &p, const QString &baseline)
{
    switch (p.Kind) {
    case TRepDefKind::Boolean: return {QStringLiteral("true"), QStringLiteral("false")};
    case TRepDefKind::Integer: return {QStringLiteral("3"), QStringLiteral("7")};
    case TRepDefKind::Color: return {QStringLiteral("clRed"), QStringLiteral("0x00123456")};
    case TRepDefKind::Text: return {QStringLiteral("\"\""), QStringLiteral("\"Sz\u00f6veg \\\"id\u00e9zve\\\"\"")};
    case TRepDefKind::Name: return p.Choices;
    case TRepDefKind::Set:
        return {QStringLiteral("[]"), QLatin1Char('[') + p.Choices.join(QStringLiteral(", ")) + QLatin1Char(']')};
    case TRepDefKind::Texts: return {QStringLiteral("()"), QStringLiteral("(\"a\" \"b\")")};
    case TRepDefKind::Reference: return Neighbours(Skeleton(cls));
    case TRepDefKind::Handler: return {QStringLiteral("Handle1")};
    case TRepDefKind::Lengths: {
        // The written lengths with one of them changed: some length the
        // control does not work out for itself keeps the stored value.
        QString written = WrittenValue(baseline, QStringLiteral("Target"), p.Name);
        if (cls.Name == QLatin1String("TRepReport"))
            written = WrittenValue(baseline, QStringLiteral("Report"), p.Name);
        const QStringList numbers = written.mid(1, written.size() - 2).split(QLatin1Char(' '));
        QStringList samples;
        for (qsizetype i = 0; i < numbers.size(); ++i) {
            QStringList changed = numbers;
            changed[i] = QString::number(numbers[i].toDouble() + 10);
            samples << QLatin1Char('(') + changed.join(QLatin1Char(' ')) + QLatin1Char(')');
        }
        return samples;
    }
    case TRepDefKind::Refused: break;
    }
    return {};
}

// The two lists of the report's functions take effect together.
QStringList CompanionLines(const TRepDefProperty &p, const QString &sample)
{
    const QString other = sample == QLatin1String("()") ? QStringLiteral("()") : QStringLiteral("(\"x\" \"y\")");
    if (p.Name == QLatin1String("Functions.Strings"))
        return {QStringLiteral("Functions.DATA = ") + other};
    if (p.Name == QLatin1String("Functions.DATA"))
        return {QStringLiteral("Functions.Strings = ") + other};
    return {};
}

// Every property the class has, its own and its bases', as reading finds it.
std::vector<const TRepDefProperty *> PropertiesOf(const TRepDefClass &cls)
{
    std::set<QString> names;
    for (const TRepDefClass *c = &cls; c; c = c->Base)
        for (const TRepDefProperty &p : c->Properties)
            names.insert(p.Name);
    std::vector<const TRepDefProperty *> found;
    for (const QString &name : names)
        if (const TRepDefProperty *p = cls.Find(name); p->Kind != TRepDefKind::Refused)
            found.push_back(p);
    return found;
}

std::vector<const TRepDefClass *> StoredClasses()
{
    std::vector<const TRepDefClass *> classes{RepDefClasses().Report};
    for (const TRepDefClass *cls : RepDefClasses().All)
        if (cls->Create)
            classes.push_back(cls);
    return classes;
}

class RepDefTables : public ::testing::TestWithParam<const TRepDefClass *> {};

TEST_P(RepDefTables, EveryPropertyIsReadAndWrittenBackWithItsValue)
{
    const TRepDefClass &cls = *GetParam();
    const QString target = cls.Name == QLatin1String("TRepReport") ? QStringLiteral("Report") : QStringLiteral("Target");
    const QString baseline = Saved(WithLines(cls, {}));
    for (const TRepDefProperty *p : PropertiesOf(cls)) {
        SCOPED_TRACE((cls.Name + QLatin1Char('.') + p->Name).toStdString());
        bool written = false;
        for (const QString &sample : Samples(cls, *p, baseline)) {
            SCOPED_TRACE(sample.toStdString());
            const QString saved =
                Saved(WithLines(cls, QStringList{p->Name + QStringLiteral(" = ") + sample} + CompanionLines(*p, sample)));
            EXPECT_EQ(Saved(saved), saved) << "a second save differs";
            const QString value = WrittenValue(saved, target, p->Name);
            if (!p->Write) {
                EXPECT_TRUE(value.isNull()) << "a property that is only read was written";
            } else if (value == sample && WrittenValue(baseline, target, p->Name) != sample) {
                written = true;
            }
        }
        if (p->Write) {
            EXPECT_TRUE(written) << "no value given was written back";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StoredClasses, RepDefTables, ::testing::ValuesIn(StoredClasses()),
                         [](const auto &info) { return info.param->Name.toStdString(); });

TEST(RepDefTables, EachClassIsMadeByItsNameAndWrittenUnderIt)
{
    for (const TRepDefClass *cls : StoredClasses()) {
        const QString saved = Saved(WithLines(*cls, {}));
        const QString name = cls->Name == QLatin1String("TRepReport") ? QStringLiteral("Report") : QStringLiteral("Target");
        EXPECT_TRUE(saved.contains(QStringLiteral("object %1: %2\n").arg(name, cls->Name))) << saved.toStdString();
    }
}

TEST(RepDefTables, NoClassDeclaresAPropertyTwice)
{
    // A class may replace a property of its base (the report's pixel
    // bounds, the band properties its base refuses), never declare one twice.
    for (const TRepDefClass *cls : RepDefClasses().All) {
        std::set<QString> names;
        for (const TRepDefProperty &p : cls->Properties)
            EXPECT_TRUE(names.insert(p.Name).second) << cls->Name.toStdString() << " " << p.Name.toStdString();
    }
}

} // namespace
