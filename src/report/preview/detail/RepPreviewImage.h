#pragma once
// TRepPreviewImage: the page image inside the preview control. It shows one
// stored page of a printer, stretched over its own size, on white paper with
// a thin black frame and a two-pixel shadow to the right and at the bottom.
// Without a page nothing is drawn, so the control's background shows.
//
// The page is fetched from the printer when the page number is set and
// rendered lazily, when the image is painted, at the screen's device pixel
// ratio (so it is sharp on high-density screens at any zoom), and kept
// until the page, the size or the ratio changes. A page of moderate size is
// rendered whole, so scrolling it costs nothing; of a larger one only the
// part in view is rendered, with a margin around it, and rendered again
// when scrolling leaves that part.
//
// Highlights (boxes in the page's pixels) are drawn over the page, the
// current one stronger.
//
// Mouse events are left unhandled, so clicks on the page reach the preview
// control and its owner.

#include "platform/Metafile.h"

#include <QImage>
#include <QWidget>
#include <optional>
#include <vector>

class TRepPrinter;

class TRepPreviewImage : public QWidget
{
public:
    explicit TRepPreviewImage(QWidget *parent = nullptr);

    TRepPrinter *Printer() const { return FPrinter; }
    void SetPrinter(TRepPrinter *printer) { FPrinter = printer; }

    int PageNumber() const { return FPageNumber; }
    // Drops the page on show (and the highlights) and fetches page n from
    // the printer (when there is one); the page is present when a page came
    // back. Always reloads, also for the same number.
    void SetPageNumber(int n);
    // True when the image holds a page.
    bool PagePresent() const { return FPage.has_value(); }
    // The page held, or none.
    const Metafile *Page() const { return FPage ? &*FPage : nullptr; }
    // The size of the page held, in the pixels it was drawn in; none
    // without a page.
    std::optional<QSize> PageSize() const;

    int Zoom() const { return FZoom; }
    void SetZoom(int zoom) { FZoom = zoom; }

    // Boxes in the page's pixels drawn over it; current is an index or -1.
    void SetHighlights(std::vector<QRectF> boxes, int current);
    const std::vector<QRectF> &Highlights() const { return FHighlights; }
    // A box in the page's pixels in this image's coordinates.
    QRectF ToImage(const QRectF &pageBox) const;

    // Paints the image as it appears on screen into painter (at the
    // painter's origin, w x h of this image); used by paintEvent and by tests.
    void PaintPage(QPainter &painter, const QRect &exposed);
    // The part of the image last rendered, in its coordinates (empty when
    // nothing is kept).
    QRect RenderedArea() const { return FRenderedArea; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The part of the image to render for a paint of exposed.
    QRect AreaToRender(const QRect &exposed, qreal ratio) const;
    void Render(const QRect &area, qreal ratio);
    void PaintHighlights(QPainter &painter) const;

    TRepPrinter *FPrinter = nullptr;
    int FPageNumber = 1;
    int FZoom = 100;
    std::optional<Metafile> FPage;
    QImage FRendered;    // the paper and the page over FRenderedArea
    QRect FRenderedArea; // in this image's coordinates
    QSize FRenderedFor;  // the image's size it was rendered for
    std::vector<QRectF> FHighlights;
    int FCurrentHighlight = -1;
};
