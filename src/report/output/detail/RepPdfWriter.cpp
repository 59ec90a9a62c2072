#include "report/output/detail/RepPdfWriter.h"

#include "platform/AppError.h"
#include "platform/MetafilePlayer.h"
#include "platform/OutputFile.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Device resolution of the PDF's drawing space. It only sets the grid that
// coordinates are rounded to: 1200 per inch keeps placement finer than any
// printer resolves.
constexpr int PdfResolution = 1200;

// The paper of a page, from its picture frame (hundredths of a millimetre).
QPageSize PaperOf(const Metafile &page)
{
    const QRect frame = page.Frame();
    const QSizeF mm(frame.width() / 100.0, frame.height() / 100.0);
    if (mm.width() < 1 || mm.height() < 1)
        return QPageSize(QPageSize::A4);
    return QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

[[noreturn]] void FailWriting(const QString &fileName, const QString &why)
{
    throw AppError(QStringLiteral("Cannot write %1: %2").arg(fileName, why));
}

} // namespace

void WritePagesAsPdf(const QString &fileName, const QString &title, int pageCount,
                     const RepPageSource &source)
{
    if (pageCount < 1)
        FailWriting(fileName, QStringLiteral("the report has no pages"));
    OutputFile file(fileName);
    if (!file.Open())
        FailWriting(fileName, file.ErrorString());

    QPdfWriter writer(&file.Device());
    writer.setResolution(PdfResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Zumoria"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));

    std::optional<Metafile> page = source(1);
    QPageSize paper = page ? PaperOf(*page) : QPageSize(QPageSize::A4);
    writer.setPageSize(paper);

    QPainter painter;
    if (!painter.begin(&writer))
        FailWriting(fileName, QStringLiteral("the PDF could not be started"));
    for (int n = 1; n <= pageCount; ++n) {
        if (n > 1) {
            page = source(n);
            if (page)
                paper = PaperOf(*page);
            writer.setPageSize(paper);
            writer.newPage();
        }
        if (page) {
            // The whole sheet in device units of the writer (no margins).
            const QRectF sheet = writer.pageLayout().fullRectPixels(PdfResolution);
            PlayMetafile(painter, *page, QRectF(0, 0, sheet.width(), sheet.height()));
        }
    }
    painter.end();
    if (!file.Commit())
        FailWriting(fileName, file.ErrorString());
}
