#include "app/JokeView.h"

#include "app/JokeFile.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"

#include <QMouseEvent>
#include <QScrollBar>
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
} // namespace

TJokeView::TJokeView(QWidget *parent)
    : QWidget(parent), FViewport(new QWidget(this)), FBar(new QScrollBar(Qt::Vertical, this))
{
    FViewport->setAutoFillBackground(true);
    FViewport->setMouseTracking(true);
    FViewport->installEventFilter(this);
    setMouseTracking(true);
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
    FPictures.reset();
}

void TJokeView::SetJokes(std::vector<JokeEntry> jokes, const QString &dir,
                         std::shared_ptr<PictureNames> pictures)
{
    RemovePanels();
    FJokes = std::move(jokes);
    FDir = dir;
    FPictures = pictures && pictures->Dir() == dir ? std::move(pictures) : std::make_shared<PictureNames>(dir);
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
    FRange = qMax<qint64>(0, range);
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
    panel->setCursor(FCursor);
    const JokeEntry &joke = FJokes[size_t(k)];
    panel->SetContent(joke.heading, joke.lines);
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
