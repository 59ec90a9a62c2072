#include "app/Artwork.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/Maker.h"
#include "app/Settings.h"
#include "app/ViccPanel.h"
#include "components/DskTrayIcon.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "support/FakeTrayShell.h"
#include "support/FakeXdgOpen.h"
#include "support/MainWindowProbes.h"
#include "support/QtPrinters.h"
#include "support/QueuedWork.h"
#include "support/TestFiles.h"
#include "support/TestSounds.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Box
{
    MessageBoxKind kind;
    QString caption, text;
    QStringList playedBefore; // the sounds played when the box came up
};

class DesktopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        previousErrorSink = SetErrorBoxSink([this](const QString &text) { errors.append(text); });
        previousBoxSink = SetMessageBoxSink([this](MessageBoxKind kind, const QString &caption, const QString &text) {
            boxes.append({kind, caption, text, Played()});
            return answer;
        });
        window = std::make_unique<Tfrm_Main>();
        window->trIcon->SetShell(std::make_unique<FakeTrayShell>(tray));
        window->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        window.reset();
        SetMessageBoxSink(previousBoxSink);
        SetErrorBoxSink(previousErrorSink);
    }

    // A joke file of n jokes, each of `lines` text lines.
    QString Jokes(const QString &name, int n, int lines = 3)
    {
        QStringList text;
        for (int k = 0; k < n; ++k) {
            for (int i = 0; i < lines; ++i)
                text << QStringLiteral("%1 vicc %2. sora").arg(name).arg(i);
            text << QStringLiteral("<<");
        }
        return WriteJokeFile(tmp.filePath(name), text);
    }

    // Sends a mouse event with the given screen Y to `target`.
    void Mouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, int screenY)
    {
        const QPointF local(20, 20);
        QMouseEvent event(type, local, local, QPointF(400, screenY), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    // The recent-files list of the settings file becomes files, as read at a
    // show of the window; the file at position `current` is then opened
    // from its menu item.
    void ListInSettings(const QStringList &files, int current)
    {
        QByteArray ini = "[File]\n";
        for (int k = 0; k < files.size(); ++k)
            ini += "File" + QByteArray::number(k) + "=" + files[k].toUtf8() + "\n";
        QDir().mkpath(QFileInfo(window->SettingsPath).path());
        WriteBytes(window->SettingsPath, ini);
        window->ReloadCollectionsMenu();
        ASSERT_GT(window->RecentFileItems().size(), current);
        window->RecentFileItems()[current]->trigger();
    }

    static QStringList Played() { return TestSoundLog().played(); }
    static void ForgetSounds() { TestSoundLog() = SoundLog(); }

    int Position() const { return window->sbxMain->ScrollPosition(); }
    int MaxPosition() const { return window->sbxMain->VerticalScrollBar()->maximum(); }

    QTemporaryDir tmp;
    std::unique_ptr<Tfrm_Main> window;
    TrayShellLog tray;
    QStringList errors;
    QList<Box> boxes;
    bool answer = true;
    ErrorBoxSink previousErrorSink;
    MessageBoxSink previousBoxSink;
};

// The colour most of an image's opaque pixels have.
QRgb MainColour(const QImage &image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                ++counts[image.pixel(x, y)];
    return std::max_element(counts.begin(), counts.end(),
                            [](const auto &a, const auto &b) { return a.second < b.second; })->first;
}

// Scroll positions counted back from the greatest one.
constexpr int Bottom = 1000000;

// One step of a drag: a press, a move to a screen Y, or a release, with the
// scroll position expected afterwards.
struct DragStep
{
    enum { Press, Move, Release } what;
    int y;
    int expected;
};

struct DragCase
{
    const char *name;
    Qt::MouseButton button;
    int start;        // scroll position before the drag
    bool overPanel;   // events go to a panel instead of the background
    std::vector<DragStep> steps;
};

} // namespace

