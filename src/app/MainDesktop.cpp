// The main window's desktop side: drag-scrolling and resizing of the joke
// view, deleting the joke file on show, tray mode and the web links.
#include "app/Main.h"

#include "app/JokeView.h"
#include "app/Maker.h"
#include "app/ViccPanel.h"
#include "components/DskStarter.h"
#include "components/DskTrayIcon.h"
#include "platform/AppError.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>

namespace {

const QString NewsletterPath = QStringLiteral("/programok/tarkalo.htm");

// Key preview: every key typed while the main window has the focus reaches
// FormKeyPress before the focused control sees it (and the control still
// gets it). A key event that Qt hands on to the parents is previewed once.
class TKeyPreview : public QObject
{
public:
    explicit TKeyPreview(Tfrm_Main *form) : QObject(form), FForm(form)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->window() != FForm)
            return false;
        QWidget *focus = QApplication::focusWidget();
        const bool firstReceiver = !focus || focus == widget || focus->window() != FForm;
        const QString text = static_cast<QKeyEvent *>(event)->text();
        if (firstReceiver && !text.isEmpty())
            RunGuarded([&] { FForm->FormKeyPress(text.front()); });
        return false;
    }

private:
    Tfrm_Main *FForm;
};

} // namespace

void Tfrm_Main::CreateDesktopParts()
{
    trIcon = new TDskTrayIcon(this);
    trIcon->setObjectName(QStringLiteral("trIcon"));
    trIcon->SetIcon(imglMain[0]);
    trIcon->SetPopupMenu(pmTray);
    trIcon->SetActive(false);
    trIcon->Loaded();

    Exe = new TDskStarter(this);
    Exe->setObjectName(QStringLiteral("Exe"));

    new TKeyPreview(this);

    connect(sbxMain, &TJokeView::MouseDown, this, Guarded([this](QMouseEvent *e) { sbxMainMouseDown(e); }));
    connect(sbxMain, &TJokeView::MouseMove, this, Guarded([this](QMouseEvent *e) { sbxMainMouseMove(e); }));
    connect(sbxMain, &TJokeView::MouseUp, this, Guarded([this](QMouseEvent *e) { sbxMainMouseUp(e); }));
    connect(sbxMain, &TJokeView::Resized, this, Guarded([this] { sbxMainResize(); }));

    connect(tbTorol, &QToolButton::clicked, this, Guarded([this] { tbTorolClick(); }));
    connect(tbSysTray, &QToolButton::clicked, this, Guarded([this] { tbSysTrayClick(); }));
    connect(Naptrprogrammegnyits1, &QAction::triggered, this, Guarded([this] { Naptrprogrammegnyits1Click(); }));
    connect(tbHonlap, &QToolButton::clicked, this, Guarded([this] { tbHonlapClick(); }));
    connect(tbLevel, &QToolButton::clicked, this, Guarded([this] { tbLevelClick(); }));
    connect(tbRegisztral, &QToolButton::clicked, this, Guarded([this] { tbRegisztralClick(); }));
    connect(mniViccForras, &QAction::triggered, this, Guarded([this] { mniViccForrasClick(); }));
}

// Placement: Left and Top are the outer frame's corner, as saved at close.

QRect Tfrm_Main::FittedBounds(int left, int top, int width, int height) const
{
    if (!FormCanResize(width, height))
        width = this->width();
    // The frame is known once the window manager has framed the window;
    // before that it counts as none.
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    const QRect outer = FitFrameOnScreens(left, top, qint64(width) + margins.left() + margins.right(),
                                          qint64(height) + margins.top() + margins.bottom(),
                                          AvailableScreenAreas());
    return QRect(outer.topLeft(), outer.size().shrunkBy(margins));
}

void Tfrm_Main::setVisible(bool visible)
{
    // Qt places a window's frame at its position only when the position was
    // set before the native window is made; set later, during the show, it
    // would place the client area there and the window would creep at every
    // start.
    if (visible && !FShown && !windowHandle()) {
        const QRect start = FittedBounds(StartLeft, StartTop, StartWidth, StartHeight);
        SetBounds(start.x(), start.y(), start.width(), start.height());
    }
    QWidget::setVisible(visible);
}

