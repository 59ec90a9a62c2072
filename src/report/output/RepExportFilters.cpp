#include "report/output/RepExportFilters.h"

#include <QStringList>
#include <algorithm>

std::pair<int, int> TRepExportFilter::PagesOf(int count) const
{
    const int first = FFirstPage > 0 ? FFirstPage : 1;
    const int last = FLastPage > 0 ? std::min(FLastPage, count) : count;
    return {first, last};
}

TRepExportFilterLibrary &TRepExportFilterLibrary::Instance()
{
    static TRepExportFilterLibrary library;
    return library;
}

void TRepExportFilterLibrary::Register(TRepExportFilterEntry entry)
{
    FFilters.push_back(std::move(entry));
}

QString TRepExportFilterLibrary::SaveFilterText() const
{
    const QString ext = ReportExtension();
    QString text = QStringLiteral("Report file(*.%1)|*.%1").arg(ext);
    for (const auto &f : FFilters)
        text += QStringLiteral("|%1 (*.%2)|*.%2").arg(f.Description, f.Extension);
    return text;
}

QString TRepExportFilterLibrary::LoadFilterText()
{
    return QStringLiteral("Report file (*.%1)|*.%1").arg(ReportExtension());
}

QStringList QtFilterList(const QString &windowsFilter)
{
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')')))
            out << description;
        else
            out << QStringLiteral("%1 (%2)").arg(description, patterns);
    }
    return out;
}
