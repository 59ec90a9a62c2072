#include "report/definition/detail/RepDefWriter.h"

#include "report/definition/detail/RepDefClass.h"
#include "report/model/RepReport.h"

QByteArray TRepDefWriter::Write(TRepCustomReport &report)
{
    FOut = QStringLiteral("%1 %2\n").arg(QLatin1String(RepDefMagic)).arg(RepDefFormatVersion);
    FDepth = 0;
    WriteObject(report, *FClasses.Report);
    return FOut.toUtf8();
}

void TRepDefWriter::WriteObject(TRepControl &control, const TRepDefClass &cls)
{
    FOut += Indent() + QStringLiteral("object %1: %2\n").arg(control.Name(), cls.Name);
    ++FDepth;
    for (const TRepDefProperty *property : cls.WritingOrder()) {
        const std::optional<TRepDefText> text = property->Write ? property->Write(control) : std::nullopt;
        if (text && text->Texts)
            List(property->Name, *text->Texts);
        else if (text)
            Line(property->Name, text->Value);
    }
    for (TRepControl *child : cls.ChildrenOf(control))
        if (const TRepDefClass *childClass = FClasses.Of(*child))
            WriteObject(*child, *childClass);
    --FDepth;
    FOut += Indent() + QStringLiteral("end\n");
}

void TRepDefWriter::Line(const QString &name, const QString &value)
{
    FOut += Indent() + name + QStringLiteral(" = ") + value + QLatin1Char('\n');
}

void TRepDefWriter::List(const QString &name, const QStringList &texts)
{
    if (texts.isEmpty()) {
        Line(name, QStringLiteral("()"));
        return;
    }
    FOut += Indent() + name + QStringLiteral(" = (\n");
    for (const QString &text : texts)
        FOut += Indent(1) + text + QLatin1Char('\n');
    FOut += Indent() + QStringLiteral(")\n");
}
