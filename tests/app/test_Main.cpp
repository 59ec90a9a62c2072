#include "app/About.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/Nyito.h"
#include "app/StatusPanels.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"
#include "platform/Fonts.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowProbes.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QStringList Lines(int n, const QString &prefix = QStringLiteral("sor"))
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines.append(prefix + QString::number(i));
    return lines;
}

class MainWindowTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        Start();
    }
    QString File(const QString &name, const QStringList &lines)
    {
        return WriteJokeFile(tmp.filePath(name), lines);
    }
};

TEST_F(MainWindowTest, FirstStartWithoutFile)
{
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("Zumoria"));
    EXPECT_EQ(window->StatusText(0), QString());
    EXPECT_EQ(window->StatusText(1), QStringLiteral("Zumoria V3"));
    EXPECT_EQ(window->sbxMain->JokeCount(), 0);
    EXPECT_EQ(window->size(), QSize(522, 430));
    EXPECT_EQ(window->pos(), QPoint(10, 10));
    EXPECT_TRUE(window->tbHangok->isChecked());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Viccelődünk ..."));
}

TEST_F(MainWindowTest, ThreeJokesStackedWithTheirNumbers)
{
    QStringList lines = Lines(2);
    lines << "<<" << Lines(5) << "<<" << Lines(3) << "<<";
    const QString path = File("harom.vicc", lines);
    window->OpenJokeFile(path, true);

    TJokeView &view = *window->sbxMain;
    ASSERT_EQ(view.JokeCount(), 3);
    const int tops[] = {4, 98, 237}, heights[] = {90, 135, 105};
    for (int k = 0; k < 3; ++k) {
        TViccPanel *panel = PanelOf(k);
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->objectName(), QStringLiteral("vp%1").arg(k));
        EXPECT_EQ(panel->property("tag").toInt(), k);
        EXPECT_EQ(panel->y() + view.ScrollPosition(), tops[k]);
        EXPECT_EQ(panel->height(), heights[k]);
        EXPECT_EQ(panel->x(), 12);
        EXPECT_EQ(panel->width(), view.width() - 40);
        EXPECT_EQ(panel->Alja(), QStringLiteral("#%1").arg(k + 1));
        EXPECT_EQ(panel->Szerzo(), QStringLiteral("*** vicc"));
    }
    EXPECT_EQ(view.ScrollRange(), 350);
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("harom.vicc"));
    EXPECT_EQ(window->StatusText(0), QStringLiteral("harom.vicc"));
    EXPECT_EQ(window->LastOpenedFile, path);
}

TEST_F(MainWindowTest, HeadingPictureAndComments)
{
    WriteJpeg(tmp.filePath("kep.jpg"), 50, 100);
    const QString path = File("kep.vicc", {"// fej", "##Cím", "egy", "// köztes", "kettő", ">>kep.jpg",
                                           "// utolsó előtt", "<<", "<<", "vége nélkül"});
    window->OpenJokeFile(path, true);
    TJokeView &view = *window->sbxMain;
    ASSERT_EQ(view.JokeCount(), 2);
    EXPECT_EQ(view.Joke(0).height, 220);
    EXPECT_EQ(view.Joke(0).heading, QStringLiteral("Cím"));
    EXPECT_EQ(view.Joke(0).lines, (QStringList{"egy", "kettő", ">>kep.jpg"}));
    // A joke without lines: "*** vicc", nothing below it, height 60.
    EXPECT_EQ(view.Joke(1).heading, QStringLiteral("*** vicc"));
    EXPECT_TRUE(view.Joke(1).lines.isEmpty());
    EXPECT_EQ(view.Joke(1).height, 60);
    EXPECT_EQ(view.Joke(1).top, 4 + 220 + 4);
    // The picture lands centred below the two text lines.
    TViccPanel *panel = PanelOf(0);
    const QImage image = panel->grab().toImage();
    EXPECT_TRUE(Near(image.pixel(panel->width() / 2, 60 + 50), QColor(0, 160, 0)));
}

TEST_F(MainWindowTest, RecentFilesList)
{
    QStringList paths;
    for (const char *name : {"a.vicc", "b.vicc", "c.vicc", "d.vicc", "e.vicc"})
        paths << File(QString::fromLatin1(name), {"x", "<<"});
    for (int i = 0; i < 3; ++i)
        window->OpenJokeFile(paths[i], true);
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{paths[2], paths[1], paths[0]}));
    window->OpenJokeFile(paths[0], false);  // already listed at position 2
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{paths[2], paths[1], paths[0]}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), paths[0]);
    window->OpenJokeFile(paths[3], true);
    window->OpenJokeFile(paths[4], true);
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
    EXPECT_EQ(RecentFileNames(*window), (QStringList{"e.vicc", "d.vicc", "c.vicc", "b.vicc"}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), paths[4]);
}

TEST_F(MainWindowTest, RecentFilesAreComparedExactly)
{
    const QString upper = File("Viccek.vicc", {"nagy", "<<"});
    const QString lower = File("viccek.vicc", {"kicsi", "<<", "kettő", "<<"});
    window->OpenJokeFile(upper, true);
    window->OpenJokeFile(lower, true);
    EXPECT_EQ(SavedRecentFiles(*window), (QStringList{lower, upper}));
    EXPECT_EQ(FileTheDeleteButtonNames(*window), lower);
    EXPECT_EQ(window->sbxMain->JokeCount(), 2);
}

