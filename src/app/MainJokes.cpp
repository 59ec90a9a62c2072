// The main window's ways to a collection besides the collections menu: a
// file or folder dropped on the window, and a joke of the collection on show
// told through the tray icon.
#include "app/Main.h"

#include "app/JokeView.h"
#include "components/DskTrayIcon.h"
#include "platform/AppError.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QUrl>

namespace {

// Desktops cut long messages anyway; this keeps one within reason.
constexpr qsizetype MaxMessageLength = 1000;

// The first dropped local file or folder that holds a collection.
QString DroppedCollection(const QMimeData *data)
{
    if (!data)
        return QString();
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = QDir::cleanPath(url.toLocalFile());
        if (CollectionExists(path))
            return path;
    }
    return QString();
}

QString MessageText(const QString &text)
{
    if (text.size() <= MaxMessageLength)
        return text;
    return text.left(MaxMessageLength - 1) + u'…';
}

} // namespace

void Tfrm_Main::CreateCollectionParts()
{
    setAcceptDrops(true);
    N3 = pmTray->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    mniNapVicce = pmTray->addAction(QStringLiteral("Mesélj egy viccet!"));
    mniNapVicce->setObjectName(QStringLiteral("mniNapVicce"));
    connect(mniNapVicce, &QAction::triggered, this, Guarded([this] { mniNapVicceClick(); }));
    connect(pmTray, &QMenu::aboutToShow, this, Guarded([this] { pmTrayPopup(); }));
}

void Tfrm_Main::mniNapVicceClick()
{
    const int count = sbxMain->JokeCount();
    if (count == 0)
        return;
    const JokeEntry &joke = sbxMain->Joke(QRandomGenerator::global()->bounded(count));
    const QString text = JokeText(joke, !sbxMain->PictureDir().isEmpty());
    trIcon->ShowMessage(QStringLiteral("A nap vicce"), MessageText(text));
}

void Tfrm_Main::pmTrayPopup()
{
    mniNapVicce->setEnabled(sbxMain->JokeCount() > 0);
}

void Tfrm_Main::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedCollection(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Tfrm_Main::dropEvent(QDropEvent *event)
{
    const QString path = DroppedCollection(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    RunGuarded([&] { OpenJokeFile(path, true); });
}
