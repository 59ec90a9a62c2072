// The main window's settings, sounds, collections menu and colour schemes,
// driven through its buttons, menus and dialog.
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/Maker.h"
#include "platform/AppError.h"
#include "platform/Paths.h"
#include "platform/ProfileFile.h"

#include "support/MainWindowFixture.h"
#include "support/MainWindowProbes.h"
#include "support/NoFileOverride.h"
#include "support/QtPrinters.h"
#include "support/QueuedWork.h"
#include "support/TestFiles.h"
#include "support/TestSounds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QString IniPath()
{
    return TestConfigHome() + "/Zumoria/Zumoria.ini";
}

void WriteIni(const QByteArray &bytes)
{
    QDir().mkpath(TestConfigHome() + "/Zumoria");
    WriteBytes(IniPath(), bytes);
}

// The colour of a pixel well inside a widget, as 0x00BBGGRR.
unsigned ColourAt(QWidget *w, int x, int y)
{
    return PixelValue(w->grab().toImage(), x, y);
}

class MainMenusTest : public MainWindowFixture
{
protected:
    QString Joke(const QString &name)
    {
        return WriteJokeFile(tmp.filePath(name), {name + " első sora", "<<", "második vicc", "<<"});
    }
    QStringList Captions() const
    {
        QStringList captions;
        for (QAction *a : window->mnuKategoria->actions())
            captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return captions;
    }
    // Runs the open dialog, which answers with path (or is cancelled when
    // path is empty); returns the file the dialog had selected on opening.
    QString ChooseInDialog(const QString &path)
    {
        QString selectedAtStart;
        QTimer::singleShot(0, [&] {
            QFileDialog *od = window->odMain;
            selectedAtStart = od->selectedFiles().value(0);
            if (path.isEmpty()) {
                od->reject();
            } else {
                // The name field gives up the focus, or selectFile would
                // leave its text alone as if the user were typing.
                if (QWidget *focus = od->focusWidget())
                    focus->clearFocus();
                od->selectFile(path);
                QMetaObject::invokeMethod(od, "accept");

            }
        });
        window->tbKategoria->click();
        return selectedAtStart;
    }
    QStringList Played() const { return TestSoundLog().played(); }
};

const QStringList FixedItems = {"Viccek letöltése Internetről", "Vicc megnyitás", "Bezár", "-"};

} // namespace

