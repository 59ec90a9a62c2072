#include "app/JokeView.h"

#include "app/JokeFile.h"
#include "app/LineWrap.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

namespace {
// Panels are kept this far above and below the visible area, so that a
// small scroll step finds its panels ready.
constexpr int Margin = 300;
// A joke taller than this is shown through a slice of it; whole panels stay
// far below Qt's widget limit of 16,777,215 pixels.
constexpr qint64 SliceAbove = qint64(1) << 22;
// Widget rows far from the view (a panel kept for its mouse grab) are held
// within what a widget position can take.
constexpr qint64 FarRow = qint64(1) << 24;

int WidgetRow(qint64 y)
{
    return int(std::clamp(y, -FarRow, FarRow));
}

// Wheel turns come in eighths of a degree, 120 to a notch.
constexpr int WheelNotch = 120;
// A text line of a panel, and the space the text keeps from its edges.
constexpr int TextLineHeight = 15;
constexpr int TextMargins = 12;
} // namespace

TJokeView::TJokeView(QWidget *parent)
    : QWidget(parent), FViewport(new QWidget(this)), FBar(new QScrollBar(Qt::Vertical, this))
{
    FViewport->setAutoFillBackground(true);
    FViewport->setMouseTracking(true);
    FViewport->installEventFilter(this);
    setMouseTracking(true);
    // A click gives the jokes the keys; until then the window passes them on.
    setFocusPolicy(Qt::ClickFocus);
    SetColor(FColor);
    FBar->setTracking(true);
    connect(FBar, &QScrollBar::valueChanged, this, Guarded([this](int value) { BarMoved(value); }));
    UpdateBar();
}

QString TJokeView::PanelName(int k)
{
    return QStringLiteral("vp") + QString::number(k);
}

QString TJokeView::BottomText(int k)
{
    return u'#' + QString::number(k + 1);
}

void TJokeView::RemovePanels()
{
    for (auto &[k, panel] : FLive)
        delete panel;
    FLive.clear();
}

void TJokeView::Clear()
{
    RemovePanels();
    FJokes.clear();
    FJokes.shrink_to_fit();
    FPlainPlaces.clear();
    FPictures.reset();
    FFoundOf = nullptr;
    ++FJokesVersion;
}

void TJokeView::SetJokes(std::vector<JokeEntry> jokes, const QString &dir,
                         std::shared_ptr<PictureNames> pictures)
{
    RemovePanels();
    FFoundOf = nullptr;
    FJokes = std::move(jokes);
    ++FJokesVersion;
    FDir = dir;
    FPictures = pictures && pictures->Dir() == dir ? std::move(pictures) : std::make_shared<PictureNames>(dir);
    FPlainPlaces.clear();
    FPlainPlaces.reserve(FJokes.size());
    for (const JokeEntry &joke : FJokes)
        FPlainPlaces.emplace_back(joke.top, joke.height);
    FPosition = 0;
    if (FWrap) {
        FColumns = 0;
        LayOutJokes();
    }
    SetScrollPosition(0);
}

void TJokeView::SetPanelLook(const PanelLook &look)
{
    FLook = look;
    for (auto &[k, panel] : FLive)
        panel->ApplyLook(look);
}

void TJokeView::SetColor(ColorValue value)
{
    FColor = value;
    QPalette pal = FViewport->palette();
    pal.setColor(QPalette::Window, ToQColor(value));
    FViewport->setPalette(pal);
}

void TJokeView::SetScrollRange(qint64 range)
{
    FPlainRange = qMax<qint64>(0, range);
    // Wrapped jokes make their own range.
    if (!FWrap || FJokes.empty())
        FRange = FPlainRange;
    UpdateBar();
    Materialize();
}

qint64 TJokeView::MaxScrollPosition() const
{
    return qMax<qint64>(0, FRange - ClientHeight());
}

