#pragma once
// Tfrm_Main: the main window of the joke viewer, with its whole state. From
// top to bottom: the cool bar carrying the toolbar, the title strip naming
// the joke file on show, the joke view, the status bar with two panels.

#include "app/ColorScheme.h"
#include "platform/WavePlayer.h"

#include <QIcon>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QMouseEvent;
class QToolButton;
class TDskStarter;
class TDskTrayIcon;
class TJokeView;
class TReaderNavigation;
class TStatusPanels;

// The minimum width of the main window.
inline constexpr int MainMinimumWidth = 522;
inline constexpr int MainDesignWidth = 522;
inline constexpr int MainDesignHeight = 430;
// The tool-tip colour 0x00B5DAFF (a light peach).
inline constexpr ColorValue ToolTipColor = 0x00B5DAFF;

class Tfrm_Main : public QWidget
{
    Q_OBJECT
public:
    // startFile: the joke file named on the command line (absolute), or empty.
    // The creation sequence runs inside the constructor.
    explicit Tfrm_Main(const QString &startFile = QString(), QWidget *parent = nullptr);
    ~Tfrm_Main() override;

    // Components, in the order of the window's design.
    QFrame *Panel2 = nullptr;        // title strip
    std::vector<QIcon> imglMain;     // 16 × 16 images of toolbar and menus
    QMenu *mnuKategoria = nullptr;   // collections menu
    QAction *mniViccForras = nullptr;
    QFrame *Panel4 = nullptr;        // frame around the joke view
    TJokeView *sbxMain = nullptr;    // the joke view
    QMenu *pmSzinek = nullptr;       // colour scheme menu
    QAction *mniAlapertek = nullptr;
    QAction *mniEgszinkek = nullptr;
    QAction *mniNaplemente = nullptr;
    QAction *mniViragos = nullptr;
    QMenu *pmTray = nullptr;         // menu of the tray icon
    QAction *Naptrprogrammegnyits1 = nullptr;
    QAction *Programbezrsa1 = nullptr;
    QAction *N3 = nullptr;           // separator before the joke of the day
    QAction *mniNapVicce = nullptr;  // the joke of the day
    QAction *mnuViccNyit = nullptr;
    QLabel *dfxnev = nullptr;        // title label: name of the joke file on show
    QWidget *Panel1 = nullptr;       // cool bar
    QWidget *tbrMain = nullptr;      // toolbar
    QToolButton *tbKategoria = nullptr;
    QWidget *ToolButton1 = nullptr;
    QToolButton *tbTorol = nullptr;
    QWidget *ToolButton3 = nullptr;
    QToolButton *tbNyomtat = nullptr;
    QWidget *ToolButton2 = nullptr;
    QToolButton *tbSzinek = nullptr;
    QWidget *ToolButton6 = nullptr;
    QToolButton *tbHangok = nullptr;
    QWidget *ToolButton5 = nullptr;
    QToolButton *tbHonlap = nullptr;
    QToolButton *tbLevel = nullptr;
    QToolButton *tbRegisztral = nullptr;
    QWidget *ToolButton7 = nullptr;
    QToolButton *tbNevjegy = nullptr;
    QToolButton *tbSysTray = nullptr;
    QToolButton *tbKilep = nullptr;
    TStatusPanels *StatusBar1 = nullptr;
    QAction *Bezr1 = nullptr;
    QAction *N2 = nullptr;
    // The hidden media player of the event sounds.
    std::unique_ptr<WavePlayer> mp;
    // The open-file dialog of the collections menu, while it is open.
    QFileDialog *odMain = nullptr;

    // Where the settings file and the sound files are; fixed when the window
    // is created (tests may point them elsewhere).
    QString SettingsPath;
    QString SoundFolder;
    TDskTrayIcon *trIcon = nullptr;  // tray icon
    TDskStarter *Exe = nullptr;      // launcher of the links
    // Find, go to, random joke, wrapping, places, the window's keys.
    TReaderNavigation *Reader = nullptr;

    // Window state.
    bool FDragging = false;
    int FDragLastY = 0;
    int FFileIndex = 0;
    QStringList FRecentFiles;
    QStringList FJokeLines;

    // Settings held in memory, with their built-in defaults.
    QString PathSetting;
    bool SoundSetting = true;
    int SchemeNumber = 1;
    int StartLeft = 10;
    int StartTop = 10;
    int StartWidth = MainDesignWidth;
    int StartHeight = MainDesignHeight;
    QString LastOpenedFile;

    // The joke file named on the command line (absolute), or empty.
    QString StartFile;

    // Sequences.
    void FormCreate();
    void FormShow();
    // "onClose", then the recent-files list and the settings are saved.
    // Errors are shown in the error box and never keep the window open.
    void FormClose();
    // The minimum-width rule: true when a change to newWidth is allowed.
    static bool FormCanResize(int newWidth, int newHeight);
    // Sets the bounds the way the program does: left and top are the outer
    // frame's corner, width and height the client size; a width below the
    // minimum is refused and the height still applies.
    void SetBounds(int left, int top, int width, int height);
    // The bounds fitted onto a screen as the window is shown: a width below
    // the minimum refused, the outer frame no larger than the screen's
    // available area and its title bar within reach. Bounds that fit come
    // back as they are.
    QRect FittedBounds(int left, int top, int width, int height) const;
    int BoundsLeft() const;
    int BoundsTop() const;

