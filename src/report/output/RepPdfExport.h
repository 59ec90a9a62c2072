#pragma once
// The PDF export filter: writes a printer's stored pages as a PDF document
// (vector drawing, text kept as text). Registered in the export filter
// library as "PDF file" with the extension pdf, so the preview's save
// dialog offers "PDF file (*.pdf)"; it works the same for a report just
// generated and for a loaded report file.

#include "report/output/RepExportFilters.h"

class TRepPdfExportFilter : public TRepExportFilter
{
public:
    using TRepExportFilter::TRepExportFilter;
    // Writes the stored pages of the range (every page unless a range was
    // set) of a finished printer into FileName, titled with the printer's
    // Title. Fails with an AppError when the printer is not finished, the
    // range holds no pages or the file cannot be written; an existing file
    // is then left as it was.
    void WritePages(TRepPrinter &printer) override;
};

// Registers the PDF filter once (later calls do nothing).
void RegisterPdfExportFilter();
