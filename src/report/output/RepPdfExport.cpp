#include "report/output/RepPdfExport.h"

#include "platform/AppError.h"
#include "report/output/detail/RepPdfWriter.h"
#include "report/output/RepPrinter.h"

void TRepPdfExportFilter::WritePages(TRepPrinter &printer)
{
    if (printer.Status() != TRepPrinter::StatusFinished)
        throw AppError(QStringLiteral("The report is not finished yet"));
    const auto [first, last] = PagesOf(printer.PageCount());
    if (printer.PageCount() > 0 && last < first)
        throw AppError(QStringLiteral("Cannot write %1: the report has no pages %2 to %3")
                           .arg(FileName())
                           .arg(FirstPage())
                           .arg(LastPage()));
    // Either writer takes the range as its own pages 1, 2, ...
    WritePagesAsPdf(FileName(), printer.Title(), last - first + 1,
                    [&printer, from = first](int n) { return printer.FetchPage(from + n - 1); });
}

void RegisterPdfExportFilter()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    TRepExportFilterLibrary::Instance().Register(
        {QStringLiteral("PDF file"), QStringLiteral("pdf"),
         [](const QString &fileName) { return std::make_unique<TRepPdfExportFilter>(fileName); }});
}
