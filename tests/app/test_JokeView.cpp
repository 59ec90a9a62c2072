#include "app/JokeView.h"
#include "app/ViccPanel.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>

namespace {

// n jokes of the given height, stacked the way a joke file is.
std::vector<JokeEntry> Stack(int n, int height)
{
    std::vector<JokeEntry> jokes;
    jokes.reserve(size_t(n));
    for (int k = 0; k < n; ++k)
        jokes.push_back({QStringLiteral("C%1").arg(k), {QStringLiteral("sor")}, 4 + k * (height + 4), height});
    return jokes;
}

struct ViewFixture
{
    ViewFixture(int n, int height)
    {
        view.resize(480, 300);
        const std::vector<JokeEntry> jokes = Stack(n, height);
        view.SetScrollRange(jokes.back().top + height + 8);
        view.SetJokes(jokes, QStringLiteral("/nincs//"));
        view.show();
        QCoreApplication::processEvents();
    }
    TJokeView view;
};

TEST(JokeViewTest, OnlyJokesNearTheVisibleAreaHaveWidgets)
{
    ViewFixture f(5000, 150);
    EXPECT_LT(f.view.LivePanels().size(), 10u);
    EXPECT_NE(f.view.LivePanel(0), nullptr);
    EXPECT_EQ(f.view.LivePanel(4999), nullptr);
    f.view.SetScrollPosition(f.view.Joke(2500).top);
    EXPECT_EQ(f.view.LivePanel(0), nullptr);
    TViccPanel *panel = f.view.LivePanel(2500);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->y(), 0);
    EXPECT_EQ(panel->objectName(), QStringLiteral("vp2500"));
    EXPECT_EQ(panel->Alja(), QStringLiteral("#2501"));
    EXPECT_EQ(panel->Szerzo(), QStringLiteral("C2500"));
    EXPECT_LT(f.view.LivePanels().size(), 10u);
}

TEST(JokeViewTest, ContentBeyondTheWidgetSizeLimitStaysReachable)
{
    // 120,000 jokes of 150 pixels: about 18.5 million pixels of content,
    // more than a widget may be tall.
    ViewFixture f(120000, 150);
    QScrollBar *bar = f.view.VerticalScrollBar();
    EXPECT_EQ(bar->maximum(), f.view.ScrollRange() - f.view.ClientHeight());
    EXPECT_GT(f.view.ScrollRange(), 16777215);
    bar->setValue(bar->maximum());
    TViccPanel *last = f.view.LivePanel(119999);
    ASSERT_NE(last, nullptr);
    // The last panel ends 8 pixels above the view's bottom edge.
    EXPECT_EQ(last->geometry().bottom() + 1 + 8, f.view.ClientHeight());
    TViccPanel *before = f.view.LivePanel(119998);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(last->y() - before->geometry().bottom() - 1, 4);
    // Dragging moves through the scroll bar: one step up shows the panel lower.
    const int y = last->y();
    bar->setValue(bar->value() - 37);
    EXPECT_EQ(f.view.LivePanel(119999)->y(), y + 37);
}

TEST(JokeViewTest, LookAndWidthReachPanelsMadeLater)
{
    ViewFixture f(1000, 100);
    PanelLook look;
    look.headStrip = 0x00004080;
    f.view.SetPanelLook(look);
    f.view.resize(600, 300);
    f.view.SetScrollPosition(f.view.Joke(900).top);
    TViccPanel *panel = f.view.LivePanel(900);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->ColorHead(), 0x00004080u);
    EXPECT_EQ(panel->width(), 560);
    EXPECT_EQ(panel->x(), 12);
}

TEST(JokeViewTest, MouseEventsOfPanelsAndBackgroundReachTheView)
{
    ViewFixture f(3, 100);
    int downs = 0, moves = 0, ups = 0;
    QObject::connect(&f.view, &TJokeView::MouseDown, [&] { ++downs; });
    QObject::connect(&f.view, &TJokeView::MouseMove, [&] { ++moves; });
    QObject::connect(&f.view, &TJokeView::MouseUp, [&] { ++ups; });
    for (QWidget *target : {static_cast<QWidget *>(f.view.LivePanel(1)), f.view.Viewport()}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(6, 6), QPointF(6, 6), Qt::RightButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &press);
        QCoreApplication::sendEvent(target, &move);
        QCoreApplication::sendEvent(target, &release);
    }
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(ups, 2);
}

} // namespace