TEST_F(DesktopTest, DragScrollingFollowsTheHandAndClamps)
{
    using S = DragStep;
    const DragCase cases[] = {
        {"press and release in place", Qt::LeftButton, 200, false,
         {{S::Press, 300, 200}, {S::Release, 300, 200}}},
        {"up moves the content up", Qt::LeftButton, 200, true,
         {{S::Press, 300, 200}, {S::Move, 250, 250}, {S::Move, 280, 220}, {S::Release, 280, 220}}},
        {"beyond the top, then back at once", Qt::LeftButton, 20, false,
         {{S::Press, 300, 20}, {S::Move, 400, 0}, {S::Move, 370, 30}, {S::Release, 370, 30}}},
        {"beyond the bottom, then back at once", Qt::LeftButton, Bottom, true,
         {{S::Press, 300, Bottom}, {S::Move, 100, Bottom}, {S::Move, 140, Bottom - 40}, {S::Release, 140, Bottom - 40}}},
        {"right button drags and its release ends the drag", Qt::RightButton, 200, false,
         {{S::Press, 300, 200}, {S::Move, 260, 240}, {S::Release, 260, 240}, {S::Move, 100, 240}}},
        {"middle button over a panel", Qt::MiddleButton, 200, true,
         {{S::Press, 300, 200}, {S::Move, 330, 170}, {S::Release, 330, 170}, {S::Move, 500, 170}}},
        {"moving without a press scrolls nothing", Qt::NoButton, 200, false,
         {{S::Move, 300, 200}, {S::Move, 100, 200}}},
    };
    window->OpenJokeFile(Jokes("hosszu.vicc", 60), true);
    ASSERT_GT(MaxPosition(), 500);
    for (const DragCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto resolve = [&](int p) { return p > Bottom / 2 ? MaxPosition() - (Bottom - p) : p; };
        window->sbxMain->SetScrollPosition(resolve(c.start));
        Qt::MouseButtons held = Qt::NoButton;
        for (const DragStep &step : c.steps) {
            // A panel under the pointer, or the background.
            QWidget *target = window->sbxMain->Viewport();
            if (c.overPanel && !window->sbxMain->LivePanels().empty())
                target = window->sbxMain->LivePanels().begin()->second;
            switch (step.what) {
            case S::Press:
                held = c.button;
                Mouse(target, QEvent::MouseButtonPress, c.button, held, step.y);
                break;
            case S::Move: Mouse(target, QEvent::MouseMove, Qt::NoButton, held, step.y); break;
            case S::Release:
                held = Qt::NoButton;
                Mouse(target, QEvent::MouseButtonRelease, c.button, held, step.y);
                break;
            }
            EXPECT_EQ(Position(), resolve(step.expected)) << "after the step to y " << step.y;
        }
        // The drag is over: the pointer moves on without the content.
        const int after = Position();
        Mouse(window->sbxMain->Viewport(), QEvent::MouseMove, Qt::NoButton, Qt::NoButton, 50);
        Mouse(window->sbxMain->Viewport(), QEvent::MouseMove, Qt::NoButton, Qt::NoButton, 450);
        EXPECT_EQ(Position(), after);
    }
}

TEST_F(DesktopTest, ContentShorterThanTheViewDoesNotMove)
{
    window->OpenJokeFile(Jokes("rovid.vicc", 1, 1), true);
    QWidget *view = window->sbxMain->Viewport();
    Mouse(view, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, 300);
    Mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, 100);
    Mouse(view, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, 500);
    Mouse(view, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, 500);
    EXPECT_EQ(Position(), 0);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DesktopTest, ResizeKeepsEveryPanelBetween12And28PixelsOfTheEdges)
{
    window->OpenJokeFile(Jokes("szeles.vicc", 8), true);
    for (int width : {522, 700, 1000, 600}) {
        window->resize(width, 430);
        QCoreApplication::processEvents();
        ASSERT_FALSE(window->sbxMain->LivePanels().empty());
        for (const auto &[k, panel] : window->sbxMain->LivePanels()) {
            EXPECT_EQ(panel->x(), 12);
            EXPECT_EQ(12 + panel->width() + 28, window->sbxMain->width()) << "joke " << k;
        }
    }
}

TEST_F(DesktopTest, DeletingTheFileOnShow)
{
    QStringList files;
    for (const char *name : {"a.vicc", "b.vicc", "c.vicc", "d.vicc"})
        files << Jokes(QString::fromLatin1(name), 2);
    ListInSettings(files, 2);
    ForgetSounds();

    // No: nothing changes; only the question's sound has played.
    answer = false;
    window->tbTorol->click();
    EXPECT_EQ(Played(), QStringList{"onQuery"});
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].kind, MessageBoxKind::Question);
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Megerősítés"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Valóban töröljem a ") + files[2] + QStringLiteral(" file-t?"));
    EXPECT_TRUE(QFile::exists(files[2]));
    EXPECT_EQ(SavedRecentFiles(*window), files);
    EXPECT_EQ(FileTheDeleteButtonNames(*window), files[2]);

    // Yes: position 2 of 4 goes, the first file comes on show.
    answer = true;
    boxes.clear();
    ForgetSounds();
    window->tbTorol->click();
    EXPECT_EQ(Played(), (QStringList{"onQuery", "onDelete"}));
    EXPECT_EQ(RecentFileNames(*window), (QStringList{"a.vicc", "b.vicc", "d.vicc"}));
    EXPECT_FALSE(QFile::exists(files[2]));
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[1].kind, MessageBoxKind::Information);
    EXPECT_EQ(boxes[1].caption, QStringLiteral("Üzenet"));
    EXPECT_EQ(boxes[1].text, QStringLiteral("Kár érte..."));
    EXPECT_EQ(boxes[1].playedBefore, QStringList{"onQuery"}); // "onDelete" follows the notice
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("a.vicc"));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{files[0], files[1], files[3]}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), files[0]);
}