TEST_F(MainWindowTest, NothingChangesWithoutAReadableRegularFile)
{
    const QString good = File("jo.vicc", {"x", "<<", "y", "<<"});
    window->OpenJokeFile(good, true);
    const QString fifo = tmp.filePath("fifo.vicc");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // /proc/self/mem is a regular file whose first page cannot be read. (A
    // folder is a collection of fortune files.)
    const QStringList bad = {tmp.filePath("nincs.vicc"), fifo, QStringLiteral("/dev/zero"),
                             QStringLiteral("/proc/self/mem")};
    for (const QString &path : bad) {
        SCOPED_TRACE(path.toStdString());
        RunGuarded([&] { window->OpenJokeFile(path, true); });
        EXPECT_EQ(SavedRecentFiles(*window), QStringList{good});
        EXPECT_EQ(FileTheDeleteButtonNames(*window), good);
        EXPECT_EQ(window->LastOpenedFile, good);
        EXPECT_EQ(window->sbxMain->JokeCount(), 2);
        EXPECT_EQ(window->dfxnev->text(), QStringLiteral("jo.vicc"));
        EXPECT_EQ(window->StatusText(0), QStringLiteral("jo.vicc"));
    }
    // Only the unreadable file says so.
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().contains(QStringLiteral("/proc/self/mem")));
}

TEST_F(MainWindowTest, EmptyAndHostileFiles)
{
    window->OpenJokeFile(File("ures.vicc", {}), true);
    EXPECT_EQ(window->sbxMain->JokeCount(), 0);
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("ures.vicc"));
    EXPECT_EQ(window->sbxMain->ScrollPosition(), 0);

    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char((i * 7919) % 255 + 1));
    window->OpenJokeFile(WriteBytes(tmp.filePath("bin.vicc"), binary), true);
    EXPECT_TRUE(errors.isEmpty());

    // NUL ends the text: the second joke is never seen.
    window->OpenJokeFile(WriteBytes(tmp.filePath("nul.vicc"), QByteArray("a\r\n<<\r\n\0b\r\n<<\r\n", 14)), true);
    EXPECT_EQ(window->sbxMain->JokeCount(), 1);

    // A 10 MB line is one line: the panel is sized by the rule.
    QByteArray big(10 * 1024 * 1024, 'M');
    window->OpenJokeFile(WriteBytes(tmp.filePath("big.vicc"), big + "\r\nkettő\r\n<<\r\n"), true);
    ASSERT_EQ(window->sbxMain->JokeCount(), 1);
    EXPECT_EQ(window->sbxMain->Joke(0).height, 15 * 2 + 60);
    TViccPanel *panel = PanelOf(0);
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->grab().isNull());
}

TEST_F(MainWindowTest, SchemeColoursReachEveryJoke)
{
    QStringList lines;
    for (int k = 0; k < 200; ++k)
        lines << Lines(4) << "<<";
    window->OpenJokeFile(File("sok.vicc", lines), true);
    window->ApplyColorScheme(3);
    EXPECT_EQ(window->SchemeNumber, 3);
    EXPECT_EQ(window->sbxMain->Color(), 0x000080FFu);
    EXPECT_EQ(window->Panel2->palette().color(QPalette::Window), ToQColor(0x00A4D1FF));
    EXPECT_EQ(window->dfxnev->palette().color(QPalette::WindowText), ToQColor(0x00000000));
    // The last joke, far below the visible area, shows the scheme when reached.
    TViccPanel *last = PanelOf(199);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->Color(), 0x00CEFFFFu);
    EXPECT_EQ(last->ColorHead(), 0x00004080u);
    EXPECT_EQ(last->ColorBottom(), 0x00408080u);
    EXPECT_EQ(last->FontBottomColor(), 0x000000FFu);
    EXPECT_EQ(last->FontHeadColor(), 0x0000FFFFu);
    // A file opened later takes the scheme in force.
    window->OpenJokeFile(File("uj.vicc", {"x", "<<"}), true);
    EXPECT_EQ(PanelOf(0)->ColorHead(), 0x00004080u);
}

TEST_F(MainWindowTest, HintDisplayUsesPanelOneOnly)
{
    window->OpenJokeFile(File("h.vicc", {"x", "<<"}), true);
    QStatusTipEvent tip(window->tbKilep->statusTip());
    QCoreApplication::sendEvent(window->tbKilep, &tip);
    EXPECT_EQ(window->StatusText(1), QStringLiteral("Már unom ezt a programot"));
    EXPECT_EQ(window->StatusText(0), QStringLiteral("h.vicc"));
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(window->tbKilep, &none);
    EXPECT_EQ(window->StatusText(1), QStringLiteral("Zumoria V3"));
    EXPECT_EQ(window->StatusText(0), QStringLiteral("h.vicc"));
}