TEST_F(MainMenusTest, EachActionPlaysItsSoundFirst)
{
    Start();
    EXPECT_EQ(Played(), QStringList{"onLoad"});

    int schemeAtSound = 0;
    TestSoundLog().onOpen = [&](const QString &) { schemeAtSound = window->SchemeNumber; };
    window->mniNaplemente->trigger();
    EXPECT_EQ(schemeAtSound, 1); // the sound comes before the scheme
    EXPECT_EQ(window->SchemeNumber, 3);
    window->tbSzinek->click();   // the face of the colour button: scheme 1
    EXPECT_EQ(schemeAtSound, 3);
    EXPECT_EQ(window->SchemeNumber, 1);
    TestSoundLog().onOpen = nullptr;

    emit window->pmSzinek->aboutToShow();
    emit window->mnuKategoria->aboutToShow();
    window->tbHangok->click(); // off: silent
    EXPECT_FALSE(window->SoundSetting);
    window->mniViragos->trigger();
    window->tbHangok->click(); // on: heard
    EXPECT_TRUE(window->SoundSetting);
    window->close();
    EXPECT_EQ(Played(), (QStringList{"onLoad", "onMenuClick", "onMenuClick", "onPopup", "onPopup",
                                     "onSound", "onClose"}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
    // Each sound stopped the one before it.
    EXPECT_EQ(TestSoundLog().calls.count("close"), 6);
}

TEST_F(MainMenusTest, SoundsOffOpenNothingEvenWithoutTheSoundFolder)
{
    WriteIni("[Defaults]\nSound=0\n");
    Start();
    window->SoundFolder = tmp.filePath("nowhere");
    EXPECT_FALSE(window->tbHangok->isChecked());
    window->mniEgszinkek->trigger();
    emit window->mnuKategoria->aboutToShow();
    window->close();
    EXPECT_TRUE(TestSoundLog().calls.isEmpty());
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(ProfileFile(IniPath()).ReadInteger("Screen", "Color", 0), 2);
}

TEST_F(MainMenusTest, UnplayableSoundsAreShownAndTheActionGoesOn)
{
    Start();
    QDir().mkpath(tmp.filePath("Hangok"));
    WriteBytes(tmp.filePath("Hangok/onMenuClick.wav"), "this is not a wave file");
    window->SoundFolder = tmp.filePath("Hangok");

    window->mniViragos->trigger(); // not a sound: the scheme is applied all the same
    EXPECT_EQ(window->SchemeNumber, 4);
    window->tbHangok->click();     // off: silent, stored
    window->tbHangok->click();     // on: "onSound" is missing, the switch is stored anyway
    EXPECT_TRUE(window->SoundSetting);
    window->close();               // "onClose" is missing: saved and closed all the same
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ProfileFile(IniPath()).ReadInteger("Screen", "Color", 0), 4);

    ASSERT_EQ(errors.size(), 3);
    EXPECT_TRUE(errors[0].startsWith("Not a sound file: " + tmp.filePath("Hangok/onMenuClick.wav")));
    EXPECT_EQ(errors[1], "Sound file not found: " + tmp.filePath("Hangok/onSound.wav") + ".");
    EXPECT_EQ(errors[2], "Sound file not found: " + tmp.filePath("Hangok/onClose.wav") + ".");
}

TEST_F(MainMenusTest, NoSoundDeviceIsSaidOnceAfterTheWindowIsOnScreen)
{
    TestSoundLog().noDevice = true;
    QList<bool> onScreen; // whether the window was on screen at each box
    SetErrorBoxSink([&](const QString &text) {
        errors << text;
        onScreen << (window->windowHandle() && window->windowHandle()->isExposed());
    });
    Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 5000));
    EXPECT_EQ(onScreen, QList<bool>{true});

    // Every other action stays silent, and does what it does.
    window->mniViragos->trigger();
    window->tbSzinek->click();
    window->mnuKategoriaPopup();
    window->tbSysTray->click();
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_EQ(window->SchemeNumber, 1);
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(errors.size(), 1);
    window->showNormal();

    // Using the sound switch looks for the device again: switching off is
    // silent, switching on says it once more.
    window->tbHangok->click();
    EXPECT_EQ(errors.size(), 1);
    window->tbHangok->click();
    EXPECT_EQ(errors.size(), 2);
    EXPECT_TRUE(window->SoundSetting);

    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(QFile::exists(IniPath()));
    EXPECT_EQ(errors, (QStringList{"No sound device is available (test)",
                                   "No sound device is available (test)"}));
    EXPECT_TRUE(TestSoundLog().calls.isEmpty());
}

TEST_F(MainMenusTest, AMissingSoundFileIsSaidEveryTime)
{
    // Unlike a missing device, a missing file is that sound's own fault.
    QTemporaryDir empty;
    Start();
    window->SoundFolder = empty.path();
    window->mniViragos->trigger();
    window->mniAlapertek->trigger();
    EXPECT_EQ(errors, (QStringList{"Sound file not found: " + empty.path() + "/onMenuClick.wav.",
                                   "Sound file not found: " + empty.path() + "/onMenuClick.wav."}));
}

TEST_F(MainMenusTest, StartBoundsFromTheFile)
{
    // A width below the minimum is refused, the height still applies.
    WriteIni("[Screen]\nLeft=20\nTop=30\nWidth=400\nHeight=600\n");
    Start();
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_EQ(window->size(), QSize(522, 600));
    EXPECT_EQ(window->pos(), QPoint(20, 30));
    window.reset();

    // Absurd bounds: the window opens on the screen, no larger than it; the
    // file keeps its values until the close writes the real ones.
    const QByteArray absurd = "[Screen]\nLeft=50000\nTop=-40000\nWidth=100000\nHeight=100000\n";
    WriteIni(absurd);
    Start();
    ASSERT_TRUE(RunQueuedWork());
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->frameGeometry().width();
    EXPECT_EQ(ReadAll(IniPath()), absurd);
    const QRect shown(window->pos(), window->size());
    window->close();
    ProfileFile saved(IniPath());
    EXPECT_EQ(QRect(saved.ReadInteger("Screen", "Left", 0), saved.ReadInteger("Screen", "Top", 0),
                    saved.ReadInteger("Screen", "Width", 0), saved.ReadInteger("Screen", "Height", 0)),
              shown);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainMenusTest, UnwritableSettingsAreShownAndTheWindowStillCloses)
{
    // A plain file stands where the settings folder should be.
    WriteBytes(TestConfigHome() + "/Zumoria", "in the way");
    Start();
    window->Bezr1->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Played(), (QStringList{"onLoad", "onClose"}));
    EXPECT_EQ(errors, QStringList{"Unable to write to " + IniPath() + "."});
}

