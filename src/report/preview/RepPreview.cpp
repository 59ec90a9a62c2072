#include "report/preview/RepPreview.h"

#include "platform/AppError.h"
#include "platform/Rounding.h"
#include "report/output/RepNotices.h"
#include "report/preview/detail/RepPreviewImage.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace {

// Letter paper at one pixel per 0.1 mm, the stand-in without a printer.
constexpr double LetterWidth = 215.9;
constexpr double LetterLength = 279.4;

// A wheel's notch, in eighths of a degree.
constexpr int WheelNotch = 120;

} // namespace

TRepPreview::TRepPreview(QWidget *parent) : QAbstractScrollArea(parent), FImage(new TRepPreviewImage(viewport()))
{
    resize(250, 250);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    FImage->move(0, 0);
    UpdateScrollBars();
}

TRepPreview::~TRepPreview()
{
    LeavePrinter();
}

void TRepPreview::LeavePrinter()
{
    TRepPrinter *old = FPrinter;
    FPrinter = nullptr;
    FImage->SetPrinter(nullptr);
    if (old && old->Client() == this) {
        old->SetClient(nullptr);
        old->SetShowingPreview(false);
    }
}

void TRepPreview::DetachPrinter(TRepPrinter *printer)
{
    if (printer != FPrinter)
        return;
    FPrinter = nullptr;
    FImage->SetPrinter(nullptr);
}

void TRepPreview::SetShownPrinter(TRepPrinter *printer)
{
    LeavePrinter();
    FPrinter = printer;
    FImage->SetPrinter(printer);
    if (printer) {
        printer->SetClient(this);
        printer->SetShowingPreview(true);
    }
    SetPageNumber(1);
    FImage->SetPageNumber(1);
    FollowPageSize();
    FImage->update();
}

void TRepPreview::SetPageNumber(int n)
{
    if (n == FPageNumber && FImage->PagePresent())
        return;
    if (n <= 0 || !FPrinter || n > FPrinter->PageCount())
        return;
    const bool other = n != FPageNumber;
    FImage->SetPageNumber(n);
    FPageNumber = n;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    FollowPageSize();
    if (other)
        NotifyPageChanged();
}

void TRepPreview::NotifyPageChanged()
{
    FWheelAtEdge = 0;
    if (OnPageChanged)
        OnPageChanged(this);
}

void TRepPreview::ReloadPage()
{
    FImage->SetPageNumber(FImage->PageNumber());
    FollowPageSize();
    NotifyPageChanged();
}

void TRepPreview::FollowPageSize()
{
    if (!FPrinter || !FLaidOutExtent.isValid() || PageExtent() == FLaidOutExtent)
        return;
    if (FZoomMode == ZoomFit)
        FitPage();
    else if (FZoomMode == ZoomWidth)
        FitWidth();
    LayoutImage();
}

void TRepPreview::SetZoom(int zoom)
{
    if (zoom < 2 || zoom > 2000)
        return;
    FZoomMode = ZoomOther;
    FZoom = zoom;
    LayoutImage();
    if (OnZoomChanged)
        OnZoomChanged(this);
}

const std::vector<int> &TRepPreview::ZoomSteps()
{
    static const std::vector<int> steps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};
    return steps;
}

void TRepPreview::ZoomIn(std::optional<QPointF> anchor)
{
    const auto &steps = ZoomSteps();
    const auto next = std::upper_bound(steps.begin(), steps.end(), FZoom);
    if (next != steps.end())
        ZoomTo(*next, anchor);
}

void TRepPreview::ZoomOut(std::optional<QPointF> anchor)
{
    const auto &steps = ZoomSteps();
    const auto next = std::lower_bound(steps.begin(), steps.end(), FZoom);
    if (next != steps.begin())
        ZoomTo(*std::prev(next), anchor);
}

void TRepPreview::ZoomTo(int zoom, std::optional<QPointF> anchor)
{
    const QPointF at = anchor.value_or(QRectF(viewport()->rect()).center());
    const QSizeF before = FImage->size();
    const QPointF onImage = at - FImage->pos();
    const QPointF share(onImage.x() / before.width(), onImage.y() / before.height());
    SetZoom(zoom);
    // The same point of the page goes back under the anchor (as far as the
    // scroll range allows; a smaller image is centred anyway).
    horizontalScrollBar()->setValue(int(std::lround(share.x() * FImage->width() - at.x())));
    verticalScrollBar()->setValue(int(std::lround(share.y() * FImage->height() - at.y())));
}

void TRepPreview::SetHighlights(std::vector<QRectF> boxes, int current)
{
    FImage->SetHighlights(std::move(boxes), current);
}

void TRepPreview::ShowBox(const QRectF &box)
{
    const QRect onImage = FImage->ToImage(box).toAlignedRect();
    const QRect seen(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), viewport()->size());
    if (seen.contains(onImage))
        return;
    horizontalScrollBar()->setValue(onImage.center().x() - seen.width() / 2);
    verticalScrollBar()->setValue(onImage.center().y() - seen.height() / 2);
}

