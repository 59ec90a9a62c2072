#include "app/JokeView.h"
#include "app/Main.h"
#include "app/ViccPanel.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>
#include <sys/inotify.h>
#include <unistd.h>

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

// A joke far taller than Qt lets a widget be (1.2 million lines, 18 million
// pixels) shows its last line and its number strip when scrolled to the end.
TEST(JokeViewTest, AJokeTallerThanAWidgetShowsItsEnd)
{
    QStringList lines(1200000);
    lines.back() = QStringLiteral("MMMMMMMM");
    const qint64 height = JokePanelHeight(lines.size(), 0);
    ASSERT_GT(height, 16777215);
    TJokeView view;
    view.resize(480, 300);
    view.SetScrollRange(4 + height + 8);
    view.SetJokes({{QStringLiteral("Hosszú"), lines, 4, height}}, QStringLiteral("/nincs//"));
    view.show();
    QScrollBar *bar = view.VerticalScrollBar();
    bar->setValue(bar->maximum());
    QCoreApplication::processEvents();
    const QImage shown = view.Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int bottom = view.ClientHeight() - 8; // the panel ends here
    // The bottom strip, with the number in its text colour at its right end.
    EXPECT_EQ(PixelValue(shown, 30, bottom - 12), view.Look().bottomStrip);
    int numberPixels = 0;
    for (int y = bottom - 21; y < bottom - 2; ++y)
        for (int x = view.PanelWidth() - 60; x < view.PanelWidth(); ++x)
            numberPixels += Near(shown.pixel(x, y), ToQColor(view.Look().bottomText), 60);
    EXPECT_GT(numberPixels, 10);
    // The last line, 15 pixels above the strip's 21, in black on the body.
    int ink = 0;
    for (int y = bottom - 45; y < bottom - 23; ++y)
        for (int x = 18; x < 120; ++x)
            ink += qGray(shown.pixel(x, y)) < 80;
    EXPECT_GT(ink, 30);
    // Scrolling up by hand moves the strip down and out of sight.
    view.ScrollBy(-100);
    QCoreApplication::processEvents();
    const QImage moved = view.Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(PixelValue(moved, 30, bottom - 12), view.Look().body);
    EXPECT_EQ(PixelValue(moved, 30, bottom - 112), view.Look().body);
}

class JokeFileViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<Tfrm_Main>();
        window->show();
        QCoreApplication::processEvents();
    }
    QTemporaryDir tmp;
    std::unique_ptr<Tfrm_Main> window;
};

// How often folder was opened for listing while f ran.
int ListingsOf(const QString &folder, const std::function<void()> &f)
{
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    // Closes are watched too: identical events in a row would be merged.
    if (fd < 0 || ::inotify_add_watch(fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_CLOSE_NOWRITE) < 0)
        return -1;
    f();
    int listings = 0;
    alignas(inotify_event) char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
        for (char *p = buffer; p < buffer + n;) {
            const auto *event = reinterpret_cast<const inotify_event *>(p);
            if ((event->mask & IN_OPEN) && (event->mask & IN_ISDIR) && event->len == 0)
                ++listings;
            p += sizeof(inotify_event) + event->len;
        }
    }
    ::close(fd);
    return listings;
}

