#include "report/preview/detail/RepPreviewImage.h"

#include "platform/MetafilePlayer.h"
#include "report/output/RepPrinter.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// Up to this many device pixels the page is rendered whole (A4 at 200 %
// on an ordinary screen); beyond, only the part in view and a margin.
constexpr qint64 WholePageLimit = 6'000'000;

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
    FRenderedArea = QRect();
    FHighlights.clear();
    FCurrentHighlight = -1;
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

void TRepPreviewImage::SetHighlights(std::vector<QRectF> boxes, int current)
{
    FHighlights = std::move(boxes);
    FCurrentHighlight = current;
    update();
}

QRectF TRepPreviewImage::ToImage(const QRectF &pageBox) const
{
    if (!FPage || FPage->Width() <= 0 || FPage->Height() <= 0)
        return {};
    const double sx = double(width()) / FPage->Width();
    const double sy = double(height()) / FPage->Height();
    return QRectF(pageBox.x() * sx, pageBox.y() * sy, pageBox.width() * sx, pageBox.height() * sy);
}

QRect TRepPreviewImage::AreaToRender(const QRect &exposed, qreal ratio) const
{
    const QRect whole = rect();
    if (qint64(width() * ratio) * qint64(height() * ratio) <= WholePageLimit)
        return whole;
    QRect seen = visibleRegion().boundingRect();
    seen = seen.isEmpty() ? exposed : seen.united(exposed);
    // A margin of half the view each way, so scrolling a little renders
    // nothing again.
    return seen.adjusted(-seen.width() / 2, -seen.height() / 2, seen.width() / 2, seen.height() / 2)
        .intersected(whole);
}

void TRepPreviewImage::Render(const QRect &area, qreal ratio)
{
    FRendered = QImage((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    FRendered.setDevicePixelRatio(ratio);
    FRendered.fill(Qt::transparent);
    FRenderedArea = area;
    FRenderedFor = size();
    QPainter p(&FRendered);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(-area.topLeft());
    PaintPaperAndPage(p, *FPage, width(), height());
}

void TRepPreviewImage::PaintPage(QPainter &p, const QRect &exposed)
{
    if (!FPage)
        return;
    const int w = width();
    const int h = height();
    const qreal ratio = p.device() ? p.device()->devicePixelRatioF() : 1.0;
    const QRect needed = exposed.intersected(rect());
    const bool stale = FRendered.isNull() || FRenderedFor != size() || FRendered.devicePixelRatio() != ratio
                       || !FRenderedArea.contains(needed);
    if (stale && !needed.isEmpty())
        Render(AreaToRender(needed, ratio), ratio);
    if (!stale || !needed.isEmpty())
        p.drawImage(FRenderedArea.topLeft(), FRendered);
    PaintHighlights(p);
    // Frame and shadow, crisp single pixels.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, w - 3, h - 3));
    p.fillRect(QRect(w - 2, 2, 2, h - 2), Qt::black);
    p.fillRect(QRect(2, h - 2, w - 2, 2), Qt::black);
}

void TRepPreviewImage::PaintHighlights(QPainter &p) const
{
    if (FHighlights.empty())
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    for (size_t i = 0; i < FHighlights.size(); ++i) {
        const bool current = int(i) == FCurrentHighlight;
        const QRectF box = ToImage(FHighlights[i]).adjusted(-1, 0, 1, 0);
        p.setPen(current ? QPen(QColor(200, 90, 0), 1) : Qt::NoPen);
        p.setBrush(current ? QColor(255, 140, 0, 120) : QColor(255, 225, 0, 110));
        p.drawRect(box);
    }
    p.restore();
}

void TRepPreviewImage::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    PaintPage(p, event->rect());
}
