#include "report/definition/RepDefinition.h"

#include "platform/AppError.h"
#include "report/definition/detail/RepDefParser.h"
#include "report/definition/detail/RepDefReader.h"
#include "report/definition/detail/RepDefTables.h"
#include "report/definition/detail/RepDefWriter.h"
#include "report/model/RepReport.h"

#include <QFile>

void LoadReportDefinition(TRepCustomReport &report, const QByteArray &text, const QString &sourceName)
{
    const TRepDefObject root = TRepDefParser(text, sourceName).ParseFile();
    {
        // Checked completely on a scratch report first, so a fault found
        // late never leaves the real report half loaded.
        TRepReport scratch;
        TRepDefReader(RepDefClasses(), sourceName, report).Build(root, scratch);
    }
    TRepDefReader(RepDefClasses(), sourceName, report).Build(root, report);
}

void LoadReportDefinitionFile(TRepCustomReport &report, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open report definition %1: %2").arg(path, file.errorString()));
    LoadReportDefinition(report, file.readAll(), path);
}

QByteArray SaveReportDefinition(const TRepCustomReport &report)
{
    // The model answers some of what is written only through non-const
    // accessors; writing changes nothing.
    return TRepDefWriter(RepDefClasses()).Write(const_cast<TRepCustomReport &>(report));
}