void TJokeView::SetScrollPosition(qint64 position)
{
    FPosition = std::clamp<qint64>(position, 0, MaxScrollPosition());
    {
        const QSignalBlocker quiet(FBar);
        FBar->setValue(BarValueOf(FPosition));
    }
    Materialize();
}

int TJokeView::BarValueOf(qint64 position) const
{
    return position >= MaxScrollPosition() ? FBar->maximum() : int(position / FBarStep);
}

void TJokeView::BarMoved(int value)
{
    if (value == BarValueOf(FPosition))
        return;
    FPosition = value >= FBar->maximum() ? MaxScrollPosition() : qint64(value) * FBarStep;
    Materialize();
}

int TJokeView::ClientHeight() const
{
    return FViewport->height();
}

TViccPanel *TJokeView::LivePanel(int k) const
{
    const auto it = FLive.find(k);
    return it == FLive.end() ? nullptr : it->second;
}

void TJokeView::SetViewCursor(const QCursor &cursor)
{
    FCursor = cursor;
    FViewport->setCursor(cursor);
    for (auto &[k, panel] : FLive)
        panel->setCursor(cursor);
}

void TJokeView::UpdateBar()
{
    const int client = ClientHeight();
    const qint64 greatest = MaxScrollPosition();
    FBarStep = greatest / std::numeric_limits<int>::max() + 1;
    FPosition = qMin(FPosition, greatest);
    const QSignalBlocker quiet(FBar);
    FBar->setPageStep(int(qMax<qint64>(1, client / FBarStep)));
    FBar->setSingleStep(int(qMax<qint64>(1, 15 / FBarStep)));
    FBar->setRange(0, int((greatest + FBarStep - 1) / FBarStep));
    FBar->setValue(BarValueOf(FPosition));
    FBar->setVisible(FRange > client);
}

void TJokeView::resizeEvent(QResizeEvent *)
{
    const int barWidth = FBar->sizeHint().width();
    FBar->setGeometry(width() - barWidth, 0, barWidth, height());
    FViewport->setGeometry(0, 0, width(), height());
    FBar->raise();
    for (auto &[k, panel] : FLive)
        panel->resize(PanelWidth(), panel->height());
    if (FWrap)
        LayOutJokes();
    UpdateBar();
    Materialize();
    emit Resized();
}

void TJokeView::Place(TViccPanel *panel, int k) const
{
    const JokeEntry &joke = FJokes[size_t(k)];
    if (joke.height <= SliceAbove) {
        panel->ShowWhole();
        panel->setGeometry(PanelLeft, WidgetRow(joke.top - FPosition), PanelWidth(), int(joke.height));
        return;
    }
    // The part of the joke near the visible area, and where it starts in it.
    const qint64 from = qMax(joke.top, FPosition - Margin);
    const qint64 to = qMax(from + 1, qMin(joke.top + joke.height, FPosition + ClientHeight() + Margin));
    panel->setGeometry(PanelLeft, WidgetRow(from - FPosition), PanelWidth(), int(to - from));
    panel->ShowSlice(from - joke.top, joke.height);
}

TViccPanel *TJokeView::CreatePanel(int k)
{
    auto *panel = new TViccPanel(FViewport);
    panel->setObjectName(PanelName(k));
    panel->setProperty("tag", k);
    Place(panel, k);
    panel->SetPictureNames(FPictures);
    panel->ApplyLook(FLook);
    panel->SetAlja(BottomText(k));
    panel->OnMouseDown = [this](QMouseEvent *e) { emit MouseDown(e); };
    panel->OnMouseMove = [this](QMouseEvent *e) { emit MouseMove(e); };
    panel->OnMouseUp = [this](QMouseEvent *e) { emit MouseUp(e); };
    panel->installEventFilter(this);
    panel->setCursor(FCursor);
    panel->SetWrapColumns(FColumns);
    const JokeEntry &joke = FJokes[size_t(k)];
    panel->SetContent(joke.heading, joke.lines);
    MarkFoundText(panel, k);
    return panel;
}

