// Reading a collection in the main window: the wheel and the reader's keys,
// the find bar, going to a joke, a joke at random, the place each collection
// was left at, wrapped lines and the keys of the window's own commands.
#include "app/FindBar.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/ReaderNavigation.h"
#include "app/ReadingPlaces.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"
#include "platform/ProfileFile.h"

#include "support/MainWindowFixture.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/TestSounds.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

QString IniPath()
{
    return TestConfigHome() + "/Zumoria/Zumoria.ini";
}

// A joke file of n jokes, every fifth with a heading, of two to six lines of
// ordinary words; planted[n] is put in the middle of the second line of
// joke n (numbered from 1, as the panels show them).
QString WriteCollection(const QString &path, int n, const QMap<int, QString> &planted = {}, int lines = 0)
{
    static const char *const words[] = {"a", "medve", "iszik", "kenyeret", "Móricka", "és", "az", "óvónő", "fut"};
    QStringList text;
    for (int k = 1; k <= n; ++k) {
        if (k % 5 == 0)
            text << QStringLiteral("##Cím %1").arg(k);
        const int count = lines > 0 ? lines : 2 + k % 5;
        for (int line = 0; line < count; ++line) {
            QString row = QStringLiteral("%1. sor:").arg(line + 1);
            for (int w = 0; w < 6 + (k + line) % 4; ++w)
                row += u' ' + QString::fromUtf8(words[(k * 7 + line * 3 + w) % 9]);
            if (line == 1 && planted.contains(k))
                row = QStringLiteral("Itt van: ") + planted[k] + QStringLiteral(" a közepén");
            text << row;
        }
        text << QStringLiteral("<<");
    }
    return WriteJokeFile(path, text);
}

// True when the character at column of a text line of the panel stands on
// the orange mark of the match the reader is at (looked at just above the
// letters, where no glyph reaches). fromColumn: the first character of the
// line's row.
bool CurrentMarkAt(TViccPanel *panel, int line, int column, int fromColumn = 0)
{
    const QFontMetrics metrics(panel->TextFont());
    const int x = 6 + metrics.horizontalAdvance(QString(column - fromColumn, u'x')) + 2;
    const int y = int(panel->RowTop(line, column)) + 1;
    return Near(panel->grab().toImage().pixel(x, y), QColor(255, 150, 50));
}

QWheelEvent Wheel(QPoint pixels, QPoint angle)
{
    return QWheelEvent(QPointF(50, 50), QPointF(50, 50), pixels, angle, Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
}

class ReaderTest : public MainWindowFixture
{
protected:
    // The window, shown and holding the keyboard.
    void Start(const QString &startFile = QString())
    {
        MainWindowFixture::Start(startFile);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    TJokeView *View() const { return window->sbxMain; }
    TFindBar *Bar() const { return window->Reader->pnlKereses; }
    // A modal dialog the window is about to open, answered by answer as
    // soon as it is there.
    template <class Dialog, class Answer>
    void WhenModal(Answer answer)
    {
        auto *poll = new QTimer(window.get());
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, [poll, answer] {
            if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
                poll->deleteLater();
                poll->stop();
                answer(dialog);
            }
        });
        poll->start();
    }
    // A key typed into the window, which has the keyboard again (a dialog
    // that just closed may have kept it on the offscreen platform).
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), key, modifiers);
    }
    void Type(const QString &text)
    {
        Bar()->edtKereses->selectAll();
        QTest::keyClicks(Bar()->edtKereses, text);
    }
    // True when joke k's panel stands wholly in view.
    bool InView(int k) const
    {
        TViccPanel *panel = View()->LivePanel(k);
        return panel && panel->isVisible() && panel->y() >= 0
               && panel->y() + std::min(panel->height(), 60) <= View()->ClientHeight();
    }
};

