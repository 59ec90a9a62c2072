// The main window's settings, event sounds, collections menu and colour
// scheme menu.
#include "app/Main.h"

#include "app/JokeView.h"
#include "app/Settings.h"
#include "platform/AppError.h"
#include "platform/Paths.h"

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QToolButton>

namespace {
// Position of the first recent-file item: after "Viccek letöltése
// Internetről", "Vicc megnyitás", "Bezár" and the separator.
constexpr int FirstRecentItem = 4;
constexpr int RecentItemImage = 0;
const QString JokeFileFilter = QStringLiteral("Vicc file-ok (*.vicc)");
const QString FortuneFileFilter = QStringLiteral("Fortune file-ok (*)");

// A menu caption shows '&' as it is instead of taking it for a mnemonic.
QString PlainCaption(const QString &text)
{
    QString caption = text;
    return caption.replace(u'&', QStringLiteral("&&"));
}
} // namespace

void Tfrm_Main::ConnectMenuAndSoundHandlers()
{
    connect(mnuKategoria, &QMenu::aboutToShow, this, Guarded([this] { mnuKategoriaPopup(); }));
    connect(mnuViccNyit, &QAction::triggered, this, Guarded([this] { mnuViccNyitClick(); }));
    connect(tbKategoria, &QToolButton::clicked, this, Guarded([this] { mnuViccNyitClick(); }));

    connect(pmSzinek, &QMenu::aboutToShow, this, Guarded([this] { pmSzinekPopup(); }));
    connect(mniAlapertek, &QAction::triggered, this, Guarded([this] { mniAlapertekClick(); }));
    connect(mniEgszinkek, &QAction::triggered, this, Guarded([this] { mniEgszinkekClick(); }));
    connect(mniNaplemente, &QAction::triggered, this, Guarded([this] { mniNaplementeClick(); }));
    connect(mniViragos, &QAction::triggered, this, Guarded([this] { mniViragosClick(); }));
    connect(tbSzinek, &QToolButton::clicked, this, Guarded([this] { mniAlapertekClick(); }));
    // The Alt shortcuts of the schemes work anywhere in the window.
    addActions({mniAlapertek, mniEgszinkek, mniNaplemente, mniViragos});

    connect(tbHangok, &QToolButton::clicked, this, Guarded([this] { tbHangokClick(); }));
}

// ---------------------------------------------------------------------------
// Settings

void Tfrm_Main::LoadSettings()
{
    const SettingsValues v =
        SettingsFile(SettingsPath).LoadSettings(ProgramFolder(), width(), height());
    PathSetting = v.Path;
    SoundSetting = v.Sound;
    SchemeNumber = v.Color;
    StartLeft = v.Left;
    StartTop = v.Top;
    StartWidth = v.Width;
    StartHeight = v.Height;
}

void Tfrm_Main::SaveSettings()
{
    SettingsFile(SettingsPath).SaveSettings(
        {PathSetting, SoundSetting, SchemeNumber, BoundsLeft(), BoundsTop(), width(), height()});
}

void Tfrm_Main::LoadRecentFiles(QStringList &list) const
{
    SettingsFile(SettingsPath).LoadRecentFiles(list);
}

void Tfrm_Main::SaveRecentFiles()
{
    SettingsFile(SettingsPath).SaveRecentFiles(FRecentFiles);
}

// ---------------------------------------------------------------------------
// Event sounds

void Tfrm_Main::PlayEventSound(const QString &eventName)
{
    if (!tbHangok->isChecked() || FSoundDeviceMissing)
        return;
    RunGuarded([&] {
        try {
            mp->Open(SoundFolder + u'/' + eventName + QStringLiteral(".wav"));
        } catch (const SoundDeviceError &) {
            // Said once; asking again at every click would only repeat it.
            FSoundDeviceMissing = true;
            throw;
        }
        mp->Play();
    });
}

