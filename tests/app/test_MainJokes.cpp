#include "app/JokeView.h"
#include "app/Main.h"
#include "app/ViccPanel.h"
#include "components/DskTrayIcon.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "support/FakeTrayShell.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowProbes.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

const QString Games = QStringLiteral("/usr/share/games/fortunes");

class MainJokesTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Start();
    }
    void BeforeShow(Tfrm_Main &w) override { w.trIcon->SetShell(std::make_unique<FakeTrayShell>(tray)); }
    QString File(const QString &name, const QByteArray &bytes) { return WriteBytes(tmp.filePath(name), bytes); }
    // Sends a drag of urls over the window and drops it; true when the
    // window took the drag.
    bool Drop(const QList<QUrl> &urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        return true;
    }
    QStringList Messages() const { return tray.messages; }

    TrayShellLog tray;
};

TEST_F(MainJokesTest, AFortuneFileAndAFolderOfThem)
{
    window->OpenJokeFile(Games + "/fortunes", true);
    ASSERT_EQ(window->sbxMain->JokeCount(), 431);
    EXPECT_EQ(PanelOf(0)->Szerzo(), "*** fortunes");
    EXPECT_EQ(PanelOf(0)->Alja(), "#1");
    EXPECT_EQ(PanelOf(430)->Alja(), "#431");
    EXPECT_EQ(window->dfxnev->text(), "fortunes");
    EXPECT_EQ(window->StatusText(0), "fortunes");

    window->OpenJokeFile(Games, true);
    const TJokeCollection all = ReadJokeCollection(Games);
    ASSERT_EQ(window->sbxMain->JokeCount(), int(all.Jokes.size()));
    EXPECT_EQ(window->sbxMain->ScrollRange(), all.ScrollRange);
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{Games, Games + "/fortunes"}));
    EXPECT_EQ(window->RecentFileItems().front()->text(), "fortunes");
    // The last panel, far down, shows where its text came from and the
    // colours of the scheme in force.
    window->ApplyColorScheme(2);
    TViccPanel *last = PanelOf(window->sbxMain->JokeCount() - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Szerzo(), all.Jokes.back().heading);
    EXPECT_TRUE(last->Szerzo().startsWith("*** de/"));
    EXPECT_EQ(last->ColorHead(), PanelLookOfScheme(2).headStrip);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(MainJokesTest, AFolderOnTheCommandLineComesBackAsARecentFile)
{
    window.reset();
    Start(Games + "/de");
    const int count = window->sbxMain->JokeCount();
    EXPECT_GT(count, 10000);
    EXPECT_EQ(window->dfxnev->text(), "de");
    window->close();
    window.reset();
    Start();
    EXPECT_EQ(window->LastOpenedFile, Games + "/de");
    EXPECT_EQ(window->sbxMain->JokeCount(), count);
}

// A fortune text's ">>" line is text: it is drawn where a joke file would
// look for a picture and draw nothing.
TEST_F(MainJokesTest, MarkersOfJokeFilesAreTextInAFortune)
{
    const auto inkOfFirstLine = [this](const QString &path) {
        window->OpenJokeFile(path, true);
        TViccPanel *panel = PanelOf(0);
        const QImage image = panel->grab().toImage();
        int ink = 0;
        for (int y = 30; y < 45; ++y)
            for (int x = 6; x < panel->width() - 6; ++x)
                ink += qGray(image.pixel(x, y)) < 100;
        return ink;
    };
    EXPECT_GT(inkOfFirstLine(File("tassen", ">>Habt Ihr noch alle Tassen im Schrank?\n%\n")), 20);
    EXPECT_EQ(inkOfFirstLine(File("tassen.vicc", ">>Habt Ihr noch alle Tassen im Schrank?\n<<\n")), 0);
}

TEST_F(MainJokesTest, DroppedFilesAndFolders)
{
    const QString fortunes = File("harom", "egy\n%\nketto\n%\nharom\n");
    EXPECT_FALSE(Drop({QUrl(QStringLiteral("https://example.org/fortunes"))}));
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(tmp.filePath("nincs"))}));
    EXPECT_TRUE(window->RecentFileItems().isEmpty());

    EXPECT_TRUE(Drop({QUrl(QStringLiteral("https://example.org/x")), QUrl::fromLocalFile(fortunes)}));
    EXPECT_EQ(window->sbxMain->JokeCount(), 3);
    EXPECT_EQ(SavedRecentFiles(*window), QStringList{fortunes});
    EXPECT_EQ(RecentFileNames(*window), QStringList{"harom"});

    EXPECT_TRUE(Drop({QUrl::fromLocalFile(Games + "/")}));
    EXPECT_EQ(window->LastOpenedFile, Games);
    EXPECT_EQ(window->dfxnev->text(), "fortunes");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(MainJokesTest, TheDeleteButtonNeverRemovesAFolder)
{
    const QString folder = tmp.filePath("gyujtemeny");
    QDir().mkpath(folder);
    WriteBytes(folder + "/viccek", "Egy.\n%\n");
    window->OpenJokeFile(folder, true);
    ASSERT_EQ(window->sbxMain->JokeCount(), 1);
    QStringList asked;
    const MessageBoxSink previous = SetMessageBoxSink([&](MessageBoxKind, const QString &, const QString &text) {
        asked << text;
        return true;
    });
    RunGuarded([&] { window->tbTorolClick(); });
    SetMessageBoxSink(previous);
    EXPECT_EQ(asked.size(), 1);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith("Unable to delete")) << errors.front().toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + "/viccek"));
    EXPECT_EQ(window->sbxMain->JokeCount(), 1);
    EXPECT_EQ(SavedRecentFiles(*window), QStringList{folder});
}