TEST_F(ReaderTest, TheWheelScrollsOverPanelsAndBackground)
{
    Start(WriteCollection(tmp.filePath("sok.vicc"), 300));
    struct Case
    {
        const char *name;
        bool overPanel;
        QPoint pixels, angle;
        int events;
        qint64 moved;
    };
    const Case cases[] = {
        {"a notch down over a panel", true, {}, {0, -120}, 1, 45},
        {"a notch up over the background", false, {}, {0, 120}, 1, -45},
        {"a touchpad's pixels", true, {0, -7}, {0, -60}, 1, 7},
        {"a fine wheel, an eighth of a notch at a time", true, {}, {0, -15}, 8, 45},
        {"a fine wheel, one eighth", true, {}, {0, -15}, 1, 5},
    };
    for (const Case &c : cases) {
        View()->SetScrollPosition(1000);
        for (int i = 0; i < c.events; ++i) {
            QWidget *target = c.overPanel ? static_cast<QWidget *>(View()->LivePanels().begin()->second)
                                          : View()->Viewport();
            QWheelEvent wheel = Wheel(c.pixels, c.angle);
            QApplication::sendEvent(target, &wheel);
        }
        EXPECT_EQ(View()->ScrollPosition(), 1000 + c.moved) << c.name;
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, TheReadersKeysMoveThroughTheCollection)
{
    Start(WriteCollection(tmp.filePath("sok.vicc"), 300));
    const qint64 page = View()->ClientHeight() - 45;
    const qint64 last = View()->MaxScrollPosition();
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        qint64 expected;
    };
    const Case cases[] = {
        {Qt::Key_Down, Qt::NoModifier, 2045},          {Qt::Key_Up, Qt::NoModifier, 1955},
        {Qt::Key_PageDown, Qt::NoModifier, 2000 + page}, {Qt::Key_PageUp, Qt::NoModifier, 2000 - page},
        {Qt::Key_Space, Qt::NoModifier, 2000 + page},  {Qt::Key_Space, Qt::ShiftModifier, 2000 - page},
        {Qt::Key_Home, Qt::NoModifier, 0},             {Qt::Key_End, Qt::NoModifier, last},
        {Qt::Key_Home, Qt::ControlModifier, 0},        {Qt::Key_End, Qt::ControlModifier, last},
    };
    // Before anything is clicked the window takes the keys; after a click
    // on the jokes, the view does.
    for (bool clicked : {false, true}) {
        if (clicked) {
            // As a click gives it (the test on the real program clicks).
            View()->setFocus(Qt::MouseFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), View());
        }
        QWidget *target = clicked ? static_cast<QWidget *>(View()) : window.get();
        for (const Case &c : cases) {
            View()->SetScrollPosition(2000);
            QTest::keyClick(target, c.key, c.modifiers);
            EXPECT_EQ(View()->ScrollPosition(), c.expected) << c.key << " clicked " << clicked;
        }
    }
    // Typing in the find field types: a space is a space there (and the
    // text is found nowhere, so the jokes stay).
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("zzq"));
    View()->SetScrollPosition(2000);
    QTest::keyClick(Bar()->edtKereses, Qt::Key_Space);
    EXPECT_EQ(Bar()->edtKereses->text(), "zzq ");
    EXPECT_EQ(View()->ScrollPosition(), 2000);
    // … but the keys it has no use for still move the jokes (a page of the
    // view made lower by the bar).
    QTest::keyClick(Bar()->edtKereses, Qt::Key_PageDown);
    EXPECT_EQ(View()->ScrollPosition(), 2000 + View()->ClientHeight() - 45);
    EXPECT_LT(View()->ClientHeight() - 45, page);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, TheFindBarBringsAPlantedWordIntoViewAndMarksIt)
{
    Start(WriteCollection(tmp.filePath("tizezer.vicc"), 10000, {{7777, QStringLiteral("Szörnyeteg")}}));
    ASSERT_EQ(View()->JokeCount(), 10000);
    EXPECT_TRUE(Bar()->isHidden());
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Bar()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), Bar()->edtKereses);
    // The bar stands under the view, above the status bar.
    EXPECT_EQ(Bar()->geometry().top(), window->Panel4->geometry().bottom() + 1);

    // Without accents ignored the letters must be the same ones.
    Type(QStringLiteral("szornyeteg"));
    EXPECT_EQ(Bar()->lblTalalat->text(), "Nincs találat");
    EXPECT_EQ(View()->ScrollPosition(), 0);
    EXPECT_NE(Bar()->edtKereses->palette().color(QPalette::Base), Bar()->palette().color(QPalette::Base));

    // Case does not count; each letter typed answers at once.
    Bar()->edtKereses->clear();
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("SZÖRNY"));
    EXPECT_EQ(Bar()->lblTalalat->text(), "1 / 1");
    EXPECT_TRUE(InView(7776));
    TViccPanel *panel = View()->LivePanel(7776);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->FoundText(), (std::vector<LineMatch>{{1, 9, 6}}));
    // The match the reader is at is marked in orange where its letters are.
    EXPECT_TRUE(CurrentMarkAt(panel, 1, 9));
    EXPECT_FALSE(CurrentMarkAt(panel, 1, 2));
    // Other panels in view carry no marks.
    for (const auto &[k, other] : View()->LivePanels())
        EXPECT_EQ(other->FoundText().empty(), k != 7776) << k;

    // A letter more that makes it a word found nowhere: said, and the view
    // stays.
    const qint64 at = View()->ScrollPosition();
    QTest::keyClick(Bar()->edtKereses, Qt::Key_X);
    EXPECT_EQ(Bar()->lblTalalat->text(), "Nincs találat");
    EXPECT_EQ(View()->ScrollPosition(), at);
    EXPECT_TRUE(panel->FoundText().empty());

    // Accents ignored: "szornyeteg" finds "Szörnyeteg", and the choice is
    // kept in the settings file.
    Bar()->cbEkezetek->click();
    View()->SetScrollPosition(0);
    Bar()->edtKereses->clear();
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("szornyeteg"));
    EXPECT_EQ(Bar()->lblTalalat->text(), "1 / 1");
    EXPECT_TRUE(InView(7776));

    // Esc closes the bar, not the window, and takes the marks away.
    QTest::keyClick(Bar()->edtKereses, Qt::Key_Escape);
    EXPECT_TRUE(Bar()->isHidden());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(View()->LivePanel(7776)->FoundText().empty());
    window->close();
    EXPECT_TRUE(ProfileFile(IniPath()).ReadBool("Reader", "FindIgnoresAccents", false));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('|').toStdString();
}

