#include "app/Main.h"

#include "app/About.h"
#include "app/Artwork.h"
#include "app/JokeCollection.h"
#include "app/JokeView.h"
#include "app/ListaNyom.h"
#include "app/Maker.h"
#include "app/Nyito.h"
#include "app/ReaderNavigation.h"
#include "app/StatusPanels.h"
#include "platform/AppError.h"
#include "platform/DataLocations.h"
#include "platform/JpegPicture.h"
#include "platform/Paths.h"
#include "report/output/RepPrinter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

Tfrm_Main *frm_Main = nullptr;

namespace {

constexpr int CoolBarHeight = 29;
constexpr int TitleStripHeight = 25;
constexpr int ButtonWidth = 27;
constexpr int ButtonHeight = 25;
// A drop-down button carries its arrow beside the face.
constexpr int DropDownButtonWidth = ButtonWidth + 13;
constexpr int SeparatorWidth = 8;

void SetBackground(QWidget *widget, ColorValue color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, ToQColor(color));
    widget->setPalette(pal);
}

QFont DesignFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    return font;
}

} // namespace

Tfrm_Main::Tfrm_Main(const QString &startFile, QWidget *parent)
    : QWidget(parent), StartFile(startFile)
{
    setObjectName(QStringLiteral("frm_Main"));
    setWindowTitle(QStringLiteral("Viccelődünk ..."));
    setFont(DesignFont());
    for (int k = 0; k < ToolbarImageCount; ++k)
        imglMain.push_back(ToolbarImage(k));
    BuildMenus();
    BuildLayout();
    CreateDesktopParts();
    CreateCollectionParts();
    Reader = new TReaderNavigation(this);
    setMinimumWidth(MainMinimumWidth);
    resize(MainDesignWidth, MainDesignHeight);
    frm_Main = this;
    SettingsPath = SettingsFilePath(ProgramFolder());
    SoundFolder = SoundFolderPath(ProgramFolder());
    mp = std::make_unique<WavePlayer>(MakeSoundOutput());
    ConnectMenuAndSoundHandlers();
    FormCreate();
}

Tfrm_Main::~Tfrm_Main()
{
    if (frm_Main == this)
        frm_Main = nullptr;
}

void Tfrm_Main::BuildMenus()
{
    auto icon = [this](int k) { return imglMain[size_t(k)]; };

    mnuKategoria = new QMenu(this);
    mnuKategoria->setObjectName(QStringLiteral("mnuKategoria"));
    mniViccForras = mnuKategoria->addAction(icon(11), QStringLiteral("Viccek letöltése Internetről"));
    mniViccForras->setObjectName(QStringLiteral("mniViccForras"));
    mniViccForras->setStatusTip(QString::fromLatin1(Maker::HomePage)
                                + QStringLiteral("/shared/letolt/kovirad/vicc/index.htm"));
    mnuViccNyit = mnuKategoria->addAction(icon(12), QStringLiteral("Vicc megnyitás"));
    mnuViccNyit->setObjectName(QStringLiteral("mnuViccNyit"));
    mnuViccNyit->setStatusTip(QStringLiteral("Vicc megnyitása"));
    Bezr1 = mnuKategoria->addAction(icon(9), QStringLiteral("Bezár"));
    Bezr1->setObjectName(QStringLiteral("Bezr1"));
    connect(Bezr1, &QAction::triggered, this, Guarded([this] { Bezr1Click(); }));
    N2 = mnuKategoria->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));

    pmSzinek = new QMenu(this);
    pmSzinek->setObjectName(QStringLiteral("pmSzinek"));
    auto schemeItem = [this](const char *name, const QString &caption, const QKeySequence &key) {
        QAction *item = pmSzinek->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setShortcut(key);
        return item;
    };
    mniAlapertek = schemeItem("mniAlapertek", QStringLiteral("Alapérték           "),
                              QKeySequence(Qt::ALT | Qt::Key_F));
    mniEgszinkek = schemeItem("mniEgszinkek", QStringLiteral("Égszínkék"), QKeySequence(Qt::ALT | Qt::Key_E));
    mniNaplemente = schemeItem("mniNaplemente", QStringLiteral("Naplemente"), QKeySequence(Qt::ALT | Qt::Key_P));
    mniViragos = schemeItem("mniViragos", QStringLiteral("Virágos rét"), QKeySequence(Qt::ALT | Qt::Key_S));

    pmTray = new QMenu(this);
    pmTray->setObjectName(QStringLiteral("pmTray"));
    Naptrprogrammegnyits1 = pmTray->addAction(icon(0), QStringLiteral("Viccelődjünk ..."));
    Naptrprogrammegnyits1->setObjectName(QStringLiteral("Naptrprogrammegnyits1"));
    Programbezrsa1 = pmTray->addAction(icon(9), QStringLiteral("Program bezárása"));
    Programbezrsa1->setObjectName(QStringLiteral("Programbezrsa1"));
    connect(Programbezrsa1, &QAction::triggered, this, Guarded([this] { Programbezrsa1Click(); }));
}

