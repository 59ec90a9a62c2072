#pragma once
// The registry of export filters: each entry names a description, a file
// extension and how to make the filter for a file name. The save dialog of
// the preview offers the report file format first and then every
// registered filter. The PDF filter (RepPdfExport.h) registers itself with
// RegisterPdfExportFilter.

#include <QString>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TRepPrinter;

// An export filter made for one target file; what it writes from the
// printer's pages is the filter's own business (TRepPrinter::RunExport).
class TRepExportFilter
{
public:
    explicit TRepExportFilter(const QString &fileName) : FFileName(fileName) {}
    virtual ~TRepExportFilter() = default;
    QString FileName() const { return FFileName; }

    // The pages written, first..last (1-based); 0 at either end stands for
    // that end of the store. Every page at first.
    void SetPageRange(int first, int last)
    {
        FFirstPage = first;
        FLastPage = last;
    }
    int FirstPage() const { return FFirstPage; }
    int LastPage() const { return FLastPage; }
    // The range among count stored pages: first and last inside 1..count
    // (last < first when it holds none of them).
    std::pair<int, int> PagesOf(int count) const;

    // Writes the printer's stored pages of the range into FileName (what
    // RunExport does when the printer has no ExportHandler). The base
    // writes nothing.
    virtual void WritePages(TRepPrinter &printer) {}

private:
    QString FFileName;
    int FFirstPage = 0;
    int FLastPage = 0;
};

struct TRepExportFilterEntry
{
    QString Description;
    QString Extension;
    std::function<std::unique_ptr<TRepExportFilter>(const QString &fileName)> Create;
};

class TRepExportFilterLibrary
{
public:
    static TRepExportFilterLibrary &Instance();

    void Register(TRepExportFilterEntry entry);
    const std::vector<TRepExportFilterEntry> &Filters() const { return FFilters; }

    // The save dialog's filter text, Windows style: "Report file(*.ZRP)|*.ZRP"
    // followed for each filter by "|" description " (*." ext ")|*." ext.
    QString SaveFilterText() const;
    // The open dialog's filter text: "Report file (*.ZRP)|*.ZRP".
    static QString LoadFilterText();
    // The extension of saved report files, without the dot.
    static QString ReportExtension() { return QStringLiteral("ZRP"); }

private:
    std::vector<TRepExportFilterEntry> FFilters;
};

// A Windows-style filter text ("A (*.x)|*.x|B|*.y") as Qt's filter list
// ("A (*.x)", "B (*.y)"); a description that already shows its patterns in
// parentheses is kept as written.
QStringList QtFilterList(const QString &windowsFilter);
