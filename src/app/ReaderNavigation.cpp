#include "app/ReaderNavigation.h"

#include "app/Artwork.h"
#include "app/FindBar.h"
#include "app/JokeView.h"
#include "app/Main.h"
#include "app/StatusPanels.h"
#include "platform/AppError.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QRandomGenerator>
#include <QToolButton>

namespace {

const QString ReaderSection = QStringLiteral("Reader");
const QString WrapLinesKey = QStringLiteral("WrapLines");
const QString IgnoreAccentsKey = QStringLiteral("FindIgnoresAccents");

// The size of the toolbar's drop-down buttons.
constexpr int DropDownButtonWidth = 40;
constexpr int ButtonHeight = 25;

QAction *Command(QObject *owner, const char *name, const QString &caption, const QKeySequence &key)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    return action;
}

} // namespace

TReaderNavigation::TReaderNavigation(Tfrm_Main *form) : QObject(form), FForm(form), FView(form->sbxMain)
{
    setObjectName(QStringLiteral("Reader"));
    pnlKereses = new TFindBar(FView, form);
    auto *column = qobject_cast<QBoxLayout *>(form->layout());
    column->insertWidget(column->indexOf(form->StatusBar1), pnlKereses);
    connect(pnlKereses, &TFindBar::IgnoreAccentsChanged, this, [this] { FOptionsChanged = true; });
    BuildMenuAndButton();
    BindWindowShortcuts();
    form->installEventFilter(this);
}

TReaderNavigation::~TReaderNavigation() = default;