// A settings file the user cannot read, or has made read-only, is kept as
// it is at close (its folder would allow a rename over it); the close says
// so and the window still closes.
TEST_F(MainMenusTest, SettingsFileThatCannotBeReadOrWrittenIsKeptAtClose)
{
    const QByteArray original = "[File]\nFile0=/a/elso.vicc\nFile1=/a/masodik.vicc\n[Screen]\nColor=3\n"
                                "[Defaults]\nSound=0\nSajat=kulcs\n";
    for (const mode_t mode : {mode_t(0200), mode_t(0444)}) {
        errors.clear();
        WriteIni(original);
        ASSERT_EQ(::chmod(QFile::encodeName(IniPath()).constData(), mode), 0);
        {
            const NoFileOverride plainUser;
            Start();
            window->Bezr1->trigger();
            EXPECT_FALSE(window->isVisible());
            window.reset();
        }
        ::chmod(QFile::encodeName(IniPath()).constData(), 0644);
        EXPECT_EQ(ReadAll(IniPath()), original) << std::oct << mode;
        EXPECT_EQ(errors, QStringList{"Unable to write to " + IniPath() + "."}) << std::oct << mode;
        QFile::remove(IniPath());
    }
}

TEST_F(MainMenusTest, CollectionsMenuFollowsTheRecentFilesList)
{
    // Empty list: only the fixed items.
    Start();
    EXPECT_EQ(Captions(), FixedItems);
    window.reset();

    const QStringList files = {Joke("a.vicc"), Joke("b&c.vicc"), Joke("c.vicc"), Joke("d.vicc")};
    const QString fifth = Joke("e.vicc");
    WriteIni("[File]\nFile0=" + files[0].toUtf8() + "\nFile1=" + files[1].toUtf8() + "\nFile2="
             + files[2].toUtf8() + "\nFile3=" + files[3].toUtf8() + "\n");
    Start();
    EXPECT_EQ(Captions(), (FixedItems + QStringList{"a.vicc", "b&&c.vicc", "c.vicc", "d.vicc"}));
    EXPECT_EQ(window->RecentFileItems()[1]->statusTip(), "b&c.vicc"); // the hint, name part only
    EXPECT_EQ(window->dfxnev->text(), "a.vicc");                      // entry at index 0 opened
    TestSoundLog() = SoundLog();

    // A listed file opened through the dialog: nothing moves.
    EXPECT_EQ(ChooseInDialog(files[3]), files[0]); // the dialog starts on the file opened last
    EXPECT_EQ(FileTheDeleteButtonNames(*window), files[3]);
    EXPECT_EQ(window->dfxnev->text(), "d.vicc");
    EXPECT_EQ(Captions(), (FixedItems + QStringList{"a.vicc", "b&&c.vicc", "c.vicc", "d.vicc"}));

    // A fifth file heads the list; the oldest entry goes.
    EXPECT_EQ(ChooseInDialog(fifth), files[3]);
    EXPECT_EQ(Captions(), (FixedItems + QStringList{"e.vicc", "a.vicc", "b&&c.vicc", "c.vicc"}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), fifth);

    // Cancelling changes nothing.
    ChooseInDialog(QString());
    EXPECT_EQ(window->dfxnev->text(), "e.vicc");
    EXPECT_EQ(FileTheDeleteButtonNames(*window), fifth);

    // A recent item opens its own file.
    window->RecentFileItems()[2]->trigger();
    EXPECT_EQ(FileTheDeleteButtonNames(*window), files[1]);
    EXPECT_EQ(window->dfxnev->text(), "b&c.vicc");

    // A vanished file: the index moves, the jokes on show stay, no message.
    QFile::remove(files[2]);
    window->RecentFileItems()[3]->trigger();
    EXPECT_EQ(FileTheDeleteButtonNames(*window), files[2]);
    EXPECT_EQ(window->dfxnev->text(), "b&c.vicc");
    EXPECT_EQ(window->sbxMain->JokeCount(), 2);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_TRUE(Played().isEmpty()) << Played().join(' ').toStdString(); // opening plays nothing
}