QToolButton *Tfrm_Main::AddButton(const char *name, int image, const QString &hint)
{
    auto *button = new QToolButton(tbrMain);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIcon(imglMain[size_t(image)]);
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(ButtonWidth, ButtonHeight);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    tbrMain->layout()->addWidget(button);
    return button;
}

QWidget *Tfrm_Main::AddSeparator(const char *name, int width)
{
    auto *separator = new QFrame(tbrMain);
    separator->setObjectName(QString::fromLatin1(name));
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setFixedSize(width, ButtonHeight - 4);
    tbrMain->layout()->addWidget(separator);
    return separator;
}

void Tfrm_Main::BuildToolbar()
{
    tbrMain = new QWidget(Panel1);
    tbrMain->setObjectName(QStringLiteral("tbrMain"));
    auto *row = new QHBoxLayout(tbrMain);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    tbKategoria = AddButton("tbKategoria", 0, QString());
    tbKategoria->setPopupMode(QToolButton::MenuButtonPopup);
    tbKategoria->setMenu(mnuKategoria);
    tbKategoria->setFixedWidth(DropDownButtonWidth);
    ToolButton1 = AddSeparator("ToolButton1", 9);
    tbTorol = AddButton("tbTorol", 1, QStringLiteral("Ez nem jó vicc"));
    ToolButton3 = AddSeparator("ToolButton3", SeparatorWidth);
    tbNyomtat = AddButton("tbNyomtat", 10, QStringLiteral("Nyomtatnám"));
    ToolButton2 = AddSeparator("ToolButton2", SeparatorWidth);
    tbSzinek = AddButton("tbSzinek", 3, QStringLiteral("Hogy a program szép legyen"));
    tbSzinek->setPopupMode(QToolButton::MenuButtonPopup);
    tbSzinek->setMenu(pmSzinek);
    tbSzinek->setFixedWidth(DropDownButtonWidth);
    ToolButton6 = AddSeparator("ToolButton6", SeparatorWidth);
    tbHangok = AddButton("tbHangok", 4, QStringLiteral("Hangok ki/be"));
    tbHangok->setCheckable(true);
    ToolButton5 = AddSeparator("ToolButton5", SeparatorWidth);
    tbHonlap = AddButton("tbHonlap", 11, QStringLiteral("Van még más is a honlapomon"));
    tbLevel = AddButton("tbLevel", 6, QStringLiteral("Remek vicceket szeretnék küldeni Koviradnak"));
    tbRegisztral = AddButton("tbRegisztral", 7, QStringLiteral("Szeretnék hírlevelet, új vicceket..."));
    ToolButton7 = AddSeparator("ToolButton7", SeparatorWidth);
    tbNevjegy = AddButton("tbNevjegy", 13, QStringLiteral("Névjegyem"));
    tbSysTray = AddButton("tbSysTray", 8, QStringLiteral("Tálcára vele (Esc)"));
    tbKilep = AddButton("tbKilep", 9, QStringLiteral("Már unom ezt a programot"));
    row->addStretch(1);

    connect(tbKilep, &QToolButton::clicked, this, Guarded([this] { tbKilepClick(); }));
    connect(tbNevjegy, &QToolButton::clicked, this, Guarded([this] { tbNevjegyClick(); }));
    connect(tbNyomtat, &QToolButton::clicked, this, Guarded([this] { tbNyomtatClick(); }));
}

