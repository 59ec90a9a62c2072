#pragma once
// The names a definition gives the values of an enumeration or the members
// of a set ("rbPageHeader", "clWhite", "fsBold", "A4"), each list with its
// rule for letter case and the fault it raises on a name it does not know.

#include "report/model/RepCtrls.h"
#include "report/model/RepReport.h"

#include <QStringList>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

template <class E>
class TRepDefNames
{
public:
    // unknown is the fault for a name not in the list, with %1 for the name.
    TRepDefNames(std::vector<std::pair<QString, E>> items, Qt::CaseSensitivity letterCase = Qt::CaseInsensitive,
                 QString unknown = QStringLiteral("unknown value \"%1\""))
        : FItems(std::move(items)), FCase(letterCase), FUnknown(std::move(unknown))
    {
    }
    TRepDefNames(std::initializer_list<std::pair<const char *, E>> items,
                 Qt::CaseSensitivity letterCase = Qt::CaseInsensitive,
                 QString unknown = QStringLiteral("unknown value \"%1\""))
        : FCase(letterCase), FUnknown(std::move(unknown))
    {
        for (const auto &[n, e] : items)
            FItems.emplace_back(QLatin1String(n), e);
    }

    std::optional<E> Find(const QString &name) const
    {
        for (const auto &[n, e] : FItems)
            if (name.compare(n, FCase) == 0)
                return e;
        return std::nullopt;
    }
    // The first name of value; empty when it has none.
    QString Name(E value) const
    {
        for (const auto &[n, e] : FItems)
            if (e == value)
                return n;
        return QString();
    }
    QStringList Names() const
    {
        QStringList names;
        for (const auto &item : FItems)
            names << item.first;
        return names;
    }
    const std::vector<std::pair<QString, E>> &Items() const { return FItems; }
    QString UnknownText(const QString &name) const { return FUnknown.arg(name); }

private:
    std::vector<std::pair<QString, E>> FItems;
    Qt::CaseSensitivity FCase;
    QString FUnknown;
};

const TRepDefNames<TRepUnit> &RepUnitNames();
const TRepDefNames<TPrinterOrientation> &RepOrientationNames();
const TRepDefNames<TRepPaperSize> &RepPaperNames();
const TRepDefNames<TRepBin> &RepBinNames();
const TRepDefNames<TAlignment> &RepAlignmentNames();
const TRepDefNames<TRepBandType> &RepBandTypeNames();
const TRepDefNames<TRepSysDataType> &RepSysDataNames();
const TRepDefNames<TRepShapeType> &RepShapeNames();
const TRepDefNames<TRepPenStyle> &RepPenStyleNames();
const TRepDefNames<TRepBrushStyle> &RepBrushStyleNames();
const TRepDefNames<TRepColor> &RepColorNames();
// A label's reading direction: true is right to left.
const TRepDefNames<bool> &RepBiDiModeNames();
// Set members, each a bit.
const TRepDefNames<unsigned> &RepReportOptionNames();
const TRepDefNames<unsigned> &RepFontStyleNames();
