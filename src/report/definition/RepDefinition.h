#pragma once
// Stored report definitions: a small text format that describes a report
// (page, bands, printables, functions) one property per line, so that
// definitions read well and diff well. The format is described in
// docs/REPORT_DEFINITION.md.
//
// Loading goes through the same setters and loading rules as building a
// report in code: pixel bounds are remembered while loading and applied at
// the end, "Values" lists are set after the other properties of their
// object (so stored lengths win over a paper size's table values), and the
// bands are ordered and laid out when loading ends.

#include <QByteArray>
#include <QString>

class TRepCustomReport;

// Replaces the bands, printables and settings of report by those of the
// definition text. A malformed definition raises AppError naming the source
// and the line; the report is left untouched then (the definition is
// checked completely on a scratch report before the real one is changed).
void LoadReportDefinition(TRepCustomReport &report, const QByteArray &text,
                          const QString &sourceName = QStringLiteral("report definition"));

// Reads a definition from a file or a Qt resource (":/…").
void LoadReportDefinitionFile(TRepCustomReport &report, const QString &path);

// The definition text of report; loading it gives the same report back.
QByteArray SaveReportDefinition(const TRepCustomReport &report);