void TRepPreview::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        FWheelZoom += delta;
        while (std::abs(FWheelZoom) >= WheelNotch) {
            const bool in = FWheelZoom > 0;
            FWheelZoom -= in ? WheelNotch : -WheelNotch;
            RunGuarded([&] { in ? ZoomIn(event->position()) : ZoomOut(event->position()); });
        }
        event->accept();
        return;
    }
    if (delta != 0 && TurnPage(delta)) {
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

bool TRepPreview::TurnPage(int delta)
{
    const QScrollBar *bar = verticalScrollBar();
    const bool down = delta < 0;
    const bool atEdge = down ? bar->value() >= bar->maximum() : bar->value() <= bar->minimum();
    const int to = FPageNumber + (down ? 1 : -1);
    if (!atEdge || !FPrinter || to < 1 || to > FPrinter->PageCount()) {
        FWheelAtEdge = 0;
        return false;
    }
    // A whole notch against the end turns the page, so the small steps of
    // a touchpad that only just reached the end do not.
    FWheelAtEdge += delta;
    if (std::abs(FWheelAtEdge) < WheelNotch)
        return true;
    RunGuarded([&] {
        SetPageNumber(to);
        if (!down)
            verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    });
    return true;
}

QSizeF TRepPreview::PageExtent() const
{
    if (!FPrinter)
        return {};
    const QSizeF paper(FPrinter->OrientedPaperWidth(), FPrinter->OrientedPaperLength());
    const std::optional<QSize> page = FImage->PageSize();
    // A page drawn on the printer's paper keeps the paper's exact size.
    if (!page || *page == QSize(FPrinter->ToDeviceWidth(paper.width()), FPrinter->ToDeviceHeight(paper.height())))
        return paper;
    return {page->width() / FPrinter->XScale(), page->height() / FPrinter->YScale()};
}

double TRepPreview::PaperWidthPixels() const
{
    return FPrinter ? FPrinter->ToDeviceWidth(PageExtent().width()) : LetterWidth;
}

double TRepPreview::PaperLengthPixels() const
{
    return FPrinter ? FPrinter->ToDeviceHeight(PageExtent().height()) : LetterLength;
}

void TRepPreview::LayoutImage()
{
    int w;
    int h;
    if (FPrinter) {
        const QSizeF extent = PageExtent();
        w = FPrinter->ToDeviceWidth(extent.width() / 100.0 * FZoom) + 4;
        h = FPrinter->ToDeviceHeight(extent.height() / 100.0 * FZoom) + 4;
        FLaidOutExtent = extent;
    } else {
        w = Nearest(LetterWidth / 100 * FZoom) + 4;
        h = Nearest(LetterLength / 100 * FZoom) + 4;
    }
    FImage->resize(w, h);
    UpdateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    PlaceImage();
    FImage->SetZoom(FZoom);
}

void TRepPreview::UpdateScrollBars()
{
    const QSize area = viewport()->size();
    const QSize image = FImage->size();
    horizontalScrollBar()->setRange(0, std::max(0, image.width() - area.width()));
    horizontalScrollBar()->setPageStep(area.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, image.height() - area.height()));
    verticalScrollBar()->setPageStep(area.height());
    verticalScrollBar()->setSingleStep(20);
}

void TRepPreview::PlaceImage()
{
    // Centred by (W - w) div 2 while smaller than the visible area,
    // otherwise at the scroll position.
    const QSize area = viewport()->size();
    const QSize image = FImage->size();
    const int x = image.width() < area.width() ? (area.width() - image.width()) / 2 : -horizontalScrollBar()->value();
    const int y =
        image.height() < area.height() ? (area.height() - image.height()) / 2 : -verticalScrollBar()->value();
    FImage->move(x, y);
}

void TRepPreview::scrollContentsBy(int, int)
{
    PlaceImage();
}

bool TRepPreview::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        UpdateScrollBars();
        PlaceImage();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TRepPreview::FitPage()
{
    const QSize area = maximumViewportSize();
    const double paperW = PaperWidthPixels();
    const double paperH = PaperLengthPixels();
    if (paperW > 0 && paperH > 0) {
        const int a = Nearest(area.width() / paperW * 95);
        const int b = Nearest(area.height() / paperH * 95);
        SetZoom(std::min(a, b));
    }
    FZoomMode = ZoomFit;
    if (OnZoomChanged)
        OnZoomChanged(this);
}

void TRepPreview::FitWidth()
{
    const int W = maximumViewportSize().width();
    int zoom;
    if (FPrinter) {
        const double paperW = PaperWidthPixels();
        zoom = paperW > 0 ? Nearest(W / paperW * 90) : 0;
    } else {
        zoom = Nearest(W / LetterWidth * 95);
    }
    SetZoom(zoom);
    LayoutImage();
    FZoomMode = ZoomWidth;
    if (OnZoomChanged)
        OnZoomChanged(this);
}

void TRepPreview::RefreshImage()
{
    if (FImage->PagePresent() || !FPrinter || FPrinter->AvailablePages() < FImage->PageNumber())
        return;
    FitWidth();
    FImage->SetPageNumber(FImage->PageNumber());
    FollowPageSize();
}

void TRepPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    RunGuarded([&] {
        if (FZoomMode == ZoomFit)
            FitPage();
        else if (FZoomMode == ZoomWidth)
            FitWidth();
        LayoutImage();
    });
}

bool TRepPreview::event(QEvent *event)
{
    if (event->type() == RepPageAvailableNotice()) {
        const int n = static_cast<TRepNotice *>(event)->Value();
        RunGuarded([&] {
            if (n == FPageNumber)
                RefreshImage();
            if (OnPageAvailable)
                OnPageAvailable(this, n);
        });
        return true;
    }
    if (event->type() == RepRunEndedNotice()) {
        RunGuarded([&] {
            if (OnRunEnded)
                OnRunEnded(this);
        });
        return true;
    }
    if (event->type() == RepProgressNotice()) {
        const int p = static_cast<TRepNotice *>(event)->Value();
        RunGuarded([&] {
            if (OnProgressUpdate)
                OnProgressUpdate(this, p);
        });
        return true;
    }
    return QAbstractScrollArea::event(event);
}
