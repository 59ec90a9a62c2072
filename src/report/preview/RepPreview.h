#pragma once
// TRepPreview: the scrolling control that shows one page of a TRepPrinter at
// a zoom factor and turns the printer's notices into callbacks.
//
// Zoom geometry (control size W x H = the viewport as it is without scroll
// bars, so a fit does not depend on the bars of the zoom before; paper in
// device units through ToDeviceWidth / ToDeviceHeight from the size of the
// page on show: the printer's oriented paper, or the page's own size when
// it differs, as pages of a loaded file may; Letter at 1:1 without a
// printer):
//   LayoutImage  image = paper x Zoom / 100 + 4 pixels each way, centred
//                while smaller than the control, else at 0 and scrolled;
//                both scroll positions return to 0.
//   FitPage      Zoom := the smaller of nearest(W / paper width x 95) and
//                nearest(H / paper length x 95); mode fit.
//   FitWidth     Zoom := nearest(W / paper width x 90); mode width.
//   resize       refits in fit and width mode, then lays the image out.
//   RefreshImage while the image holds no page and the printer has the page
//                on show available: FitWidth and reload the page (so the
//                first page that arrives is shown zoomed to the width).
//   paging       to a page of another size refits in fit and width mode
//                and lays the image out again.
// Zoom values outside 2..2000 are ignored.
//
// Beyond that, the control reads like a document viewer:
//   ZoomIn/ZoomOut  the next step of ZoomSteps (25 % ... 400 %) above or
//                below the zoom, keeping the middle of the view (or the
//                point under the pointer for Ctrl + wheel) where it was.
//   wheel        scrolls the page; turned on at the bottom of a page it
//                goes on to the top of the next, at the top of a page back
//                to the bottom of the one before.
//   highlights   boxes on the page on show (found text), one of them the
//                current one; ShowBox scrolls a box of the page into view.
//
// The control becomes the printer's Client while it shows it (and sets the
// printer's ShowingPreview); a printer that goes away detaches itself. The
// printer's notices become the callbacks OnPageAvailable, OnProgressUpdate
// and OnRunEnded.

#include "report/output/RepPrinter.h"

#include <QAbstractScrollArea>
#include <functional>
#include <optional>
#include <vector>

class TRepPreviewImage;

class TRepPreview : public QAbstractScrollArea, public TRepPrinterClient
{
public:
    enum TZoomMode { ZoomFit = 0, ZoomWidth = 1, ZoomOther = 2 };
    using TRepPageAvailableEvent = std::function<void(TRepPreview *sender, int pageNum)>;
    using TRepProgressUpdateEvent = std::function<void(TRepPreview *sender, int progress)>;
    using TRepRunEndedEvent = std::function<void(TRepPreview *sender)>;
    using TRepViewChangedEvent = std::function<void(TRepPreview *sender)>;

    explicit TRepPreview(QWidget *parent = nullptr);
    ~TRepPreview() override;

    TRepPrinter *ShownPrinter() const { return FPrinter; }
    // Leaves the previous printer (when this control is its Client: its
    // ShowingPreview becomes false and it gets no Client), becomes the new
    // one's Client with ShowingPreview true, and shows its page 1.
    void SetShownPrinter(TRepPrinter *printer);

    int PageNumber() const { return FPageNumber; }
    // Shows page n; ignored for the page already held, n <= 0, no printer,
    // or n beyond the printer's PageCount. Scrolls back to the top left.
    void SetPageNumber(int n);
    // Fetches the page on show again (the printer's pages were replaced).
    void ReloadPage();

    int Zoom() const { return FZoom; }
    // Ignored unless 2 <= zoom <= 2000; mode other; lays the image out.
    void SetZoom(int zoom);
    TZoomMode ZoomMode() const { return FZoomMode; }

    // The zoom steps, smallest first.
    static const std::vector<int> &ZoomSteps();
    // One step up or down from the zoom (mode other); nothing beyond the
    // last step. anchor, in viewport coordinates, keeps the point of the
    // page under it in place; by default the middle of the view.
    void ZoomIn(std::optional<QPointF> anchor = std::nullopt);
    void ZoomOut(std::optional<QPointF> anchor = std::nullopt);

    // Boxes on the page on show in its pixels (0, 0 .. page width x
    // height), drawn over the page; current (an index, or -1) stands out.
    // Paging drops them.
    void SetHighlights(std::vector<QRectF> boxes, int current);
    // Scrolls so that box (in the page's pixels) is in view, centred when
    // it was not.
    void ShowBox(const QRectF &box);

    void FitPage();
    void FitWidth();
    void LayoutImage();
    void RefreshImage();

    TRepPreviewImage *Image() const { return FImage; }

    TRepPageAvailableEvent OnPageAvailable;
    TRepProgressUpdateEvent OnProgressUpdate;
    // The run drawing on the printer is over, however it ended.
    TRepRunEndedEvent OnRunEnded;
    // Another page is on show, or the zoom changed, whatever changed them.
    TRepViewChangedEvent OnPageChanged;
    TRepViewChangedEvent OnZoomChanged;

    void DetachPrinter(TRepPrinter *printer) override;

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void LeavePrinter();
    // Scroll ranges for the image size, then its place in the viewport.
    void UpdateScrollBars();
    void PlaceImage();
    // The page on show in 0.1 mm (see above); the printer's paper while
    // the image holds no page.
    QSizeF PageExtent() const;
    double PaperWidthPixels() const;
    double PaperLengthPixels() const;
    // After the image took another page: a page of another size than the
    // one laid out is fitted and laid out anew.
    void FollowPageSize();
    void ZoomTo(int zoom, std::optional<QPointF> anchor);
    // The wheel turned by delta (eighths of a degree) while the page is
    // scrolled to its end in that direction; true when it paged.
    bool TurnPage(int delta);
    void NotifyPageChanged();

    TRepPrinter *FPrinter = nullptr;
    TRepPreviewImage *FImage;
    int FPageNumber = 1;
    int FZoom = 100;
    TZoomMode FZoomMode = ZoomOther;
    QSizeF FLaidOutExtent; // the page extent of the last layout
    int FWheelAtEdge = 0;  // wheel turned against the end of the page
    int FWheelZoom = 0;    // Ctrl + wheel not yet a whole step
};