TEST_F(DesktopTest, DeletingTheOnlyFileLeavesItsJokesOnShow)
{
    const QString only = Jokes("egyetlen.vicc", 3);
    window->OpenJokeFile(only, true);
    ASSERT_EQ(SavedRecentFiles(*window), QStringList{only});
    window->tbTorol->click();
    EXPECT_FALSE(QFile::exists(only));
    EXPECT_TRUE(SavedRecentFiles(*window).isEmpty());
    EXPECT_TRUE(window->RecentFileItems().isEmpty());
    EXPECT_EQ(window->sbxMain->JokeCount(), 3);
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("egyetlen.vicc"));

    // Nothing listed any more: the index error for position 0, before any
    // question.
    boxes.clear();
    ForgetSounds();
    window->tbTorol->click();
    EXPECT_EQ(Played(), QStringList{"onQuery"});
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(errors, QStringList{QStringLiteral("List index out of bounds (0)")});
}

TEST_F(DesktopTest, AFileThatWillNotGoChangesNothing)
{
    // A read-only folder keeps its files; the superuser ignores that, so
    // there the listed path is a folder, which no file deletion removes.
    QDir(tmp.path()).mkdir(QStringLiteral("ro"));
    const QString folder = tmp.filePath(QStringLiteral("ro"));
    const QString kept = Jokes("ro/marad.vicc", 2);
    const QString other = Jokes("masik.vicc", 2);
    QString stuck = kept;
    if (geteuid() == 0) {
        stuck = tmp.filePath(QStringLiteral("ro/mappa.vicc"));
        QDir().mkdir(stuck);
    }
    chmod(folder.toLocal8Bit().constData(), 0555);
    window->OpenJokeFile(kept, true);
    ListInSettings({other, stuck}, 1);
    errors.clear();
    const int jokes = window->sbxMain->JokeCount();

    window->tbTorol->click();
    chmod(folder.toLocal8Bit().constData(), 0755);

    EXPECT_TRUE(QFileInfo::exists(stuck));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Unable to delete ") + stuck + QStringLiteral(": ")))
        << errors[0].toStdString();
    EXPECT_GT(errors[0].size(), (QStringLiteral("Unable to delete ") + stuck + QStringLiteral(": .")).size());
    ASSERT_EQ(boxes.size(), 1); // the question only: no "Kár érte..."
    EXPECT_FALSE(Played().contains("onDelete"));
    EXPECT_EQ(window->sbxMain->JokeCount(), jokes);
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{other, stuck}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), stuck);
}

TEST_F(DesktopTest, AFileAlreadyGoneLeavesTheList)
{
    const QString gone = Jokes("eltunt.vicc", 2);
    const QString next = Jokes("kovetkezo.vicc", 4);
    ListInSettings({gone, next}, 0);
    QFile::remove(gone);
    window->tbTorol->click();
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(SavedRecentFiles(*window), QStringList{next});
    EXPECT_EQ(window->sbxMain->JokeCount(), 4);
}