    // Hint display in status panel 1: the hint, or the application title.
    void ApplicationHint(const QString &hint);

    // Steps that the settings, collections menu, colour scheme and sound
    // features provide.
    void LoadSettings();
    void SaveRecentFiles();
    void SaveSettings();
    void ReloadCollectionsMenu();
    void BuildCollectionsMenu();
    void ApplyColorScheme(int scheme);
    // Plays the WAV file of the sound event (SoundFolder/<event>.wav) without
    // waiting, when the sound switch tbHangok is down; a new sound stops the
    // previous one. A sound that cannot be played (missing file, no sound,
    // no device) shows its error in the application error box and returns
    // normally, so the action it accompanies always goes on. A missing sound
    // device is shown once: sounds then stay silent until tbHangok is used.
    // Events: onLoad, onClose, onSysTray, onQuery, onDelete, onMenuClick,
    // onPopup, onSound.
    void PlayEventSound(const QString &eventName);

    // Settings file: LoadRecentFiles clears list and fills it from [File].
    void LoadRecentFiles(QStringList &list) const;

    // Collections menu. RecentFileClick opens the recent file whose item was
    // clicked (the item's data is its position); mnuViccNyitClick runs the
    // open dialog (also the face of tbKategoria); mnuKategoriaPopup plays
    // "onPopup" as the menu drops down.
    void RecentFileClick(QAction *sender);
    void mnuViccNyitClick();
    void mnuKategoriaPopup();
    // The recent-file items of mnuKategoria (those after the separator).
    QList<QAction *> RecentFileItems() const;

    // Colour scheme menu and the face of tbSzinek (scheme 1).
    void mniAlapertekClick();
    void mniEgszinkekClick();
    void mniNaplementeClick();
    void mniViragosClick();
    void pmSzinekPopup();
    // The sound switch: plays "onSound" (heard only when switched on; a
    // missing sound device is looked for again) and stores the new state in
    // SoundSetting.
    void tbHangokClick();

    // Opens the collection at path, a joke file, a fortune file or a folder
    // of fortune files (JokeCollection.h): records it in the recent-files
    // list, reads it and shows its jokes. Nothing happens when neither a
    // regular file nor a folder is there; a collection that cannot be read
    // raises the error and changes nothing.
    void OpenJokeFile(const QString &path, bool addToMenu);

    // Drag-scrolling and resizing of the joke view, deleting the joke file
    // on show, tray mode and the links (MainDesktop.cpp). CreateDesktopParts
    // makes the tray icon and the launcher and binds these handlers.
    void CreateDesktopParts();
    void sbxMainMouseDown(QMouseEvent *event);
    void sbxMainMouseMove(QMouseEvent *event);
    void sbxMainMouseUp(QMouseEvent *event);
    void sbxMainResize();
    void tbTorolClick();
    void tbSysTrayClick();
    // The key preview: Esc (27) puts the window into the tray.
    void FormKeyPress(QChar key);
    void Naptrprogrammegnyits1Click();
    void OpenLink(const QString &address);
    void tbHonlapClick();
    void tbLevelClick();
    void tbRegisztralClick();
    void mniViccForrasClick();

    // Files dropped on the window and the joke of the day (MainJokes.cpp).
    // CreateCollectionParts lets the window take drops and adds the joke of
    // the day to the tray menu. mniNapVicceClick shows one joke of the
    // collection on show, picked at random, as a desktop notification of the
    // tray icon; pmTrayPopup offers it only when there is a joke to tell.
    void CreateCollectionParts();
    void mniNapVicceClick();
    void pmTrayPopup();

    // Prints the jokes on show as the joke list (preview window first); a
    // second click while that preview is open brings it to the front.
    void tbNyomtatClick();

    // End commands and the About window.
    void tbKilepClick();
    void Bezr1Click();
    void Programbezrsa1Click();
    void tbNevjegyClick();

    // The text of status panel k.
    QString StatusText(int k) const;

    // Before the first show the window is placed where the show sequence
    // will put it, so that the window manager places its frame there.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // A joke file, fortune file or folder dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void BuildLayout();
    void BuildMenus();
    void BuildToolbar();
    QToolButton *AddButton(const char *name, int image, const QString &hint);
    QWidget *AddSeparator(const char *name, int width);
    void ConnectMenuAndSoundHandlers();
    void RemoveRecentFileItems();
    void AddRecentFileItems();
    // The show sequence at the first show; its errors are shown once the
    // window is on screen, where it is then fitted with its frame.
    void RunShowSequence();

    bool FShown = false;
    // The sound device was found missing; set until the sound switch is used.
    bool FSoundDeviceMissing = false;
};

// The application's one main window while it exists.
extern Tfrm_Main *frm_Main;