void Tfrm_Main::BuildLayout()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAutoFillBackground(true);
    Panel1->setFixedHeight(CoolBarHeight);
    BuildToolbar();
    auto *band = new QHBoxLayout(Panel1);
    band->setContentsMargins(2, 2, 2, 2);
    band->addWidget(tbrMain);
    column->addWidget(Panel1);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel2->setLineWidth(1);
    Panel2->setAutoFillBackground(true);
    Panel2->setFixedHeight(TitleStripHeight);
    SetBackground(Panel2, 0x00FFFFFF);
    dfxnev = new QLabel(QStringLiteral("Zumoria"), Panel2);
    dfxnev->setObjectName(QStringLiteral("dfxnev"));
    dfxnev->setAlignment(Qt::AlignCenter);
    QFont titleFont(QStringLiteral("Comic Sans MS"));
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    dfxnev->setFont(titleFont);
    auto *strip = new QHBoxLayout(Panel2);
    strip->setContentsMargins(1, 1, 1, 1);
    strip->addWidget(dfxnev);
    column->addWidget(Panel2);

    Panel4 = new QFrame(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel4->setLineWidth(1);
    sbxMain = new TJokeView(Panel4);
    sbxMain->setObjectName(QStringLiteral("sbxMain"));
    sbxMain->SetColor(0x00FFCCCC);
    auto *frame = new QVBoxLayout(Panel4);
    frame->setContentsMargins(1, 1, 1, 1);
    frame->addWidget(sbxMain);
    column->addWidget(Panel4, 1);

    StatusBar1 = new TStatusPanels({200, 50}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    column->addWidget(StatusBar1);
}

void Tfrm_Main::FormCreate()
{
    auto *splash = new Tfrm_Nyito();
    splash->show();
    splash->repaint();

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, ToQColor(ToolTipColor));
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);
    ApplicationHint(QString());

    LoadSettings();

    sbxMain->SetViewCursor(HandCursor());
}

void Tfrm_Main::FormShow()
{
    tbHangok->setChecked(SoundSetting);
    const QRect start = FittedBounds(StartLeft, StartTop, StartWidth, StartHeight);
    SetBounds(start.x(), start.y(), start.width(), start.height());
    FRecentFiles.clear();
    FJokeLines.clear();
    ReloadCollectionsMenu();
    if (!StartFile.isEmpty() && CollectionExists(StartFile))
        OpenJokeFile(StartFile, true);
    else if (!FRecentFiles.isEmpty())
        OpenJokeFile(FRecentFiles.value(FFileIndex), false);
    ApplyColorScheme(SchemeNumber);
    PlayEventSound(QStringLiteral("onLoad"));
}

void Tfrm_Main::FormClose()
{
    PlayEventSound(QStringLiteral("onClose"));
    // A settings file that cannot be written shows its error; the window
    // closes all the same, so the user is never kept in the program.
    RunGuarded([this] {
        SaveRecentFiles();
        SaveSettings();
        Reader->SaveState();
    });
}

bool Tfrm_Main::FormCanResize(int newWidth, int)
{
    return newWidth >= MainMinimumWidth;
}

void Tfrm_Main::SetBounds(int left, int top, int width, int height)
{
    // Each change passes the minimum-width rule by itself: a refused width
    // leaves the height to apply.
    if (FormCanResize(width, this->height()))
        resize(width, this->height());
    resize(this->width(), height);
    move(left, top);
}

int Tfrm_Main::BoundsLeft() const
{
    return pos().x();
}

int Tfrm_Main::BoundsTop() const
{
    return pos().y();
}

void Tfrm_Main::ApplicationHint(const QString &hint)
{
    StatusBar1->SetPanelText(1, hint.isEmpty() ? QString::fromLatin1(ApplicationTitle) : hint);
}

QString Tfrm_Main::StatusText(int k) const
{
    return StatusBar1->PanelText(k);
}

