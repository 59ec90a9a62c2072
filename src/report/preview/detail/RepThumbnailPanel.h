#pragma once
// TRepThumbnailPanel: a column of small pictures of a printer's pages beside
// the preview, the page on show framed, a click on one going to its page.
//
// It holds no page of its own: it shows the pages of the printer its
// preview control shows (none once that printer has gone), asking it how
// many pages are ready (every stored page of a finished printer, the
// announced ones of a busy one), so it fills as a run goes on. A picture is rendered only for
// a page scrolled into view, shortly after it was painted there as a blank
// sheet, and kept in a cache under a memory budget; pictures that fall out
// of it are rendered again when they come back into view. So its memory
// does not grow with the number of pages.

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <functional>
#include <unordered_set>

class QTimer;
class TRepPreview;
class TRepPrinter;

class TRepThumbnailPanel : public QAbstractScrollArea
{
public:
    // The pages of preview's printer.
    explicit TRepThumbnailPanel(const TRepPreview *preview, QWidget *parent = nullptr);

    // The printer announced pages: the column grows.
    void PagesAvailable();
    // The printer's pages were replaced (a file loaded).
    void PagesReplaced();
    // The page on show in the preview: framed and scrolled into view.
    void SetCurrentPage(int page);
    int CurrentPage() const { return FCurrent; }

    // Pages in the column.
    int PageCount() const { return FCount; }
    // The page whose cell holds pos (viewport coordinates), or 0.
    int PageAt(const QPoint &pos) const;
    // The cell of page in viewport coordinates.
    QRect CellRect(int page) const;

    // Memory the rendered pictures may take, in bytes.
    void SetBudget(qint64 bytes);
    qint64 Budget() const { return FCache.maxCost(); }
    qint64 CachedBytes() const { return FCache.totalCost(); }
    int CachedCount() const { return int(FCache.count()); }
    // Renders the pictures of the pages in view that are not cached now
    // (what the panel does by itself shortly after painting).
    void RenderPending();
    // Pages a picture was ever rendered of, and how many renderings there
    // were.
    const std::unordered_set<int> &RenderedPages() const { return FRendered; }
    int Renderings() const { return FRenderings; }

    // A click on a page's picture.
    std::function<void(int page)> OnPageClicked;

    QSize sizeHint() const override;

    // 16 MB: some two hundred pictures of A4 pages on an ordinary screen.
    static constexpr qint64 DefaultBudget = 16 * 1024 * 1024;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    TRepPrinter *Printer() const;
    int ReadyPages() const;
    void UpdateCount();
    void UpdateScrollBar();
    QSize PictureSize() const; // of the page's box inside a cell
    int CellHeight() const;
    // The pages whose cells are in view, first..last (last < first when none).
    std::pair<int, int> PagesInView() const;
    QImage RenderPicture(int page) const;
    // The picture of page at the panel's device pixel ratio, if cached.
    const QImage *Cached(int page) const;
    void PaintCell(QPainter &p, int page);

    const TRepPreview *FPreview;
    int FCount = 0;
    int FCurrent = 0;
    QCache<int, QImage> FCache;
    QTimer *FPending;
    std::unordered_set<int> FRendered;
    int FRenderings = 0;
};
