#include "report/output/RepPdfExport.h"

#include "platform/AppError.h"
#include "report/output/detail/RepPdfWriter.h"
#include "report/output/RepPrinter.h"

void TRepPdfExportFilter::WritePages(TRepPrinter &printer)
{
    if (printer.Status() != TRepPrinter::StatusFinished)
        throw AppError(QStringLiteral("The report is not finished yet"));
    WritePagesAsPdf(FileName(), printer.Title(), printer.PageCount(),
                    [&printer](int n) { return printer.FetchPage(n); });
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
