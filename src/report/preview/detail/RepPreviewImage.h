#pragma once
// TRepPreviewImage: the page image inside the preview control. It shows one
// stored page of a printer, stretched over its own size, on white paper with
// a thin black frame and a two-pixel shadow to the right and at the bottom.
// Without a page nothing is drawn, so the control's background shows.
//
// The page is fetched from the printer when the page number is set and
// rendered lazily: only when the image is painted, once for its size and the
// screen's device pixel ratio (so it is sharp on high-density screens), and
// kept until the page, the size or the ratio changes. Very large zooms are
// not cached but drawn straight into the exposed area.
//
// Mouse events are left unhandled, so clicks on the page reach the preview
// control and its owner.

#include "platform/Metafile.h"

#include <QImage>
#include <QWidget>
#include <optional>

class TRepPrinter;

class TRepPreviewImage : public QWidget
{
public:
    explicit TRepPreviewImage(QWidget *parent = nullptr);

    TRepPrinter *Printer() const { return FPrinter; }
    void SetPrinter(TRepPrinter *printer) { FPrinter = printer; }

    int PageNumber() const { return FPageNumber; }
    // Drops the page on show and fetches page n from the printer (when there
    // is one); the page is present when a page came back. Always reloads,
    // also for the same number.
    void SetPageNumber(int n);
    // True when the image holds a page.
    bool PagePresent() const { return FPage.has_value(); }
    // The size of the page held, in the pixels it was drawn in; none
    // without a page.
    std::optional<QSize> PageSize() const;

    int Zoom() const { return FZoom; }
    void SetZoom(int zoom) { FZoom = zoom; }

    // Paints the image as it appears on screen into painter (at the
    // painter's origin, w x h of this image); used by paintEvent and by tests.
    void PaintPage(QPainter &painter, const QRect &exposed);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage &RenderedPage(qreal ratio);

    TRepPrinter *FPrinter = nullptr;
    int FPageNumber = 1;
    int FZoom = 100;
    std::optional<Metafile> FPage;
    QImage FRendered; // the paper and the page at the last size and ratio
};
