#pragma once
// Writes report pages as a PDF document. Each page is an enhanced metafile
// played onto one PDF page of the metafile's own paper size, so the output
// stays vector drawing and its text stays text (selectable and searchable
// in any PDF reader).
//
// The pages are written directly: the metafile player draws each page into
// a content stream of this writer's own (RepPdfPageSurface.h), fonts are
// embedded as subsets once at the end (RepPdfFonts.h). A page holding
// drawing the direct writer does not do is played through Qt's PDF engine
// instead and taken into the document in its place (RepPdfImport.h), so no
// page is ever left out.

#include "platform/Metafile.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QIODevice;

// Gives page n (1-based) or none for a page that holds nothing.
using RepPageSource = std::function<std::optional<Metafile>(int n)>;

// Writes pages 1..pageCount taken from source into fileName, titled title.
// A page that comes back as none leaves a blank sheet of the size of the
// page before it (A4 when it is the first). The target is written as
// OutputFile writes (platform/OutputFile.h): a regular file appears only
// when every page was written, built beside it and moved into place, so a
// failure leaves an existing file untouched; a device, a FIFO or standard
// output is written in place. Fails with an
// AppError naming the file when it cannot be written. pageCount < 1 writes
// nothing and fails.
void WritePagesAsPdf(const QString &fileName, const QString &title, int pageCount,
                     const RepPageSource &source);

// What the direct writer did with a document.
struct RepPdfReport
{
    std::vector<int> throughQt; // the pages it left to Qt's PDF engine
};

// Writes pages 1..pageCount of source as a PDF onto device (as
// WritePagesAsPdf, without the file). Fails with a std::exception when the
// device fails or a page cannot be written either way.
RepPdfReport WritePdf(QIODevice &device, const QString &title, int pageCount, const RepPageSource &source);

// Writes the pages numbered in pages (1-based, in that order) onto device
// through Qt's PDF engine (QPdfWriter), as whole PDF document.
void WritePdfThroughQt(QIODevice &device, const QString &title, const std::vector<int> &pages,
                       const RepPageSource &source);