TEST_F(MainJokesTest, TheOpenDialogOffersFortuneFiles)
{
    const QString fortunes = File("fortunes", "Egy.\n%\nKettő.\n%\n");
    QStringList filters;
    QStringList suffixes; // the default suffix after each change of filter
    QTimer::singleShot(0, [&] {
        QFileDialog *od = window->odMain;
        ASSERT_NE(od, nullptr);
        filters = od->nameFilters();
        auto *types = od->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        // The user picks the second filter with the keyboard, then the first
        // one and the second one again.
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_EQ(types->currentIndex(), 1);
        suffixes << od->defaultSuffix();
        emit od->filterSelected(od->nameFilters().front());
        suffixes << od->defaultSuffix();
        emit od->filterSelected(od->nameFilters().back());
        suffixes << od->defaultSuffix();
        if (QWidget *focus = od->focusWidget())
            focus->clearFocus();
        od->setDirectory(tmp.path());
        od->selectFile(QStringLiteral("fortunes"));
        QMetaObject::invokeMethod(od, "accept");
    });
    window->mnuViccNyit->trigger();
    EXPECT_EQ(filters, (QStringList{"Vicc file-ok (*.vicc)", "Fortune file-ok (*)"}));
    EXPECT_EQ(suffixes, (QStringList{"", "vicc", ""}));
    // The name is taken as typed, without ".vicc" added.
    EXPECT_EQ(window->LastOpenedFile, fortunes);
    EXPECT_EQ(window->sbxMain->JokeCount(), 2);
}

TEST_F(MainJokesTest, TheJokeOfTheDayComesFromTheTray)
{
    const QList<QAction *> items = window->pmTray->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], window->Naptrprogrammegnyits1);
    EXPECT_EQ(items[1], window->Programbezrsa1);
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), "Mesélj egy viccet!");

    // Nothing to tell: the entry is off, and a click tells nothing.
    window->tbSysTrayClick();
    emit window->pmTray->aboutToShow();
    EXPECT_FALSE(window->mniNapVicce->isEnabled());
    window->mniNapVicce->trigger();
    EXPECT_TRUE(Messages().isEmpty());
    window->Naptrprogrammegnyits1Click();

    window->OpenJokeFile(File("harom", "Egy.\n%\nKettő\nsor.\n%\n>>Három.\n%\n"), true);
    window->tbSysTrayClick();
    emit window->pmTray->aboutToShow();
    EXPECT_TRUE(window->mniNapVicce->isEnabled());
    const QSet<QString> texts{"A nap vicce|Egy.", "A nap vicce|Kettő\nsor.", "A nap vicce|>>Három."};
    for (int click = 0; click < 60; ++click)
        window->mniNapVicce->trigger();
    const QStringList told = Messages();
    ASSERT_EQ(told.size(), 60) << "one message a click";
    for (const QString &message : told)
        EXPECT_TRUE(texts.contains(message)) << message.toStdString();
    EXPECT_EQ(QSet<QString>(told.begin(), told.end()), texts);

    // Back on screen the icon is gone, and so is the way to a message.
    window->Naptrprogrammegnyits1Click();
    window->mniNapVicce->trigger();
    EXPECT_EQ(Messages().size(), 60);
}

TEST_F(MainJokesTest, TheJokeOfTheDayLeavesPicturesOutAndStaysShort)
{
    WriteJpeg(tmp.filePath("kep.jpg"), 20, 20);
    window->OpenJokeFile(File("kep.vicc", "##Cím\nSzöveg\n>>kep.jpg\n<<\n"), true);
    window->tbSysTrayClick();
    window->mniNapVicce->trigger();
    window->OpenJokeFile(File("hosszu", QByteArray(5000, 'x') + "\n%\n"), true);
    window->mniNapVicce->trigger();
    ASSERT_EQ(Messages().size(), 2);
    EXPECT_EQ(Messages()[0], "A nap vicce|Szöveg");
    EXPECT_EQ(Messages()[1], "A nap vicce|" + QString(999, u'x') + u'…');
}

} // namespace