void Tfrm_Main::RunShowSequence()
{
    // A box raised before the window is on screen would stand alone on the
    // desktop: the show sequence's errors wait for the window.
    QStringList errors;
    const ErrorBoxSink box = SetErrorBoxSink([&errors](const QString &text) { errors << text; });
    RunGuarded([this] { FormShow(); });
    SetErrorBoxSink(box);
    WhenExposed(this, [this, errors] {
        // Only now is the frame known: bounds that fit stay as they are.
        const QRect fitted = FittedBounds(BoundsLeft(), BoundsTop(), width(), height());
        SetBounds(fitted.x(), fitted.y(), fitted.width(), fitted.height());
        for (const QString &text : errors)
            ShowApplicationError(text);
    });
}

// Drag-scrolling: the pointer's screen position is read at each event, so the
// content follows the hand whichever panel is under it.

void Tfrm_Main::sbxMainMouseDown(QMouseEvent *event)
{
    FDragging = true;
    FDragLastY = qRound(event->globalPosition().y());
}

void Tfrm_Main::sbxMainMouseMove(QMouseEvent *event)
{
    const int y = qRound(event->globalPosition().y());
    if (!FDragging)
        return;
    const int delta = FDragLastY - y;
    FDragLastY = y;
    // The view holds the position within 0 … range − client height.
    sbxMain->ScrollBy(delta);
}

void Tfrm_Main::sbxMainMouseUp(QMouseEvent *)
{
    FDragging = false;
}

void Tfrm_Main::sbxMainResize()
{
    for (auto &[k, panel] : sbxMain->LivePanels())
        panel->resize(sbxMain->width() - 40, panel->height());
}

// Deleting the joke file on show.

void Tfrm_Main::tbTorolClick()
{
    PlayEventSound(QStringLiteral("onQuery"));
    if (FFileIndex < 0 || FFileIndex >= FRecentFiles.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(FFileIndex));
    const QString path = FRecentFiles.at(FFileIndex);
    if (!AskYesNo(this, QStringLiteral("Megerősítés"),
                  QStringLiteral("Valóban töröljem a ") + path + QStringLiteral(" file-t?")))
        return;
    QFile file(path);
    if (!file.remove() && QFileInfo::exists(path)) {
        // The file is still there: say so and leave list, menu and view alone.
        throw AppError(QStringLiteral("Unable to delete %1: %2").arg(path, file.errorString()));
    }
    FRecentFiles.removeAt(FFileIndex);
    ShowInformation(this, QStringLiteral("Üzenet"), QStringLiteral("Kár érte..."));
    PlayEventSound(QStringLiteral("onDelete"));
    BuildCollectionsMenu();
    if (!FRecentFiles.isEmpty())
        OpenJokeFile(FRecentFiles.front(), true);
    FFileIndex = 0;
}

// Tray mode.

void Tfrm_Main::tbSysTrayClick()
{
    PlayEventSound(QStringLiteral("onSysTray"));
    trIcon->SetActive(true);
    // Without a notification area there would be no way back: the window
    // goes to the taskbar instead.
    if (trIcon->Active())
        hide();
    else
        showMinimized();
}

void Tfrm_Main::FormKeyPress(QChar key)
{
    if (key.unicode() == 27 && isVisible())
        tbSysTrayClick();
}

void Tfrm_Main::Naptrprogrammegnyits1Click()
{
    trIcon->SetActive(false);
    showNormal();
}

// Links.

void Tfrm_Main::OpenLink(const QString &address)
{
    Exe->SetCommand(address);
    Exe->Execute();
}

void Tfrm_Main::tbHonlapClick()
{
    OpenLink(QString::fromLatin1(Maker::HomePage));
}

void Tfrm_Main::tbLevelClick()
{
    OpenLink(QStringLiteral("mailto:") + QString::fromLatin1(Maker::MailAddress));
}

void Tfrm_Main::tbRegisztralClick()
{
    OpenLink(QString::fromLatin1(Maker::HomePage) + NewsletterPath);
}

void Tfrm_Main::mniViccForrasClick()
{
    PlayEventSound(QStringLiteral("onMenuClick"));
    OpenLink(QString::fromLatin1(Maker::HomePage) + NewsletterPath);
}