void TJokeView::Materialize()
{
    const qint64 windowTop = FPosition - Margin;
    const qint64 windowBottom = FPosition + ClientHeight() + Margin;
    // Tops grow with the joke number: the first joke reaching into the window
    // is found by bisection, so a scroll step costs nothing per joke.
    const auto first = std::partition_point(FJokes.begin(), FJokes.end(), [&](const JokeEntry &j) {
        return j.top + j.height < windowTop;
    });
    int lo = int(first - FJokes.begin());
    int hi = lo;
    while (hi < JokeCount() && FJokes[size_t(hi)].top < windowBottom)
        ++hi;

    for (auto it = FLive.begin(); it != FLive.end();) {
        // A panel holding the mouse grab stays until the button is released,
        // so a drag that scrolls it away keeps receiving its events.
        if ((it->first < lo || it->first >= hi) && QWidget::mouseGrabber() != it->second) {
            delete it->second;
            it = FLive.erase(it);
        } else {
            ++it;
        }
    }
    std::vector<TViccPanel *> created;
    for (int k = lo; k < hi; ++k) {
        if (const auto it = FLive.find(k); it != FLive.end())
            continue;
        TViccPanel *panel = CreatePanel(k);
        FLive.emplace(k, panel);
        created.push_back(panel);
    }
    for (auto &[k, panel] : FLive)
        Place(panel, k);
    for (TViccPanel *panel : created)
        panel->show();
}

bool TJokeView::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel scrolls anywhere over the jokes, the panels included.
    if (event->type() == QEvent::Wheel && (watched == FViewport || watched->parent() == FViewport)) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    if (watched == FViewport) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            RunGuarded([&] { emit MouseDown(mouse); });
            return true;
        case QEvent::MouseMove:
            RunGuarded([&] { emit MouseMove(mouse); });
            return true;
        case QEvent::MouseButtonRelease:
            RunGuarded([&] { emit MouseUp(mouse); });
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int TJokeView::TopJoke() const
{
    const auto first = std::partition_point(FJokes.begin(), FJokes.end(), [&](const JokeEntry &j) {
        return j.top + j.height <= FPosition;
    });
    if (FJokes.empty())
        return -1;
    return first == FJokes.end() ? JokeCount() - 1 : int(first - FJokes.begin());
}

bool TJokeView::JokeInView(int k) const
{
    if (k < 0 || k >= JokeCount())
        return false;
    const JokeEntry &joke = Joke(k);
    return joke.top < FPosition + ClientHeight() && joke.top + joke.height > FPosition;
}

void TJokeView::ShowJokeAtTop(int k)
{
    if (k >= 0 && k < JokeCount())
        SetScrollPosition(Joke(k).top - PanelGap);
}

void TJokeView::BringIntoView(int k, int line, int column)
{
    if (k < 0 || k >= JokeCount())
        return;
    if (!LivePanel(k))
        ShowJokeAtTop(k);
    TViccPanel *panel = LivePanel(k);
    const JokeEntry &joke = Joke(k);
    const qint64 rowTop = joke.top + (panel ? panel->RowTop(line, column) : 0);
    const qint64 rowBottom = rowTop + (line < 0 ? 23 : TextLineHeight);
    if (rowTop >= FPosition && rowBottom <= FPosition + ClientHeight())
        return;
    qint64 target = joke.top - PanelGap;
    if (rowBottom > target + ClientHeight())
        target = rowTop - ClientHeight() / 3;
    SetScrollPosition(target);
}

