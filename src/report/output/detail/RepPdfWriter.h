#pragma once
// Writes report pages as a PDF document. Each page is an enhanced metafile
// that is played onto one PDF page of the metafile's own paper size, so the
// output stays vector drawing and its text stays text (selectable and
// searchable in any PDF reader).

#include "platform/Metafile.h"

#include <QString>
#include <functional>
#include <optional>

// Gives page n (1-based) or none for a page that holds nothing.
using RepPageSource = std::function<std::optional<Metafile>(int n)>;

// Writes pages 1..pageCount taken from source into fileName, titled title.
// A page that comes back as none leaves a blank sheet of the size of the
// page before it (A4 when it is the first). The file appears only when
// every page was written: it is built beside the target and moved into
// place, so a failure leaves an existing file untouched. Fails with an
// AppError naming the file when it cannot be written. pageCount < 1 writes
// nothing and fails.
void WritePagesAsPdf(const QString &fileName, const QString &title, int pageCount,
                     const RepPageSource &source);
