// The main window on a Wayland compositor, which places windows itself: the
// program starts, shows its jokes, minimises and closes as anywhere else, and
// the saved position it cannot apply is neither a failure nor a message.
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/ViccPanel.h"
#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "support/QueuedWork.h"
#include "support/TestFiles.h"
#include "support/TestSounds.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QWindow>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

QStringList &Messages()
{
    static QStringList messages;
    return messages;
}

void Collect(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        Messages() << text;
}

TEST(MainWindowOnWayland, StartsShowsItsJokesMinimisesAndCloses)
{
    if (QGuiApplication::platformName() != QLatin1String("wayland"))
        GTEST_SKIP() << "needs a Wayland compositor";
    const QString ini = TestConfigHome() + "/Zumoria/Zumoria.ini";
    QDir().mkpath(TestConfigHome() + "/Zumoria");
    WriteBytes(ini, "[Screen]\nLeft=300\nTop=200\nWidth=600\nHeight=450\n");
    QStringList errors;
    const ErrorBoxSink previousSink = SetErrorBoxSink([&](const QString &text) { errors << text; });
    const QtMessageHandler previousHandler = qInstallMessageHandler(Collect);
    StartApplication();

    auto window = std::make_unique<Tfrm_Main>(QStringLiteral(ZUMORIA_SOURCE_DIR "/examples/Viccek.vicc"));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), 10000));
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_EQ(window->size(), QSize(600, 450));
    EXPECT_EQ(window->dfxnev->text(), QStringLiteral("Viccek.vicc"));
    ASSERT_GT(window->sbxMain->JokeCount(), 2);
    ASSERT_FALSE(window->sbxMain->LivePanels().empty());
    TViccPanel *first = window->sbxMain->LivePanels().begin()->second;
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->parentWidget()->window(), window.get());

    // Esc finds no notification area here: the window asks to be minimised
    // and stays mapped. (The compositor never tells a client that it is
    // minimised, so Qt takes the state back to normal at the next configure.)
    QList<Qt::WindowState> states;
    QObject::connect(window->windowHandle(), &QWindow::windowStateChanged,
                     [&](Qt::WindowState s) { states << s; });
    QTest::keyClick(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_TRUE(states.contains(Qt::WindowMinimized));
    EXPECT_TRUE(window->isVisible());
    window->showMinimized();
    ASSERT_TRUE(RunQueuedWork());
    EXPECT_TRUE(window->isVisible());

    window->close();
    EXPECT_FALSE(window->isVisible());
    window.reset();
    EXPECT_EQ(TestSoundLog().played(), (QStringList{"onLoad", "onSysTray", "onClose"}));
    ProfileFile saved(ini);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("Screen"), QStringLiteral("Width"), 0), 600);
    EXPECT_EQ(saved.ReadInteger(QStringLiteral("Screen"), QStringLiteral("Height"), 0), 450);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join(u'|').toStdString();
    qInstallMessageHandler(previousHandler);
    SetErrorBoxSink(previousSink);
}

} // namespace