void TReaderNavigation::BuildMenuAndButton()
{
    pmOlvasas = new QMenu(FForm);
    pmOlvasas->setObjectName(QStringLiteral("pmOlvasas"));
    mniKereses = Command(this, "mniKereses", QStringLiteral("Keresés..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    mniKereses->setIcon(MagnifierImage());
    mniUgras = Command(this, "mniUgras", QStringLiteral("Ugrás viccre..."), QKeySequence(Qt::CTRL | Qt::Key_G));
    mniVeletlen = Command(this, "mniVeletlen", QStringLiteral("Véletlen vicc"), QKeySequence(Qt::CTRL | Qt::Key_R));
    mniVeletlen->setIcon(FForm->imglMain[0]);
    mniTordeles = Command(this, "mniTordeles", QStringLiteral("Hosszú sorok tördelése"), QKeySequence());
    mniTordeles->setCheckable(true);
    pmOlvasas->addActions({mniKereses, mniUgras, mniVeletlen});
    pmOlvasas->addSeparator();
    pmOlvasas->addAction(mniTordeles);
    FForm->addActions({mniKereses, mniUgras, mniVeletlen});

    connect(mniKereses, &QAction::triggered, this, Guarded([this] { pnlKereses->Open(); }));
    connect(mniUgras, &QAction::triggered, this, Guarded([this] { mniUgrasClick(); }));
    connect(mniVeletlen, &QAction::triggered, this, Guarded([this] { mniVeletlenClick(); }));
    connect(mniTordeles, &QAction::toggled, this, Guarded([this](bool on) {
                SetWrapLines(on);
                FOptionsChanged = true;
            }));
    connect(pmOlvasas, &QMenu::aboutToShow, this, Guarded([this] { FForm->PlayEventSound(QStringLiteral("onPopup")); }));

    tbOlvasas = new QToolButton(FForm->tbrMain);
    tbOlvasas->setObjectName(QStringLiteral("tbOlvasas"));
    tbOlvasas->setAutoRaise(true);
    tbOlvasas->setIcon(MagnifierImage());
    tbOlvasas->setIconSize(QSize(16, 16));
    tbOlvasas->setFixedSize(DropDownButtonWidth, ButtonHeight);
    tbOlvasas->setCursor(Qt::PointingHandCursor);
    tbOlvasas->setFocusPolicy(Qt::NoFocus);
    const QString hint = QStringLiteral("Keresés a viccek között (Ctrl+F)");
    tbOlvasas->setToolTip(hint);
    tbOlvasas->setStatusTip(hint);
    tbOlvasas->setPopupMode(QToolButton::MenuButtonPopup);
    tbOlvasas->setMenu(pmOlvasas);
    // At the right end, past the toolbar's own buttons.
    FForm->tbrMain->layout()->addWidget(tbOlvasas);
    connect(tbOlvasas, &QToolButton::clicked, this, Guarded([this] { pnlKereses->Open(); }));
}

void TReaderNavigation::BindWindowShortcuts()
{
    auto *next = Command(this, "acKovetkezo", QString(), QKeySequence(Qt::Key_F3));
    auto *previous = Command(this, "acElozo", QString(), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    auto *print = Command(this, "acNyomtat", QString(), QKeySequence(Qt::CTRL | Qt::Key_P));
    auto *quit = Command(this, "acKilep", QString(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    auto *about = Command(this, "acNevjegy", QString(), QKeySequence(Qt::Key_F1));
    FForm->mnuViccNyit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FForm->addActions({next, previous, print, quit, about, FForm->mnuViccNyit});
    connect(next, &QAction::triggered, this, Guarded([this] { pnlKereses->FindNext(); }));
    connect(previous, &QAction::triggered, this, Guarded([this] { pnlKereses->FindPrevious(); }));
    // The keys do what the buttons do, sounds and all.
    connect(print, &QAction::triggered, FForm->tbNyomtat, &QToolButton::click);
    connect(quit, &QAction::triggered, FForm->tbKilep, &QToolButton::click);
    connect(about, &QAction::triggered, FForm->tbNevjegy, &QToolButton::click);

    auto *schemes = new QActionGroup(this);
    for (QAction *item : {FForm->mniAlapertek, FForm->mniEgszinkek, FForm->mniNaplemente, FForm->mniViragos}) {
        item->setCheckable(true);
        schemes->addAction(item);
    }
    connect(FForm->pmSzinek, &QMenu::aboutToShow, this, [this] { MarkScheme(); });
}

void TReaderNavigation::MarkScheme()
{
    const QList<QAction *> items = {FForm->mniAlapertek, FForm->mniEgszinkek, FForm->mniNaplemente,
                                    FForm->mniViragos};
    for (int k = 0; k < items.size(); ++k)
        items[k]->setChecked(FForm->SchemeNumber == k + 1);
}

bool TReaderNavigation::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FForm)
        return false;
    if (event->type() == QEvent::Show && !FOptionsLoaded)
        RunGuarded([this] { LoadOptions(); });
    // The reader's keys that no control of the window took (nothing has the
    // focus before the jokes are clicked) move the jokes.
    if (event->type() == QEvent::KeyPress) {
        bool used = false;
        RunGuarded([&] { used = FView->KeyScroll(static_cast<QKeyEvent *>(event)); });
        return used;
    }
    return false;
}

TReadingPlaces &TReaderNavigation::Places()
{
    if (!FPlaces)
        FPlaces = std::make_unique<TReadingPlaces>(FForm->SettingsPath);
    return *FPlaces;
}

void TReaderNavigation::LoadOptions()
{
    FOptionsLoaded = true;
    const ProfileFile ini(FForm->SettingsPath);
    {
        const QSignalBlocker quiet(mniTordeles);
        mniTordeles->setChecked(ini.ReadBool(ReaderSection, WrapLinesKey, false));
    }
    SetWrapLines(mniTordeles->isChecked());
    {
        const QSignalBlocker quiet(pnlKereses);
        pnlKereses->SetIgnoreAccents(ini.ReadBool(ReaderSection, IgnoreAccentsKey, false));
    }
    FOptionsChanged = false;
}

void TReaderNavigation::SaveState()
{
    LeaveCollection();
    if (FOptionsChanged) {
        ProfileFile(FForm->SettingsPath)
            .WriteSection(ReaderSection, {{WrapLinesKey, QString::number(int(mniTordeles->isChecked()))},
                                          {IgnoreAccentsKey, QString::number(int(pnlKereses->IgnoreAccents()))}});
        FOptionsChanged = false;
    }
    Places().Save();
}

void TReaderNavigation::SetWrapLines(bool wrap)
{
    if (mniTordeles->isChecked() != wrap) {
        const QSignalBlocker quiet(mniTordeles);
        mniTordeles->setChecked(wrap);
    }
    FView->SetWrapLines(wrap);
}

void TReaderNavigation::LeaveCollection()
{
    if (!FPath.isEmpty() && FView->JokeCount() > 0)
        Places().Remember(FPath, FView->TopJoke());
}

void TReaderNavigation::EnterCollection(const QString &path)
{
    FPath = path;
    FLastRandom = -1;
    const int place = Places().PlaceOf(path);
    if (place > 0 && FView->JokeCount() > 0)
        FView->ShowJokeAtTop(qMin(place, FView->JokeCount() - 1));
    pnlKereses->JokesReplaced();
}

void TReaderNavigation::ShowJoke(int number)
{
    FView->ShowJokeAtTop(number - 1);
}

void TReaderNavigation::mniUgrasClick()
{
    const int count = FView->JokeCount();
    if (count == 0)
        return;
    QInputDialog dialog(FForm);
    dialog.setObjectName(QStringLiteral("dlgUgras"));
    dialog.setWindowTitle(QStringLiteral("Ugrás viccre"));
    dialog.setLabelText(QStringLiteral("Hányadik viccet mutassam? (1–%1)").arg(count));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(1, count);
    dialog.setIntValue(FView->TopJoke() + 1);
    if (dialog.exec() == QDialog::Accepted)
        ShowJoke(dialog.intValue());
}

void TReaderNavigation::mniVeletlenClick()
{
    const int count = FView->JokeCount();
    if (count == 0)
        return;
    int pick = QRandomGenerator::global()->bounded(count);
    if (count >= 2) {
        // Any joke but the one shown last: one of the others, each as likely.
        const int shown = FLastRandom >= 0 ? FLastRandom : FView->TopJoke();
        pick = QRandomGenerator::global()->bounded(count - 1);
        if (pick >= shown)
            ++pick;
    }
    FLastRandom = pick;
    FView->ShowJokeAtTop(pick);
}