TEST_F(ReaderTest, NextAndPreviousGoRoundTheWholeCollection)
{
    Start(WriteCollection(tmp.filePath("tizezer.vicc"), 10000,
                          {{3, QStringLiteral("kalap")}, {7777, QStringLiteral("kalap, kalap")}, {9000, QStringLiteral("Kalap")}}));
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("kalap"));
    struct Step
    {
        std::function<void()> key;
        const char *count;
        int joke;
        int column;
    };
    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m, bool inField) {
        return [=, this] { QTest::keyClick(inField ? static_cast<QWidget *>(Bar()->edtKereses) : window.get(), k, m); };
    };
    const Step steps[] = {
        {[] {}, "1 / 4", 2, 9},
        {key(Qt::Key_Return, Qt::NoModifier, true), "2 / 4", 7776, 9},
        {key(Qt::Key_F3, Qt::NoModifier, false), "3 / 4", 7776, 16},
        {key(Qt::Key_F3, Qt::NoModifier, true), "4 / 4", 8999, 9},
        {key(Qt::Key_F3, Qt::NoModifier, false), "1 / 4", 2, 9},
        {key(Qt::Key_F3, Qt::ShiftModifier, false), "4 / 4", 8999, 9},
        {key(Qt::Key_Return, Qt::ShiftModifier, true), "3 / 4", 7776, 16},
        {[this] { Bar()->sbElozo->click(); }, "2 / 4", 7776, 9},
        {[this] { Bar()->sbKovetkezo->click(); }, "3 / 4", 7776, 16},
    };
    for (const Step &step : steps) {
        step.key();
        EXPECT_EQ(Bar()->lblTalalat->text(), step.count);
        EXPECT_TRUE(InView(step.joke)) << step.count;
        TViccPanel *panel = View()->LivePanel(step.joke);
        ASSERT_NE(panel, nullptr);
        // Both matches of #7777 are marked; the reader's is the orange one.
        EXPECT_TRUE(CurrentMarkAt(panel, 1, step.column)) << step.count;
        EXPECT_FALSE(CurrentMarkAt(panel, 1, 25 - step.column)) << step.count;
        EXPECT_EQ(panel->FoundText().size(), step.joke == 7776 ? 2u : 1u);
    }
    // Typing looks from the joke at the top on, going round at the end.
    View()->ShowJokeAtTop(8000);
    Type(QStringLiteral("kalap"));
    EXPECT_EQ(Bar()->lblTalalat->text(), "4 / 4");
    EXPECT_TRUE(InView(8999));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, TheBarCountsTheJokesOnShow)
{
    Start(WriteCollection(tmp.filePath("a.vicc"), 50, {{3, QStringLiteral("kalap")}}));
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("kalap"));
    EXPECT_EQ(Bar()->lblTalalat->text(), "1 / 1");
    // Another collection: its matches are counted and marked, the view
    // stays at its top; F3 goes to the first.
    window->OpenJokeFile(WriteCollection(tmp.filePath("b.vicc"), 50, {{5, "kalap"}, {9, "Kalap"}}), true);
    EXPECT_EQ(Bar()->lblTalalat->text(), "2 találat");
    EXPECT_EQ(View()->ScrollPosition(), 0);
    EXPECT_EQ(View()->LivePanel(4)->FoundText().size(), 1u);
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_EQ(Bar()->lblTalalat->text(), "1 / 2");
    // Jokes that go away under the bar leave nothing to find.
    View()->Clear();
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_EQ(Bar()->lblTalalat->text(), "Nincs találat");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, GoingToAJokeByItsNumber)
{
    Start(WriteCollection(tmp.filePath("tizezer.vicc"), 10000));
    const auto goTo = [this](int number) {
        QString label;
        WhenModal<QInputDialog>([&label, number](QInputDialog *dialog) {
            label = dialog->labelText();
            dialog->setIntValue(number);
            dialog->accept();
        });
        Key(Qt::Key_G, Qt::ControlModifier);
        return label;
    };
    EXPECT_EQ(goTo(7777), "Hányadik viccet mutassam? (1–10000)");
    EXPECT_EQ(View()->TopJoke(), 7776);
    EXPECT_EQ(View()->LivePanel(7776)->y(), 4);
    goTo(1);
    EXPECT_EQ(View()->ScrollPosition(), 0);
    // The last joke stands as low as the view lets it.
    goTo(10000);
    EXPECT_EQ(View()->ScrollPosition(), View()->MaxScrollPosition());
    // Cancelled: nothing moves.
    View()->ShowJokeAtTop(500);
    WhenModal<QInputDialog>([](QInputDialog *dialog) {
        dialog->setIntValue(3);
        dialog->reject();
    });
    window->Reader->mniUgras->trigger();
    EXPECT_EQ(View()->TopJoke(), 500);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, ARandomJokeIsNeverTheSameTwiceInARow)
{
    // Jokes taller than the view, so that each can stand at the top.
    for (int n : {2, 6}) {
        Start(WriteCollection(tmp.filePath(QStringLiteral("veletlen%1.vicc").arg(n)), n, {}, 40));
        QSet<int> seen;
        int before = View()->TopJoke();
        for (int pick = 0; pick < 120; ++pick) {
            QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
            const int top = View()->TopJoke();
            ASSERT_NE(top, before) << n;
            seen.insert(top);
            before = top;
        }
        EXPECT_EQ(seen.size(), n);
    }
    // The menu item does the same.
    const int before = View()->TopJoke();
    window->Reader->mniVeletlen->trigger();
    EXPECT_NE(View()->TopJoke(), before);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, EveryCollectionOpensWhereItWasLeft)
{
    const QString a = WriteCollection(tmp.filePath("a.vicc"), 300);
    const QString b = WriteCollection(tmp.filePath("b.vicc"), 300);
    Start(a);
    window->Reader->ShowJoke(121);
    window->OpenJokeFile(b, true);
    EXPECT_EQ(View()->TopJoke(), 0);
    window->Reader->ShowJoke(46);
    window->OpenJokeFile(a, true);
    EXPECT_EQ(View()->TopJoke(), 120);
    window->close();
    window.reset();

    // The other sections keep their keys; the places have their own.
    const ProfileFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("File", "File0", ""), b);
    EXPECT_EQ(ini.ReadString("File", "File1", ""), a);
    EXPECT_EQ(ini.ReadSection("Places"),
              (ProfileFile::Entries{{"Place0", "121 " + a}, {"Place1", "46 " + b}}));

    // The next start opens b (the current file index is not kept) at its
    // place, and a at its own.
    Start();
    EXPECT_EQ(window->dfxnev->text(), "b.vicc");
    EXPECT_EQ(View()->TopJoke(), 45);
    EXPECT_EQ(View()->LivePanel(45)->y(), 4);
    window->OpenJokeFile(a, false);
    EXPECT_EQ(View()->TopJoke(), 120);
    window->close();
    window.reset();

    // A collection that has lost jokes shows its last one.
    WriteCollection(a, 50);
    Start(a);
    EXPECT_EQ(View()->ScrollPosition(), View()->MaxScrollPosition());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, PlacesKeepTheLastFiftyCollectionsAndWhatAnotherRunWrote)
{
    ProfileFile ini(IniPath());
    ini.WriteInteger("Screen", "Color", 3);
    ini.WriteString("Places", "Place0", "7 /j/regi.vicc");
    ini.WriteString("Places", "Place1", "nem szám");
    {
        TReadingPlaces places(IniPath());
        EXPECT_EQ(places.PlaceOf("/j/regi.vicc"), 6);
        for (int k = 0; k < 55; ++k)
            places.Remember(QStringLiteral("/j/%1.vicc").arg(k), k);
        // Another run of the program closes in between.
        TReadingPlaces other(IniPath());
        other.Remember("/j/masik.vicc", 9);
        other.Save();
        places.Save();
    }
    const ProfileFile::Entries entries = ini.ReadSection("Places");
    ASSERT_EQ(entries.size(), 50);
    EXPECT_EQ(entries.front(), (QPair<QString, QString>("Place0", "55 /j/54.vicc")));
    EXPECT_EQ(entries.back(), (QPair<QString, QString>("Place49", "6 /j/5.vicc")));
    EXPECT_EQ(ini.ReadInteger("Screen", "Color", 0), 3);

    // The run that remembered nothing new writes nothing; a short list keeps
    // the other run's place after its own.
    QFile::remove(IniPath());
    ini.WriteString("Places", "Place0", "3 /j/masik.vicc");
    TReadingPlaces places(IniPath());
    places.Remember("/j/enyem.vicc", 0);
    places.Save();
    EXPECT_EQ(ini.ReadSection("Places"),
              (ProfileFile::Entries{{"Place0", "1 /j/enyem.vicc"}, {"Place1", "3 /j/masik.vicc"}}));
}

