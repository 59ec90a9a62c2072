#pragma once
// Printers filled with numbered pages for the preview tests, and a reading
// of which page a preview image shows.
#include "PageFixtures.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "report/output/RepPageList.h"
#include "report/output/RepPrinter.h"
#include "report/output/detail/RepStream.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <functional>

// Opens a document on printer and draws pages numbered 1..pages through its
// canvas (A4 at the screen's density). The document stays open unless
// close is set; pending notices are delivered.
inline void ProducePages(TRepPrinter &printer, int pages, bool close = true)
{
    printer.OpenDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.AdvancePage();
        DrawNumberedPage(*printer.PageCanvas(), n);
    }
    if (close)
        printer.CloseDocument();
    QCoreApplication::processEvents();
}

// Opens a document on printer and draws pages 1..pages, each with the lines
// linesOf(n) under its number bar (Arial 12 pt, 20 pixels apart). The
// document stays open unless close is set; pending notices are delivered.
inline void ProduceTextPages(TRepPrinter &printer, int pages, const std::function<QStringList(int)> &linesOf,
                             bool close = true)
{
    printer.OpenDocument();
    for (int n = 1; n <= pages; ++n) {
        printer.AdvancePage();
        Canvas &c = *printer.PageCanvas();
        DrawNumberedPage(c, n);
        int y = 80;
        for (const QString &line : linesOf(n)) {
            c.TextOut(40, y, line);
            y += 20;
        }
    }
    if (close)
        printer.CloseDocument();
    QCoreApplication::processEvents();
}

// Writes a report file of two numbered pages of different paper at 96
// pixels per inch: page 1 A4 landscape (1123 x 794), page 2 Letter (816 x
// 1056).
inline void WriteMixedPaperFile(const QString &file)
{
    TRepPageList store;
    store.SetStream(std::make_unique<TRepStream>(TRepStream::DefaultMemoryLimit));
    store.AppendPage(NumberedPage(1, 1123, 794));
    store.AppendPage(NumberedPage(2, 816, 1056));
    store.FinishStore();
    store.SaveToReportFile(file);
}

// Shows preview with a viewport of exactly w x h pixels (while no scroll
// bar shows).
inline void SetViewport(QAbstractScrollArea &preview, int w, int h)
{
    const int frame = 2 * preview.frameWidth();
    preview.resize(w + frame, h + frame);
    preview.show();
    QCoreApplication::processEvents();
}

// The width-to-height ratio of the page a preview image shows (without its
// frame and shadow).
inline double ShownAspect(const TRepPreviewImage &image)
{
    return double(image.width() - 4) / (image.height() - 4);
}

// The preview image as it is painted, at ratio device pixels per pixel.
inline QImage PaintedImage(TRepPreviewImage &image, qreal ratio = 1.0)
{
    QImage out((QSizeF(image.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    QPainter p(&out);
    image.PaintPage(p, image.rect());
    return out;
}

// The number of the page a preview image shows (the width of the page's
// black bar relative to the page width), 0 for an empty image.
inline int ShownPageNumber(TRepPreviewImage &image)
{
    if (!image.PagePresent())
        return 0;
    const QImage painted = PaintedImage(image);
    // The bar is 10 px per page number on a page 794 px wide; read it on the
    // scaled image at the height of the bar's middle.
    const double scale = (image.width()) / 794.0;
    const int y = int(5 * scale) + 1;
    int x = 2;
    while (x < painted.width() && qGray(painted.pixel(x, y)) < 128)
        ++x;
    return int(x / scale / 10 + 0.5);
}