TEST_F(MainMenusTest, ReloadReadsTheFileAndRemovesThePanels)
{
    const QString a = Joke("a.vicc");
    WriteIni("[File]\nFile0=" + a.toUtf8() + "\n");
    Start();
    EXPECT_EQ(window->sbxMain->JokeCount(), 2);
    window->OpenJokeFile(Joke("b.vicc"), true);
    EXPECT_EQ(window->RecentFileItems().size(), 2);
    window->ReloadCollectionsMenu(); // the file still holds the list of the start
    EXPECT_EQ(Captions(), FixedItems + QStringList{"a.vicc"});
    EXPECT_EQ(window->sbxMain->JokeCount(), 0);
    EXPECT_EQ(SavedRecentFiles(*window), QStringList{a});
}

TEST_F(MainMenusTest, SchemeMenuItemsAndTheirLook)
{
    Start();
    struct Item { QAction *action; QString caption; QKeySequence key; int scheme; };
    const Item items[] = {
        {window->mniAlapertek, "Alapérték           ", QKeySequence("Alt+F"), 1},
        {window->mniEgszinkek, "Égszínkék", QKeySequence("Alt+E"), 2},
        {window->mniNaplemente, "Naplemente", QKeySequence("Alt+P"), 3},
        {window->mniViragos, "Virágos rét", QKeySequence("Alt+S"), 4},
    };
    const unsigned coolBar[] = {0, 0x008080FF, 0x00FF8000, 0x006767B4, 0x00008000};
    const unsigned jokeView[] = {0, 0x00CACAFF, 0x00FFCCCC, 0x000080FF, 0x00C4FFFF};
    const unsigned titleStrip[] = {0, 0x00C4FFFF, 0x00FFFFFF, 0x00A4D1FF, 0x0080FF80};
    EXPECT_EQ(window->pmSzinek->actions().size(), 4);
    for (const Item &item : items) {
        EXPECT_EQ(item.action->text(), item.caption);
        EXPECT_EQ(item.action->shortcut(), item.key);
        item.action->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(window->SchemeNumber, item.scheme);
        // Right end of the cool bar (behind no button), middle of the title
        // strip's bevel-free inside left of the label text, and the empty view.
        EXPECT_EQ(ColourAt(window->Panel1, window->Panel1->width() - 4, 14), coolBar[item.scheme]);
        EXPECT_EQ(ColourAt(window->Panel2, 4, 12), titleStrip[item.scheme]);
        EXPECT_EQ(ColourAt(window->sbxMain, 20, 20), jokeView[item.scheme]);
    }
}

TEST_F(MainMenusTest, TwoRunsOverOneSettingsFolderRememberTheState)
{
    const QString jokes = Joke("kedvenc.vicc");
    Start(jokes);
    window->mniViragos->trigger();
    window->tbHangok->click(); // sounds off
    window->SetBounds(40, 50, 640, 480);
    window->close();
    window.reset();

    TestSoundLog() = SoundLog();
    Start(); // no argument: the file at the current index comes back
    EXPECT_EQ(window->SchemeNumber, 4);
    EXPECT_EQ(ColourAt(window->Panel1, window->Panel1->width() - 4, 14), 0x00008000u);
    EXPECT_FALSE(window->tbHangok->isChecked());
    EXPECT_TRUE(TestSoundLog().calls.isEmpty()); // no "onLoad" with sounds off
    EXPECT_EQ(window->pos(), QPoint(40, 50));
    EXPECT_EQ(window->size(), QSize(640, 480));
    EXPECT_EQ(window->dfxnev->text(), "kedvenc.vicc");
    EXPECT_EQ(Captions(), FixedItems + QStringList{"kedvenc.vicc"});
    EXPECT_EQ(window->PathSetting, ProgramFolder() + "/Viccek");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainMenusTest, HighlightedMenuItemsShowTheirHintInStatusPanelOne)
{
    const QString a = Joke("a.vicc");
    WriteIni("[File]\nFile0=" + a.toUtf8() + "\n");
    Start();
    QStringList hints;
    QTimer::singleShot(0, [&] {
        QMenu *menu = window->mnuKategoria;
        menu->setActiveAction(window->RecentFileItems().front());
        hints << window->StatusText(1);
        menu->setActiveAction(window->mniViccForras);
        hints << window->StatusText(1);
        menu->close();
    });
    window->tbKategoria->showMenu(); // the arrow of the button drops the menu
    EXPECT_EQ(hints, (QStringList{"a.vicc", QString::fromLatin1(Maker::HomePage)
                                                + "/shared/letolt/kovirad/vicc/index.htm"}));
    EXPECT_EQ(Played(), (QStringList{"onLoad", "onPopup"}));
}