bool TJokeView::KeyScroll(const QKeyEvent *event)
{
    const qint64 page = qMax(TextLineHeight, ClientHeight() - LineStep);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Up:
        ScrollBy(-LineStep);
        return true;
    case Qt::Key_Down:
        ScrollBy(LineStep);
        return true;
    case Qt::Key_PageUp:
        ScrollBy(-page);
        return true;
    case Qt::Key_PageDown:
        ScrollBy(page);
        return true;
    case Qt::Key_Space:
        ScrollBy(shift ? -page : page);
        return true;
    case Qt::Key_Home:
        SetScrollPosition(0);
        return true;
    case Qt::Key_End:
        SetScrollPosition(MaxScrollPosition());
        return true;
    default:
        return false;
    }
}

void TJokeView::keyPressEvent(QKeyEvent *event)
{
    bool handled = false;
    RunGuarded([&] { handled = KeyScroll(event); });
    if (!handled)
        QWidget::keyPressEvent(event);
}

void TJokeView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    // Touchpads tell pixels; wheels tell turns, of which fine wheels send
    // parts of a notch: each part moves its share of a step.
    qint64 pixels = -event->pixelDelta().y();
    if (pixels == 0) {
        const int step = QApplication::wheelScrollLines() * TextLineHeight;
        FWheelRest -= event->angleDelta().y() * step;
        pixels = FWheelRest / WheelNotch;
        FWheelRest -= int(pixels) * WheelNotch;
    }
    if (pixels != 0)
        RunGuarded([&] { ScrollBy(pixels); });
}

void TJokeView::SetWrapLines(bool wrap)
{
    if (wrap == FWrap)
        return;
    FWrap = wrap;
    LayOutJokes();
    UpdateBar();
    Materialize();
}

int TJokeView::ColumnsForWidth() const
{
    if (!FWrap)
        return 0;
    const int charWidth = qMax(1, QFontMetrics(TViccPanel::LineFont()).horizontalAdvance(u'M'));
    return qMax(1, (PanelWidth() - TextMargins) / charWidth);
}

void TJokeView::LayOutJokes()
{
    const int columns = ColumnsForWidth();
    if (columns == FColumns)
        return;
    FColumns = columns;
    // The joke at the top keeps its place on the view.
    const int anchor = TopJoke();
    const qint64 into = anchor < 0 ? 0 : FPosition - FJokes[size_t(anchor)].top;
    const bool withPictures = !FDir.isEmpty();
    qint64 top = FPlainPlaces.empty() ? 0 : FPlainPlaces.front().first;
    for (size_t k = 0; k < FJokes.size(); ++k) {
        JokeEntry &joke = FJokes[k];
        if (columns == 0) {
            std::tie(joke.top, joke.height) = FPlainPlaces[k];
            continue;
        }
        joke.top = top;
        joke.height = FPlainPlaces[k].second + TextLineHeight * ExtraWrappedRows(joke.lines, columns, withPictures);
        top += joke.height + PanelGap;
    }
    FRange = columns == 0 || FJokes.empty() ? FPlainRange : FJokes.back().top + FJokes.back().height + 8;
    for (auto &[k, panel] : FLive)
        panel->SetWrapColumns(columns);
    if (anchor >= 0) {
        const JokeEntry &joke = FJokes[size_t(anchor)];
        FPosition = joke.top + qMin(into, joke.height - 1);
    }
    UpdateBar();
    SetScrollPosition(FPosition);
}

void TJokeView::SetFoundText(FoundTextOf matchesOf, int currentJoke, LineMatch current)
{
    FFoundOf = std::move(matchesOf);
    FCurrentJoke = currentJoke;
    FCurrentFound = current;
    for (auto &[k, panel] : FLive)
        MarkFoundText(panel, k);
}

void TJokeView::MarkFoundText(TViccPanel *panel, int k) const
{
    if (!FFoundOf) {
        panel->SetFoundText({}, -1);
        return;
    }
    std::vector<LineMatch> matches = FFoundOf(k);
    int current = -1;
    if (k == FCurrentJoke) {
        const auto it = std::find(matches.begin(), matches.end(), FCurrentFound);
        current = it == matches.end() ? -1 : int(it - matches.begin());
    }
    panel->SetFoundText(std::move(matches), current);
}