void Tfrm_Main::ApplyColorScheme(int scheme)
{
    SchemeNumber = scheme;
    const SchemeColors colors = ColorsOfScheme(scheme);
    SetBackground(Panel1, colors.coolBar);
    sbxMain->SetColor(colors.jokeView);
    SetBackground(Panel2, colors.titleStrip);
    QPalette pal = dfxnev->palette();
    pal.setColor(QPalette::WindowText, ToQColor(colors.titleLabelText));
    dfxnev->setPalette(pal);
    sbxMain->SetPanelLook(PanelLookOfScheme(scheme));
}

void Tfrm_Main::OpenJokeFile(const QString &path, bool addToMenu)
{
    if (!CollectionExists(path))
        return;
    // Read before anything changes: a collection that cannot be read leaves
    // the list, the index, the view and the labels as they were.
    TCollectionFiles files = ReadCollectionFiles(path);

    LastOpenedFile = path;
    StatusBar1->SetPanelText(0, NamePart(path));
    // File names are case-sensitive here: entries are compared exactly.
    if (!FRecentFiles.contains(path)) {
        FRecentFiles.insert(0, path);
        if (FRecentFiles.size() > 4)
            FRecentFiles.removeAt(4);
        if (addToMenu)
            BuildCollectionsMenu();
    }
    FFileIndex = int(FRecentFiles.indexOf(path));
    // The collection on show goes before the new one is made.
    Reader->LeaveCollection();
    sbxMain->Clear();
    FJokeLines.clear();
    TJokeCollection collection =
        JokesOf(std::move(files), [](const QString &p) { return PictureCache::Instance().Size(p); });
    FJokeLines = std::move(collection.SourceLines);
    dfxnev->setText(NamePart(path));
    // An empty file leaves nothing to scroll.
    sbxMain->SetScrollRange(collection.ScrollRange);
    sbxMain->SetPanelLook(PanelLookOfScheme(SchemeNumber));
    sbxMain->SetJokes(std::move(collection.Jokes), collection.PictureDir, std::move(collection.Pictures));
    Reader->EnterCollection(path);
}

void Tfrm_Main::tbNyomtatClick()
{
    TrepLista &report = JokeListReport();
    if (QWidget *open = report.Printer() ? report.Printer()->Preview() : nullptr) {
        open->showMaximized();
        open->raise();
        open->activateWindow();
        return;
    }
    const std::vector<TPrintJoke> jokes = PrintJokesOf(sbxMain->Jokes());
    if (FFileIndex < 0 || FFileIndex >= FRecentFiles.size())
        throw AppError(QStringLiteral("List index out of bounds (%1)").arg(FFileIndex));
    report.SetPrintList(FRecentFiles.at(FFileIndex), PrintListOf(jokes));
    report.RunModalPreview();
}

void Tfrm_Main::tbKilepClick()
{
    close();
}

void Tfrm_Main::Bezr1Click()
{
    close();
}

void Tfrm_Main::Programbezrsa1Click()
{
    // From the tray the window is hidden, and Qt ends the event loop only
    // when a visible window closes.
    if (close() && !isVisible())
        QCoreApplication::quit();
}

void Tfrm_Main::tbNevjegyClick()
{
    Tfrm_About about;
    about.exec();
}

bool Tfrm_Main::event(QEvent *event)
{
    // The hint display: QWidget would let the tip travel on; here it only
    // ever lands in status panel 1 and leaves panel 0 alone.
    if (event->type() == QEvent::StatusTip) {
        RunGuarded([&] { ApplicationHint(static_cast<QStatusTipEvent *>(event)->tip()); });
        return true;
    }
    return QWidget::event(event);
}

void Tfrm_Main::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The show sequence runs once, at the first show; coming back from the
    // tray keeps the file, the scroll position and the bounds as they are.
    if (FShown)
        return;
    FShown = true;
    RunShowSequence();
}

void Tfrm_Main::closeEvent(QCloseEvent *event)
{
    // The close sequence never refuses the close.
    RunGuarded([this] { FormClose(); });
    event->accept();
}

void Tfrm_Main::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
}
