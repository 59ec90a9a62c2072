#include "report/preview/detail/RepPreviewImage.h"

#include "platform/MetafilePlayer.h"
#include "report/output/RepPrinter.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// Above this many device pixels the rendered page is not kept (a page at
// the highest zooms would take gigabytes); it is drawn into the exposed area.
constexpr qint64 CacheLimitPixels = 24'000'000;

// White paper inside the frame, then the page over the whole image.
void PaintPaperAndPage(QPainter &p, const Metafile &page, int w, int h)
{
    p.fillRect(QRect(1, 1, w - 4, h - 4), Qt::white);
    PlayMetafile(p, page, QRectF(0, 0, w, h));
}

} // namespace

TRepPreviewImage::TRepPreviewImage(QWidget *parent) : QWidget(parent)
{
    resize(100, 50);
    // The scroll area's background shows wherever nothing is drawn.
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TRepPreviewImage::SetPageNumber(int n)
{
    FPage.reset();
    FRendered = QImage();
    FPageNumber = n;
    if (FPrinter)
        FPage = FPrinter->FetchPage(n);
    update();
}

std::optional<QSize> TRepPreviewImage::PageSize() const
{
    if (!FPage)
        return std::nullopt;
    return QSize(FPage->Width(), FPage->Height());
}

const QImage &TRepPreviewImage::RenderedPage(qreal ratio)
{
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (FRendered.size() == pixels && FRendered.devicePixelRatio() == ratio)
        return FRendered;
    FRendered = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    FRendered.setDevicePixelRatio(ratio);
    FRendered.fill(Qt::transparent);
    QPainter p(&FRendered);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    PaintPaperAndPage(p, *FPage, width(), height());
    return FRendered;
}

void TRepPreviewImage::PaintPage(QPainter &p, const QRect &exposed)
{
    if (!FPage)
        return;
    const int w = width();
    const int h = height();
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    if (qint64(w * ratio) * qint64(h * ratio) <= CacheLimitPixels) {
        p.drawImage(QPoint(0, 0), RenderedPage(ratio));
    } else {
        FRendered = QImage();
        p.save();
        p.setClipRect(exposed);
        p.setRenderHint(QPainter::Antialiasing);
        PaintPaperAndPage(p, *FPage, w, h);
        p.restore();
    }
    // Frame and shadow, crisp single pixels.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, w - 3, h - 3));
    p.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
    p.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
}

void TRepPreviewImage::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    PaintPage(p, event->rect());
}
