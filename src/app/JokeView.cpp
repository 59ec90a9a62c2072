#include "app/JokeView.h"

#include "app/JokeFile.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

namespace {
// Panels are kept this far above and below the visible area, so that a
// small scroll step finds its panels ready.
constexpr int Margin = 300;
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
    connect(FBar, &QScrollBar::valueChanged, this, Guarded([this](int) { Materialize(); }));
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

void TJokeView::Clear()
{
    for (auto &[k, panel] : FLive)
        delete panel;
    FLive.clear();
    FJokes.clear();
    FJokes.shrink_to_fit();
}

void TJokeView::SetJokes(std::vector<JokeEntry> jokes, const QString &dir)
{
    Clear();
    FJokes = std::move(jokes);
    FDir = dir;
    FBar->setValue(0);
    Materialize();
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

void TJokeView::SetScrollRange(int range)
{
    FRange = qMax(0, range);
    UpdateBar();
}

int TJokeView::ScrollPosition() const
{
    return FBar->value();
}

void TJokeView::SetScrollPosition(int position)
{
    FBar->setValue(position);
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
    FBar->setPageStep(qMax(1, client));
    FBar->setSingleStep(15);
    FBar->setRange(0, qMax(0, FRange - client));
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

TViccPanel *TJokeView::CreatePanel(int k)
{
    const JokeEntry &joke = FJokes[size_t(k)];
    auto *panel = new TViccPanel(FViewport);
    panel->setObjectName(PanelName(k));
    panel->setProperty("tag", k);
    panel->setGeometry(PanelLeft, joke.top - ScrollPosition(), PanelWidth(), joke.height);
    panel->SetDir(FDir);
    panel->ApplyLook(FLook);
    panel->SetAlja(BottomText(k));
    panel->OnMouseDown = [this](QMouseEvent *e) { emit MouseDown(e); };
    panel->OnMouseMove = [this](QMouseEvent *e) { emit MouseMove(e); };
    panel->OnMouseUp = [this](QMouseEvent *e) { emit MouseUp(e); };
    panel->setCursor(FCursor);
    panel->SetContent(joke.heading, joke.lines);
    return panel;
}

void TJokeView::Materialize()
{
    const int position = ScrollPosition();
    const int windowTop = position - Margin;
    const int windowBottom = position + ClientHeight() + Margin;
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
        if (const auto it = FLive.find(k); it != FLive.end()) {
            it->second->move(PanelLeft, FJokes[size_t(k)].top - position);
            continue;
        }
        TViccPanel *panel = CreatePanel(k);
        FLive.emplace(k, panel);
        created.push_back(panel);
    }
    for (auto &[k, panel] : FLive)
        if (k < lo || k >= hi)
            panel->move(PanelLeft, FJokes[size_t(k)].top - position);
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