TEST_F(DesktopTest, EscAndTheTrayMenuRoundTrip)
{
    window->OpenJokeFile(Jokes("tarsasag.vicc", 40), true);
    window->sbxMain->SetScrollPosition(300);
    ForgetSounds();
    for (int trip = 0; trip < 3; ++trip) {
        QTest::keyClick(window.get(), Qt::Key_A); // other keys do nothing
        EXPECT_TRUE(window->isVisible());
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(tray.iconShown);
        EXPECT_TRUE(window->trIcon->Active());
        EXPECT_EQ(tray.taskbar.last(), false);
        QTest::keyClick(window.get(), Qt::Key_Escape); // hidden: nothing more
        EXPECT_EQ(tray.requests.count(QStringLiteral("add:")), trip + 1);

        // Right button on the icon: the tray menu at the pointer.
        tray.pointer = QPoint(200 + trip, 150);
        window->trIcon->HandleNotification(TDskTrayMouse::RightDown);
        ASSERT_TRUE(window->pmTray->isVisible());
        EXPECT_EQ(window->pmTray->pos(), tray.pointer);
        window->pmTray->hide();
        window->Naptrprogrammegnyits1->trigger();
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(tray.iconShown);
        EXPECT_EQ(tray.taskbar.last(), true);
    }
    // One "onSysTray" per trip; coming back plays nothing of its own.
    EXPECT_EQ(Played(), (QStringList{"onSysTray", "onSysTray", "onSysTray"}));
    // The same file and place as before.
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("tarsasag.vicc"));
    EXPECT_EQ(window->sbxMain->ScrollPosition(), 300);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DesktopTest, WithoutNotificationAreaTheWindowIsMinimisedInstead)
{
    // The window as the program makes it, on a desktop without a
    // notification area from the start (no fake shell swapped in).
    window.reset();
    ForgetSounds();
    window = std::make_unique<Tfrm_Main>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_FALSE(window->trIcon->Shell().HasNotificationArea());
    const std::vector<std::pair<const char *, std::function<void()>>> ways = {
        {"tray button", [&] { window->tbSysTray->click(); }},
        {"Esc", [&] { QTest::keyClick(window.get(), Qt::Key_Escape); }},
        {"the window manager's minimise", [&] { window->showMinimized(); }},
    };
    for (const auto &[name, putAway] : ways) {
        putAway();
        // The queued work of the minimise has run: the window is still there.
        ASSERT_TRUE(RunQueuedWork());
        EXPECT_TRUE(window->isVisible()) << name;
        EXPECT_TRUE(window->isMinimized()) << name;
        EXPECT_FALSE(window->trIcon->Active()) << name;
        window->showNormal();
        ASSERT_TRUE(RunQueuedWork());
    }
    EXPECT_EQ(Played(), (QStringList{"onLoad", "onSysTray", "onSysTray"}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(DesktopTest, TrayMenuItemsShowTheirImages)
{
    const QList<QAction *> items = {window->Naptrprogrammegnyits1, window->Programbezrsa1};
    const int images[] = {0, 9};
    for (int k = 0; k < 2; ++k) {
        const QImage shown = items[k]->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shown, ToolbarImage(images[k]).pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32))
            << items[k]->text().toStdString();
    }
    // And the menu draws them: the item rows hold the images' colours.
    window->pmTray->popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window->pmTray));
    const QImage menu = window->pmTray->grab().toImage();
    for (int k = 0; k < 2; ++k) {
        const QRect row = window->pmTray->actionGeometry(items[k]);
        const QRgb key = MainColour(ToolbarImage(images[k]).pixmap(16, 16).toImage());
        bool found = false;
        for (int x = row.left(); x < row.left() + 40 && !found; ++x)
            for (int y = row.top(); y <= row.bottom() && !found; ++y)
                found = menu.pixel(x, y) == key;
        EXPECT_TRUE(found) << items[k]->text().toStdString();
    }
    window->pmTray->hide();
}

TEST_F(DesktopTest, ClosingFromTheTraySavesTheLastBoundsAndRemovesTheIcon)
{
    window->SetBounds(40, 50, 640, 470);
    const QList<int> bounds{window->BoundsLeft(), window->BoundsTop(), window->width(), window->height()};
    window->tbSysTray->click();
    ASSERT_TRUE(tray.iconShown);
    ForgetSounds();
    window->Programbezrsa1->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Played(), QStringList{"onClose"});
    const SettingsValues saved = SettingsFile(window->SettingsPath).LoadSettings(QString(), 1, 1);
    EXPECT_EQ((QList<int>{saved.Left, saved.Top, saved.Width, saved.Height}), bounds);
    window.reset(); // the program ends with its window
    EXPECT_FALSE(tray.iconShown);
}

TEST_F(DesktopTest, LinksOpenTheMakersAddresses)
{
    FakeXdgOpen opener;
    ForgetSounds();
    const QString home = QString::fromLatin1(Maker::HomePage);
    window->tbHonlap->click();
    window->tbLevel->click();
    window->tbRegisztral->click();
    window->mniViccForras->trigger();
    const QList<QStringList> expected{
        {home},
        {QStringLiteral("mailto:") + QString::fromLatin1(Maker::MailAddress)},
        {home + QStringLiteral("/programok/tarkalo.htm")},
        {home + QStringLiteral("/programok/tarkalo.htm")},
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return opener.Calls().size() == 4; }, 30000));
    // Started one after another, each as one argument.
    QList<QStringList> calls = opener.Calls();
    std::sort(calls.begin(), calls.end());
    QList<QStringList> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(calls, sorted);
    EXPECT_EQ(Played(), QStringList{"onMenuClick"}); // the download item only
    EXPECT_TRUE(errors.isEmpty());
}