TEST_F(MainWindowTest, ToolbarButtonsAndHints)
{
    struct Button
    {
        QToolButton *button;
        const char *hint;
    } buttons[] = {
        {window->tbKategoria, ""},
        {window->tbTorol, "Ez nem jó vicc"},
        {window->tbNyomtat, "Nyomtatnám"},
        {window->tbSzinek, "Hogy a program szép legyen"},
        {window->tbHangok, "Hangok ki/be"},
        {window->tbHonlap, "Van még más is a honlapomon"},
        {window->tbLevel, "Remek vicceket szeretnék küldeni Koviradnak"},
        {window->tbRegisztral, "Szeretnék hírlevelet, új vicceket..."},
        {window->tbNevjegy, "Névjegyem"},
        {window->tbSysTray, "Tálcára vele (Esc)"},
        {window->tbKilep, "Már unom ezt a programot"},
    };
    int left = -1;
    for (const Button &b : buttons) {
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint));
        EXPECT_FALSE(b.button->icon().isNull());
        EXPECT_EQ(b.button->height(), 25);
        EXPECT_GT(b.button->x(), left) << "left to right in order";
        left = b.button->x();
    }
    EXPECT_TRUE(window->tbHangok->isCheckable());
    EXPECT_EQ(window->tbKategoria->menu(), window->mnuKategoria);
    EXPECT_EQ(window->tbSzinek->menu(), window->pmSzinek);
    EXPECT_EQ(window->ToolButton1->width(), 9);
}

TEST_F(MainWindowTest, MinimumWidthRefusesTheWidthAndLetsTheHeightApply)
{
    EXPECT_EQ(window->minimumWidth(), 522);
    window->SetBounds(30, 40, 600, 500);
    EXPECT_EQ(window->size(), QSize(600, 500));
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    window->SetBounds(-5, 40, 400, 300);
    EXPECT_EQ(window->size(), QSize(600, 300));
    EXPECT_EQ(window->pos(), QPoint(-5, 40));
    EXPECT_TRUE(Tfrm_Main::FormCanResize(522, 10));
    EXPECT_FALSE(Tfrm_Main::FormCanResize(521, 1000));
}

TEST_F(MainWindowTest, ResizingKeepsEveryPanelWidthInStep)
{
    QStringList lines;
    for (int k = 0; k < 50; ++k)
        lines << Lines(3) << "<<";
    window->OpenJokeFile(File("w.vicc", lines), true);
    window->resize(700, 430);
    QCoreApplication::processEvents();
    for (const auto &[k, panel] : window->sbxMain->LivePanels())
        EXPECT_EQ(panel->width(), window->sbxMain->width() - 40);
    EXPECT_EQ(PanelOf(49)->width(), window->sbxMain->width() - 40);
}

TEST_F(MainWindowTest, EndButtonClosesTheWindow)
{
    window->tbKilep->click();
    EXPECT_FALSE(window->isVisible());
}

TEST(AboutWindowTest, TextsAndLayout)
{
    Tfrm_About about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Névjegy"));
    EXPECT_EQ(about.size(), QSize(474, 233));
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Zumoria V3.0.1.47"));
    EXPECT_EQ(about.Label1->geometry().right() + 1, 465);
    EXPECT_EQ(about.Label1->y(), 36);
    EXPECT_EQ(about.Label2->geometry().right() + 1, 464);
    EXPECT_EQ(about.Label4->pos(), QPoint(232, 188));
    EXPECT_EQ(about.Label9->text(), QStringLiteral("segíthetem Önt."));
    EXPECT_EQ(about.sbBezar->geometry(), QRect(444, 8, 23, 22));
    const QImage image = about.grab().toImage();
    // The logo fills 200 × 200 at 20, 20: its top-left is no window grey.
    EXPECT_NE(image.pixel(25, 25), about.palette().color(QPalette::Window).rgb());
    QTimer::singleShot(0, &about, [&] { about.sbBezar->click(); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

TEST(AboutWindowTest, EveryLabelShowsItsWholeText)
{
    InstallFontSubstitutions();
    Tfrm_About about;
    about.show();
    // Inside the one-pixel bevel, and as wide as the text it shows.
    const QRect inside = about.rect().adjusted(1, 1, -1, -1);
    const QList<QLabel *> labels = about.findChildren<QLabel *>();
    ASSERT_EQ(labels.size(), 4);
    for (const QLabel *label : labels) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_TRUE(inside.contains(label->geometry())) << label->geometry().right();
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_GE(label->height(), label->fontMetrics().height());
    }
    // The fonts installed for Tahoma set every text at its design size.
    EXPECT_EQ(about.Label4->font().pixelSize(), 11);
    EXPECT_EQ(about.Label1->font().pixelSize(), 15);
}

TEST(SplashWindowTest, ShowsOnTopAndFreesItselfOnItsTimer)
{
    auto *splash = new Tfrm_Nyito();
    splash->show();
    EXPECT_EQ(splash->size(), QSize(214, 208));
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash->Timer1->interval(), 2000);
    EXPECT_TRUE(splash->Timer1->isActive());
    QPointer<Tfrm_Nyito> alive(splash);
    splash->Timer1Timer();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

} // namespace