// Missing pictures in a folder full of other files: the folder is listed
// once while the file loads (for the names written on Windows) and never
// again while the panels repaint and scroll.
TEST_F(JokeFileViewTest, MissingPicturesListTheirFolderOncePerLoadAndNeverAtRepaint)
{
    for (int i = 0; i < 300; ++i)
        WriteBytes(tmp.filePath(QStringLiteral("mas%1.dat").arg(i)), "x");
    WriteJpeg(tmp.filePath(QStringLiteral("Van.jpg")), 20, 10);
    QStringList lines;
    for (int k = 0; k < 200; ++k)
        lines << QStringLiteral("vicc %1").arg(k) << QStringLiteral(">>nincs%1.jpg").arg(k) << QStringLiteral(">>VAN.JPG")
              << QStringLiteral("<<");
    const QString path = WriteJokeFile(tmp.filePath(QStringLiteral("hianyos.vicc")), lines);

    const int atLoad = ListingsOf(tmp.path(), [&] {
        window->OpenJokeFile(path, true);
        window->sbxMain->repaint();
    });
    EXPECT_EQ(atLoad, 1);
    ASSERT_EQ(window->sbxMain->JokeCount(), 200);
    EXPECT_EQ(window->sbxMain->Joke(0).height, 15 * 3 + 60 + 10) << "VAN.JPG found as Van.jpg";
    const int atRepaint = ListingsOf(tmp.path(), [&] {
        for (int k = 0; k < 200; k += 20) {
            window->sbxMain->SetScrollPosition(window->sbxMain->Joke(k).top);
            window->sbxMain->repaint();
        }
    });
    EXPECT_EQ(atRepaint, 0);
    // Opening the file again looks again: a picture added meanwhile is found.
    WriteJpeg(tmp.filePath(QStringLiteral("nincs0.jpg")), 20, 30);
    window->OpenJokeFile(path, false);
    EXPECT_EQ(window->sbxMain->Joke(0).height, 15 * 3 + 60 + 10);
    WriteJokeFile(path, {QStringLiteral(">>VAN.JPG"), QStringLiteral(">>nincs0.jpg"), QStringLiteral("<<")});
    window->OpenJokeFile(path, false);
    EXPECT_EQ(window->sbxMain->Joke(0).height, 15 * 2 + 60 + 30);
}

// 40,000 jokes of a picture 65,500 pixels tall make 2.6 billion pixels of
// content, beyond any int: every joke can still be brought into view, and
// the last one ends 8 pixels above the bottom at the end of the bar.
TEST_F(JokeFileViewTest, FortyThousandTallPicturesLeaveEveryJokeReachable)
{
    WriteJpeg(tmp.filePath(QStringLiteral("magas.jpg")), 32, 65500);
    QStringList lines;
    for (int k = 0; k < 40000; ++k)
        lines << QStringLiteral("%1. vicc").arg(k + 1) << QStringLiteral(">>magas.jpg") << QStringLiteral("<<");
    window->OpenJokeFile(WriteJokeFile(tmp.filePath(QStringLiteral("magas.vicc")), lines), true);
    TJokeView &view = *window->sbxMain;
    ASSERT_EQ(view.JokeCount(), 40000);
    const qint64 height = 15 * 2 + 60 + 65500;
    EXPECT_EQ(view.Joke(39999).top, 4 + 39999 * (height + 4));
    EXPECT_EQ(view.ScrollRange(), 4 + 40000 * (height + 4) - 4 + 8);
    ASSERT_GT(view.ScrollRange(), std::numeric_limits<int>::max());

    for (const int k : {1, 20000, 32768, 39998}) {
        view.SetScrollPosition(view.Joke(k).top);
        const TViccPanel *panel = view.LivePanel(k);
        ASSERT_NE(panel, nullptr) << k;
        EXPECT_EQ(panel->y(), 0) << k;
        EXPECT_EQ(panel->Alja(), QStringLiteral("#%1").arg(k + 1));
    }
    QScrollBar *bar = view.VerticalScrollBar();
    bar->setValue(bar->maximum());
    const TViccPanel *last = view.LivePanel(39999);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->geometry().bottom() + 1 + 8, view.ClientHeight());
    // Dragging moves pixel by pixel even where a bar step is more than one.
    const int y = last->y();
    view.ScrollBy(-37);
    EXPECT_EQ(view.LivePanel(39999)->y(), y + 37);
    EXPECT_EQ(view.ScrollPosition(), view.MaxScrollPosition() - 37);
    QCoreApplication::processEvents();
}

} // namespace
