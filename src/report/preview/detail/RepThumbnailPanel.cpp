#include "report/preview/detail/RepThumbnailPanel.h"

#include "platform/AppError.h"
#include "platform/MetafilePlayer.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepPreview.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int PictureWidth = 100; // pixels, of an upright page
constexpr int Margin = 8;
// Rendering pictures takes at most this long before the panel lets other
// events run; the rest follows at once.
constexpr int RenderSlice = 40; // ms

} // namespace

TRepThumbnailPanel::TRepThumbnailPanel(const TRepPreview *preview, QWidget *parent)
    : QAbstractScrollArea(parent), FPreview(preview), FCache(DefaultBudget), FPending(new QTimer(this))
{
    setObjectName(QStringLiteral("Thumbnails"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FPending->setSingleShot(true);
    FPending->setInterval(0);
    connect(FPending, &QTimer::timeout, this, Guarded([this] { RenderPending(); }));
}

QSize TRepThumbnailPanel::sizeHint() const
{
    return QSize(PictureWidth + 2 * Margin + 2 * frameWidth() + verticalScrollBar()->sizeHint().width(), 400);
}

void TRepThumbnailPanel::PagesAvailable()
{
    UpdateCount();
}

void TRepThumbnailPanel::PagesReplaced()
{
    FCache.clear();
    FCount = 0;
    UpdateCount();
}

TRepPrinter *TRepThumbnailPanel::Printer() const
{
    return FPreview ? FPreview->ShownPrinter() : nullptr;
}

int TRepThumbnailPanel::ReadyPages() const
{
    return Printer() ? Printer()->ReadyPages() : 0;
}

void TRepThumbnailPanel::UpdateCount()
{
    const int ready = ReadyPages();
    if (ready == FCount)
        return;
    FCount = ready;
    UpdateScrollBar();
    viewport()->update();
}

void TRepThumbnailPanel::SetBudget(qint64 bytes)
{
    FCache.setMaxCost(std::max<qint64>(bytes, 1));
}

QSize TRepThumbnailPanel::PictureSize() const
{
    double aspect = 297.0 / 210.0;
    if (const TRepPrinter *printer = Printer();
        printer && printer->OrientedPaperWidth() > 0 && printer->OrientedPaperLength() > 0)
        aspect = double(printer->OrientedPaperLength()) / printer->OrientedPaperWidth();
    // A landscape sheet is as wide as an upright one is tall.
    if (aspect < 1)
        return QSize(PictureWidth, int(std::lround(PictureWidth * aspect)));
    return QSize(PictureWidth, int(std::lround(PictureWidth * std::min(aspect, 3.0))));
}

int TRepThumbnailPanel::CellHeight() const
{
    return Margin + PictureSize().height() + fontMetrics().height() + Margin;
}

void TRepThumbnailPanel::UpdateScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    const qint64 total = qint64(FCount) * CellHeight();
    bar->setRange(0, int(std::clamp<qint64>(total - viewport()->height(), 0, INT_MAX)));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(CellHeight() / 3);
}

QRect TRepThumbnailPanel::CellRect(int page) const
{
    const qint64 top = qint64(page - 1) * CellHeight() - verticalScrollBar()->value();
    return QRect(0, int(std::clamp<qint64>(top, INT_MIN / 2, INT_MAX / 2)), viewport()->width(), CellHeight());
}

int TRepThumbnailPanel::PageAt(const QPoint &pos) const
{
    if (!viewport()->rect().contains(pos))
        return 0;
    const qint64 page = (qint64(verticalScrollBar()->value()) + pos.y()) / CellHeight() + 1;
    return page <= FCount ? int(page) : 0;
}

std::pair<int, int> TRepThumbnailPanel::PagesInView() const
{
    const int h = CellHeight();
    const int scroll = verticalScrollBar()->value();
    const int first = scroll / h + 1;
    const int last = std::min<qint64>(FCount, (qint64(scroll) + viewport()->height() - 1) / h + 1);
    return {first, last};
}

QImage TRepThumbnailPanel::RenderPicture(int page) const
{
    const qreal ratio = devicePixelRatioF();
    const QSize box = PictureSize();
    QImage image((QSizeF(box) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    if (const std::optional<Metafile> sheet = Printer() ? Printer()->FetchPage(page) : std::nullopt) {
        // The page keeps its own shape inside the box.
        const QSizeF own = QSizeF(std::max(sheet->Width(), 1), std::max(sheet->Height(), 1))
                               .scaled(QSizeF(box), Qt::KeepAspectRatio);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        PlayMetafile(p, *sheet,
                     QRectF(QPointF((box.width() - own.width()) / 2, (box.height() - own.height()) / 2), own));
    }
    return image;
}

const QImage *TRepThumbnailPanel::Cached(int page) const
{
    const QImage *image = FCache.object(page);
    return image && image->devicePixelRatio() == devicePixelRatioF() ? image : nullptr;
}

void TRepThumbnailPanel::RenderPending()
{
    FPending->stop();
    QElapsedTimer clock;
    clock.start();
    const auto [first, last] = PagesInView();
    for (int page = first; page <= std::min(last, ReadyPages()); ++page) {
        if (Cached(page))
            continue;
        if (clock.elapsed() >= RenderSlice) {
            FPending->start();
            break;
        }
        auto *picture = new QImage(RenderPicture(page));
        FCache.insert(page, picture, std::max<qint64>(picture->sizeInBytes(), 1));
        FRendered.insert(page);
        ++FRenderings;
    }
    viewport()->update();
}

void TRepThumbnailPanel::PaintCell(QPainter &p, int page)
{
    const QRect cell = CellRect(page);
    const QSize box = PictureSize();
    const QRect picture(QPoint(cell.left() + (cell.width() - box.width()) / 2, cell.top() + Margin), box);
    if (const QImage *image = Cached(page)) {
        p.drawImage(picture.topLeft(), *image);
    } else {
        p.fillRect(picture, Qt::white);
        FPending->start();
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(picture.adjusted(-1, -1, 0, 0));
    if (page == FCurrent) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 3));
        p.drawRect(picture.adjusted(-3, -3, 2, 2));
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(cell.left(), picture.bottom() + 1, cell.width(), fontMetrics().height() + Margin / 2),
               Qt::AlignHCenter | Qt::AlignTop, QString::number(page));
}

void TRepThumbnailPanel::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().color(QPalette::Window));
    const auto [first, last] = PagesInView();
    for (int page = first; page <= last; ++page)
        PaintCell(p, page);
}

void TRepThumbnailPanel::mousePressEvent(QMouseEvent *event)
{
    const int page = event->button() == Qt::LeftButton ? PageAt(event->position().toPoint()) : 0;
    if (page > 0 && OnPageClicked) {
        RunGuarded([&] { OnPageClicked(page); });
        event->accept();
        return;
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void TRepThumbnailPanel::SetCurrentPage(int page)
{
    if (page == FCurrent)
        return;
    FCurrent = page;
    const QRect cell = CellRect(page);
    QScrollBar *bar = verticalScrollBar();
    if (cell.top() < 0)
        bar->setValue(bar->value() + cell.top());
    else if (cell.bottom() > viewport()->height())
        bar->setValue(bar->value() + cell.bottom() - viewport()->height() + 1);
    viewport()->update();
}

void TRepThumbnailPanel::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void TRepThumbnailPanel::scrollContentsBy(int, int)
{
    viewport()->update();
}
