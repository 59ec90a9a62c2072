#include "report/output/detail/RepPdfWriter.h"

#include "platform/AppError.h"
#include "platform/MetafilePlayer.h"
#include "platform/OutputFile.h"
#include "report/output/detail/RepPdfDocument.h"
#include "report/output/detail/RepPdfFonts.h"
#include "report/output/detail/RepPdfImport.h"
#include "report/output/detail/RepPdfPageSurface.h"

#include <QBuffer>
#include <QDateTime>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

// Device resolution of Qt's PDF drawing space. It sets the grid that
// coordinates are rounded to (1200 per inch keeps placement finer than any
// printer resolves), and the direct writer maps pages onto the very same
// sheet so both ways draw alike.
constexpr int PdfResolution = 1200;

// Pages written through Qt's engine at a time.
constexpr size_t QtBatch = 100;

// The paper of a page, from its picture frame (hundredths of a millimetre).
QPageSize PaperOf(const Metafile &page)
{
    const QRect frame = page.Frame();
    const QSizeF mm(frame.width() / 100.0, frame.height() / 100.0);
    if (mm.width() < 1 || mm.height() < 1)
        return QPageSize(QPageSize::A4);
    return QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

QPageLayout SheetOf(const QPageSize &paper)
{
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

[[noreturn]] void FailWriting(const QString &fileName, const QString &why)
{
    throw AppError(QStringLiteral("Cannot write %1: %2").arg(fileName, why));
}

QByteArray Ref(int id)
{
    return QByteArray::number(id) + " 0 R";
}

QByteArray PdfDate(const QDateTime &when)
{
    const int offset = when.offsetFromUtc() / 60;
    return when.toString(QStringLiteral("'D:'yyyyMMddHHmmss")).toLatin1() + (offset < 0 ? '-' : '+')
           + QByteArray::number(std::abs(offset) / 60).rightJustified(2, '0') + '\''
           + QByteArray::number(std::abs(offset) % 60).rightJustified(2, '0') + '\'';
}

} // namespace

void WritePdfThroughQt(QIODevice &device, const QString &title, const std::vector<int> &pages,
                       const RepPageSource &source)
{
    QPdfWriter writer(&device);
    writer.setResolution(PdfResolution);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Zumoria"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));

    std::optional<Metafile> page = pages.empty() ? std::nullopt : source(pages.front());
    QPageSize paper = page ? PaperOf(*page) : QPageSize(QPageSize::A4);
    writer.setPageSize(paper);

    QPainter painter;
    if (!painter.begin(&writer))
        throw std::runtime_error("the PDF could not be started");
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            page = source(pages[i]);
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
}

RepPdfReport WritePdf(QIODevice &device, const QString &title, int pageCount, const RepPageSource &source)
{
    RepPdfDocument document(device);
    RepPdfFonts fonts(document);
    const int catalog = document.Reserve(), tree = document.Reserve(), resources = document.Reserve();
    RepPdfReport report;
    std::vector<int> kids, leftIds;
    QPageSize paper(QPageSize::A4);
    for (int n = 1; n <= pageCount; ++n) {
        const std::optional<Metafile> page = source(n);
        if (page)
            paper = PaperOf(*page);
        const QPageLayout sheet = SheetOf(paper);
        const QRect media = sheet.fullRectPoints();
        const int id = kids.emplace_back(document.Reserve());
        QByteArray dict = "<</Type/Page/Parent " + Ref(tree) + "/MediaBox[0 0 "
                          + QByteArray::number(media.width()) + ' ' + QByteArray::number(media.height())
                          + "]/Resources " + Ref(resources);
        if (page) {
            // The sheet as Qt's engine has it, in points.
            const QRect pixels = sheet.fullRectPixels(PdfResolution);
            const double scale = 72.0 / PdfResolution;
            RepPdfPageSurface surface(fonts, media.height());
            PlayMetafile(surface, *page, QRectF(0, 0, pixels.width() * scale, pixels.height() * scale));
            if (surface.Unsupported()) {
                report.throughQt.push_back(n);
                leftIds.push_back(id);
                continue;
            }
            const int contents = document.Reserve();
            document.WriteStream(contents, {}, surface.Finish());
            dict += "/Contents " + Ref(contents);
        }
        document.Write(id, dict + ">>");
    }
    // Qt's pages are written in memory, a batch at a time, so even a
    // document that is all such pages never holds more than a batch.
    const auto &left = report.throughQt;
    for (size_t at = 0; at < left.size(); at += QtBatch) {
        const size_t end = std::min(left.size(), at + QtBatch);
        QBuffer qtPages;
        qtPages.open(QIODevice::WriteOnly);
        WritePdfThroughQt(qtPages, title, std::vector<int>(left.begin() + at, left.begin() + end), source);
        ImportPdfPages(document, qtPages.data(), std::vector<int>(leftIds.begin() + at, leftIds.begin() + end),
                       tree);
    }
    document.Write(resources, "<</Font<<" + fonts.Finish() + ">>>>");
    QByteArray kidList;
    for (int id : kids)
        kidList += Ref(id) + ' ';
    document.Write(tree, "<</Type/Pages/Count " + QByteArray::number(pageCount) + "/Kids[" + kidList + "]>>");
    document.Write(catalog, "<</Type/Catalog/Pages " + Ref(tree) + ">>");
    QByteArray info = "<</Title";
    AppendPdfText(info, title);
    info += "/Creator(Zumoria)/Producer(Zumoria)/CreationDate(" + PdfDate(QDateTime::currentDateTime()) + ")>>";
    const int infoId = document.Reserve();
    document.Write(infoId, info);
    document.Finish(catalog, infoId);
    if (!document.Ok())
        throw std::runtime_error(document.ErrorString().toStdString());
    return report;
}

void WritePagesAsPdf(const QString &fileName, const QString &title, int pageCount, const RepPageSource &source)
{
    if (pageCount < 1)
        FailWriting(fileName, QStringLiteral("the report has no pages"));
    OutputFile file(fileName);
    if (!file.Open())
        FailWriting(fileName, file.ErrorString());
    try {
        WritePdf(file.Device(), title, pageCount, source);
    } catch (const AppError &) {
        throw;
    } catch (const std::exception &e) {
        FailWriting(fileName, QString::fromLocal8Bit(e.what()));
    }
    if (!file.Commit())
        FailWriting(fileName, file.ErrorString());
}