TEST_F(ReaderTest, LongLinesWrapAtThePanelsWidthWhenAsked)
{
    // Words of nine letters and a blank: a row holds as many whole words as fit.
    const QString longLine = QStringLiteral("abcdefghi ").repeated(30).trimmed();
    QStringList lines = {"##Hosszú", longLine, "rövid", "<<"};
    for (int k = 0; k < 20; ++k)
        lines << QStringLiteral("%1. rövid vicc").arg(k + 2) << "<<";
    const QString path = WriteJokeFile(tmp.filePath("hosszu.vicc"), lines);
    Start(path);
    window->resize(800, window->height());
    QCoreApplication::processEvents();
    const qint64 plain = 15 * 3 + 60;
    EXPECT_EQ(View()->Joke(0).height, plain);
    EXPECT_FALSE(window->Reader->mniTordeles->isChecked());

    const auto rowsAt = [this](int columns) { return (30 + (columns + 1) / 10 - 1) / ((columns + 1) / 10); };
    window->Reader->mniTordeles->trigger();
    const int columns = View()->WrapColumns();
    ASSERT_GT(columns, 20);
    const int rows = rowsAt(columns);
    EXPECT_EQ(View()->Joke(0).height, plain + 15 * (rows - 1));
    EXPECT_EQ(View()->Joke(1).top, View()->Joke(0).top + View()->Joke(0).height + 4);
    const JokeEntry &last = View()->Joke(View()->JokeCount() - 1);
    EXPECT_EQ(View()->ScrollRange(), last.top + last.height + 8);
    // Every row is written, none reaches past the panel's body, and the
    // short line follows the last row.
    TViccPanel *panel = View()->LivePanel(0);
    ASSERT_EQ(panel->height(), View()->Joke(0).height);
    const QImage shown = panel->grab().toImage();
    const auto ink = [&](int y, int fromX, int toX) {
        int count = 0;
        for (int row = y; row < y + 15; ++row)
            for (int x = fromX; x < toX; ++x)
                count += qGray(shown.pixel(x, row)) < 100;
        return count;
    };
    for (int r = 0; r <= rows; ++r)
        EXPECT_GT(ink(30 + 15 * r, 6, 60), 10) << "row " << r;
    EXPECT_EQ(ink(30 + 15 * (rows + 1), 6, panel->width() - 4), 0);
    for (int r = 0; r < rows; ++r)
        EXPECT_EQ(ink(30 + 15 * r, panel->width() - 6, panel->width() - 2), 0) << "row " << r;

    // Narrower, more rows; wider, fewer; the joke at the top stays.
    View()->ShowJokeAtTop(1);
    window->resize(MainMinimumWidth, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(View()->Joke(0).height, plain + 15 * (rowsAt(View()->WrapColumns()) - 1));
    EXPECT_GT(View()->Joke(0).height, plain + 15 * (rows - 1));
    EXPECT_EQ(View()->TopJoke(), 1);

    // Kept for the next start.
    window->close();
    window.reset();
    EXPECT_TRUE(ProfileFile(IniPath()).ReadBool("Reader", "WrapLines", false));
    Start(path);
    EXPECT_TRUE(window->Reader->mniTordeles->isChecked());
    EXPECT_GT(View()->Joke(0).height, plain);
    // Off again: the design's heights and range.
    window->Reader->mniTordeles->trigger();
    EXPECT_EQ(View()->Joke(0).height, plain);
    EXPECT_EQ(View()->ScrollRange(), ReadJokeCollection(path).ScrollRange);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ReaderTest, FoundTextOnAWrappedRowIsMarkedThere)
{
    const QString line = QStringLiteral("abcdefghi ").repeated(30) + QStringLiteral("macskajaj");
    Start(WriteJokeFile(tmp.filePath("hosszu.vicc"), {line, "<<"}));
    window->Reader->SetWrapLines(true);
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(Bar()->edtKereses, QStringLiteral("macska"));
    // On the row that starts with the word, below the first.
    TViccPanel *panel = View()->LivePanel(0);
    EXPECT_GT(panel->RowTop(0, 300), 30);
    EXPECT_TRUE(CurrentMarkAt(panel, 0, 300, 300));
    EXPECT_FALSE(CurrentMarkAt(panel, 0, 0));
}

TEST_F(ReaderTest, TheKeysPeopleTry)
{
    Start();
    // Ctrl+O: the open dialog.
    bool opened = false;
    WhenModal<QFileDialog>([&opened](QFileDialog *dialog) {
        opened = dialog->windowTitle() == "Viccelődjünk ...";
        dialog->reject();
    });
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(opened);
    EXPECT_EQ(window->mnuViccNyit->shortcut(), QKeySequence("Ctrl+O"));
    // Ctrl+P: the printer button, which has nothing to print yet.
    QSignalSpy printed(window->tbNyomtat, &QToolButton::clicked);
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printed.count(), 1);
    EXPECT_EQ(errors, QStringList{"List index out of bounds (0)"});
    // F1: About.
    QString about;
    WhenModal<QDialog>([&about](QDialog *dialog) {
        about = dialog->windowTitle();
        dialog->reject();
    });
    Key(Qt::Key_F1);
    EXPECT_EQ(about, "Névjegy");
    // The scheme in force is marked in the scheme menu.
    window->ApplyColorScheme(3);
    window->pmSzinek->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->mniNaplemente->isChecked());
    EXPECT_FALSE(window->mniAlapertek->isChecked());
    window->pmSzinek->close();
    window->mniViragos->trigger();
    EXPECT_EQ(window->SchemeNumber, 4);
    EXPECT_TRUE(window->mniViragos->isChecked());
    EXPECT_FALSE(window->mniNaplemente->isChecked());
    // Ctrl+Q: the close sequence.
    Key(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ProfileFile(IniPath()).ReadInteger("Screen", "Color", 0), 4);
}

TEST_F(ReaderTest, ADroppedJokeFileOpensAtItsPlace)
{
    const QString path = WriteCollection(tmp.filePath("ejtett.vicc"), 300);
    ProfileFile(IniPath()).WriteString("Places", "Place0", "222 " + path);
    Start();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(window.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(window->FRecentFiles, QStringList{path});
    EXPECT_EQ(View()->JokeCount(), 300);
    EXPECT_EQ(View()->TopJoke(), 221);
}

} // namespace