void Tfrm_Main::tbHangokClick()
{
    // Using the switch asks for the device again. The button has already
    // changed its state: switching on is heard, switching off is silent.
    FSoundDeviceMissing = false;
    PlayEventSound(QStringLiteral("onSound"));
    SoundSetting = tbHangok->isChecked();
}

// ---------------------------------------------------------------------------
// Collections menu

QList<QAction *> Tfrm_Main::RecentFileItems() const
{
    return mnuKategoria->actions().mid(FirstRecentItem);
}

void Tfrm_Main::RemoveRecentFileItems()
{
    for (QAction *item : RecentFileItems()) {
        mnuKategoria->removeAction(item);
        delete item;
    }
}

void Tfrm_Main::AddRecentFileItems()
{
    const QIcon &icon = imglMain[RecentItemImage];
    for (int k = 0; k < FRecentFiles.size(); ++k) {
        const QString name = NamePart(FRecentFiles[k]);
        auto *item = new QAction(icon, PlainCaption(name), mnuKategoria);
        item->setData(k);
        item->setStatusTip(name);
        connect(item, &QAction::triggered, this, Guarded([this, item] { RecentFileClick(item); }));
        mnuKategoria->addAction(item);
    }
}

void Tfrm_Main::BuildCollectionsMenu()
{
    RemoveRecentFileItems();
    AddRecentFileItems();
}

void Tfrm_Main::ReloadCollectionsMenu()
{
    RemoveRecentFileItems();
    FRecentFiles.clear();
    LoadRecentFiles(FRecentFiles);
    AddRecentFileItems();
    sbxMain->Clear();
}

void Tfrm_Main::RecentFileClick(QAction *sender)
{
    FFileIndex = sender->data().toInt();
    OpenJokeFile(FRecentFiles.value(FFileIndex), false);
}

void Tfrm_Main::mnuViccNyitClick()
{
    // The dialog lives for one choice. Kept, Qt's own dialog would go on
    // completing a name typed just before Enter once its folder is read, and
    // leave the completion list on the screen after the dialog has closed.
    QFileDialog dialog(this, QStringLiteral("Viccelődjünk ..."));
    dialog.setObjectName(QStringLiteral("odMain"));
    dialog.setNameFilters({JokeFileFilter, FortuneFileFilter});
    dialog.setDefaultSuffix(QStringLiteral("vicc"));
    // Fortune files have no extension: a name typed under their filter is
    // taken as it is.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter == FortuneFileFilter ? QString() : QStringLiteral("vicc"));
    });
    // A typed name is accepted whether or not a file of that name exists;
    // OpenJokeFile ignores a name without a file.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!LastOpenedFile.isEmpty()) {
        dialog.setDirectory(FolderPart(LastOpenedFile));
        dialog.selectFile(LastOpenedFile);
    }
    odMain = &dialog;
    const int result = dialog.exec();
    odMain = nullptr;
    const QStringList chosen = dialog.selectedFiles();
    if (result == QDialog::Accepted && !chosen.isEmpty())
        OpenJokeFile(chosen.front(), true);
}

void Tfrm_Main::mnuKategoriaPopup()
{
    PlayEventSound(QStringLiteral("onPopup"));
}

// ---------------------------------------------------------------------------
// Colour scheme menu

void Tfrm_Main::mniAlapertekClick()
{
    PlayEventSound(QStringLiteral("onMenuClick"));
    ApplyColorScheme(1);
}

void Tfrm_Main::mniEgszinkekClick()
{
    PlayEventSound(QStringLiteral("onMenuClick"));
    ApplyColorScheme(2);
}

void Tfrm_Main::mniNaplementeClick()
{
    PlayEventSound(QStringLiteral("onMenuClick"));
    ApplyColorScheme(3);
}

void Tfrm_Main::mniViragosClick()
{
    PlayEventSound(QStringLiteral("onMenuClick"));
    ApplyColorScheme(4);
}

void Tfrm_Main::pmSzinekPopup()
{
    PlayEventSound(QStringLiteral("onPopup"));
}
