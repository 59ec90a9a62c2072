#include "report/preview/RepStandardPreview.h"

#include "platform/AppError.h"
#include "report/output/RepExportFilters.h"
#include "report/output/RepNotices.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepFindBar.h"
#include "report/preview/detail/RepPageField.h"
#include "report/preview/detail/RepPreviewGlyphs.h"
#include "report/preview/detail/RepPreviewImage.h"
#include "report/preview/detail/RepThumbnailPanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

TRepStandardPreview::FileChooser &SaveChooser()
{
    static TRepStandardPreview::FileChooser chooser;
    return chooser;
}

TRepStandardPreview::FileChooser &LoadChooser()
{
    static TRepStandardPreview::FileChooser chooser;
    return chooser;
}

TRepStandardPreview::MessageSink &Messages()
{
    static TRepStandardPreview::MessageSink sink;
    return sink;
}

TRepStandardPreview::RangeChooser &RangeChooser()
{
    static TRepStandardPreview::RangeChooser chooser;
    return chooser;
}

// The platform's dialog for the pages of an export: from and to.
std::optional<std::pair<int, int>> RunRangeDialog(QWidget *parent, int count)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export pages"));
    auto *form = new QFormLayout(&dialog);
    auto *from = new QSpinBox(&dialog);
    auto *to = new QSpinBox(&dialog);
    from->setRange(1, count);
    to->setRange(1, count);
    from->setValue(1);
    to->setValue(count);
    // The range never runs backwards.
    QObject::connect(from, &QSpinBox::valueChanged, to, [to](int v) { to->setMinimum(v); });
    form->addRow(QStringLiteral("From page:"), from);
    form->addRow(QStringLiteral("To page:"), to);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return std::pair{from->value(), to->value()};
}

// Whether FormKeyDown acts on key with mods.
bool WindowKey(int key, Qt::KeyboardModifiers mods)
{
    const bool ctrl = mods & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_F3: return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus: return ctrl;
    case Qt::Key_F:
        return (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == Qt::ControlModifier;
    default: return false;
    }
}

// A key typed into a text field that the field keeps for itself.
bool KeyOfTextField(const QObject *watched, int key)
{
    return qobject_cast<const QLineEdit *>(watched)
           && (key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_Escape);
}

void ShowMessage(const QString &text)
{
    if (Messages()) {
        Messages()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
    box.exec();
}

// The extension a Qt filter such as "PDF file (*.pdf)" gives a bare name.
QString SuffixOfFilter(const QString &filter)
{
    const qsizetype star = filter.lastIndexOf(QStringLiteral("*."));
    if (star < 0)
        return {};
    QString suffix = filter.mid(star + 2);
    const qsizetype end = suffix.indexOf(QRegularExpression(QStringLiteral("[ );]")));
    return end < 0 ? suffix : suffix.left(end);
}

// The platform's file dialog: the chosen file and the 1-based filter index.
TRepStandardPreview::FileChoice RunFileDialog(QWidget *parent, const QString &title, const QStringList &filters,
                                              const QString &defaultSuffix, bool save)
{
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultSuffix);
    // A bare name gets the extension of the filter chosen, not always ZRP.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, Guarded([&dialog](const QString &filter) {
                         const QString suffix = SuffixOfFilter(filter);
                         if (!suffix.isEmpty())
                             dialog.setDefaultSuffix(suffix);
                     }));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().first(), int(filters.indexOf(dialog.selectedNameFilter())) + 1};
}

// "A file exists" means a regular file (never a folder, FIFO or device).
bool RegularFileExists(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() && info.isFile();
}

struct ButtonSpec
{
    const char *name;
    const char *hint;
    QIcon glyph;
};

} // namespace

TRepStandardPreview::TRepStandardPreview(QWidget *owner, TRepPrinter *printer)
    : QMainWindow(owner), FRepPreview(new TRepPreview), FThumbnails(new TRepThumbnailPanel(FRepPreview)),
      FFindBar(new TRepFindBar(FRepPreview)), FProgressPanel(new QLabel), FPagePanel(new TRepPageField),
      FZoomPanel(new QLabel)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview"));
    resize(652, 579);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    BuildToolBar();
    BuildCentre();
    FRepPreview->OnPageAvailable = [this](TRepPreview *, int n) { RepPreviewPageAvailable(n); };
    FRepPreview->OnProgressUpdate = [this](TRepPreview *, int p) { RepPreviewProgressUpdate(p); };
    FRepPreview->OnRunEnded = [this](TRepPreview *) { OfferFinishedActions(); };
    FRepPreview->OnPageChanged = [this](TRepPreview *) { PageChanged(); };
    FRepPreview->OnZoomChanged = [this](TRepPreview *) { UpdateZoomButtons(); };
    FThumbnails->OnPageClicked = [this](int page) { GoToPage(page); };

    FProgressPanel->setObjectName(QStringLiteral("Panel0"));
    FProgressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FProgressPanel->setFixedWidth(40);
    FProgressPanel->setText(QStringLiteral("0%"));
    FPagePanel->setObjectName(QStringLiteral("Panel1"));
    FPagePanel->OnPageEntered = [this](int page) { GoToPage(page); };
    FPagePanel->SetReturnFocus(FRepPreview);
    FZoomPanel->setObjectName(QStringLiteral("ZoomPanel"));
    FZoomPanel->setToolTip(QStringLiteral("Zoom"));
    statusBar()->addWidget(FProgressPanel);
    statusBar()->addWidget(FPagePanel);
    statusBar()->addPermanentWidget(FZoomPanel);

    FRepPreview->SetShownPrinter(printer);
    FThumbnails->PagesReplaced();
    Button(QStringLiteral("ZoomToWidth"))->setChecked(true);
    FZoomPanel->setText(QStringLiteral("%1%").arg(FRepPreview->Zoom()));
    OfferStoredPageActions(printer && printer->Status() == TRepPrinter::StatusFinished);
    Button(QStringLiteral("PrintSetup"))->setEnabled(false);
    if (printer && !printer->Title().isEmpty())
        setWindowTitle(printer->Title());

    qApp->installEventFilter(this);
    setWindowState(windowState() | Qt::WindowMaximized);
}

TRepStandardPreview::~TRepStandardPreview()
{
    qApp->removeEventFilter(this);
}

TRepPrinter *TRepStandardPreview::Printer() const
{
    return FRepPreview->ShownPrinter();
}

void TRepStandardPreview::BuildToolBar()
{
    auto *bar = new QToolBar(QStringLiteral("ToolBar1"), this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setContentsMargins(2, 2, 2, 2);
    addToolBar(Qt::TopToolBarArea, bar);

    FZoomGroup = new QButtonGroup(this);
    FZoomGroup->setExclusive(true);
    enum Kind { Plain, Grouped, Toggle };
    const auto add = [&](const ButtonSpec &spec, void (TRepStandardPreview::*handler)(), Kind kind) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setToolTip(QString::fromLatin1(spec.hint));
        button->setIcon(spec.glyph);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCheckable(kind != Plain);
        if (kind == Grouped)
            FZoomGroup->addButton(button);
        connect(button, &QToolButton::clicked, this, Guarded([this, handler](bool) { (this->*handler)(); }));
        bar->addWidget(button);
    };

    bar->addSeparator(); // ToolButton1
    add({"ZoomFit", "Zoom to fit", PreviewGlyph(0)}, &TRepStandardPreview::ZoomToFitClick, Grouped);
    add({"Zoom100", "100%", PreviewGlyph(1)}, &TRepStandardPreview::ZoomTo100Click, Grouped);
    add({"ZoomToWidth", "Zoom to width", PreviewGlyph(2)}, &TRepStandardPreview::ZoomToWidthClick, Grouped);
    add({"ZoomOut", "Zoom out (Ctrl+-)", PreviewGlyph("zoom-out")}, &TRepStandardPreview::ZoomOutClick, Plain);
    add({"ZoomIn", "Zoom in (Ctrl++)", PreviewGlyph("zoom-in")}, &TRepStandardPreview::ZoomInClick, Plain);
    bar->addSeparator(); // Separator1
    add({"FirstPage", "First page", PreviewGlyph(3)}, &TRepStandardPreview::FirstPageClick, Plain);
    add({"PreviousPage", "Previous page", PreviewGlyph(4)}, &TRepStandardPreview::PrevPageClick, Plain);
    add({"ToolButton2", "Next page", PreviewGlyph(5)}, &TRepStandardPreview::NextPageClick, Plain);
    add({"LastPage", "Last page", PreviewGlyph(6)}, &TRepStandardPreview::LastPageClick, Plain);
    bar->addSeparator(); // Separator2
    add({"PrintSetup", "Printer setup", PreviewGlyph(7)}, &TRepStandardPreview::PrintSetupClick, Plain);
    add({"Print", "Print", PreviewGlyph(8)}, &TRepStandardPreview::PrintClick, Plain);
    bar->addSeparator(); // Separator3
    add({"SaveReport", "Save Report", PreviewGlyph(10)}, &TRepStandardPreview::SaveClick, Plain);
    add({"LoadReport", "Load Report", PreviewGlyph(9)}, &TRepStandardPreview::LoadClick, Plain);
    bar->addSeparator();
    add({"Thumbnails", "Thumbnails", PreviewGlyph("thumbnails")}, &TRepStandardPreview::ThumbnailsClick, Toggle);
    add({"Find", "Find (Ctrl+F)", PreviewGlyph("find")}, &TRepStandardPreview::FindClick, Plain);
    bar->addSeparator(); // Separator4

    auto *exit = new QToolButton(bar);
    exit->setObjectName(QStringLiteral("ExitButton"));
    exit->setText(QStringLiteral("&Close"));
    exit->setToolButtonStyle(Qt::ToolButtonTextOnly);
    exit->setMinimumSize(40, 22);
    exit->setFocusPolicy(Qt::NoFocus);
    connect(exit, &QToolButton::clicked, this, Guarded([this](bool) { ExitClick(); }));
    bar->addWidget(exit);
}

void TRepStandardPreview::BuildCentre()
{
    // The thumbnails beside the page, the find bar under it.
    auto *centre = new QWidget(this);
    auto *column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *split = new QSplitter(Qt::Horizontal, centre);
    split->setChildrenCollapsible(false);
    split->addWidget(FThumbnails);
    split->addWidget(FRepPreview);
    split->setStretchFactor(1, 1);
    FThumbnails->hide();
    FFindBar->setParent(centre);
    column->addWidget(split, 1);
    column->addWidget(FFindBar);
    setCentralWidget(centre);
}

QToolButton *TRepStandardPreview::Button(const QString &name) const
{
    return findChild<QToolButton *>(name);
}

QString TRepStandardPreview::ProgressText() const
{
    return FProgressPanel->text();
}

QString TRepStandardPreview::StatusText() const
{
    return FPagePanel->PanelText();
}

QString TRepStandardPreview::ZoomText() const
{
    return FZoomPanel->text();
}

void TRepStandardPreview::SetSaveChooser(FileChooser chooser)
{
    SaveChooser() = std::move(chooser);
}

void TRepStandardPreview::SetLoadChooser(FileChooser chooser)
{
    LoadChooser() = std::move(chooser);
}

void TRepStandardPreview::SetMessageSink(MessageSink sink)
{
    Messages() = std::move(sink);
}

void TRepStandardPreview::SetRangeChooser(RangeChooser chooser)
{
    ::RangeChooser() = std::move(chooser);
}

void TRepStandardPreview::UpdateStatusText()
{
    // Without pages there is no page on show either: "Page 0 of 0".
    const int count = Printer() ? Printer()->PageCount() : 0;
    FPagePanel->SetPage(count > 0 ? FRepPreview->PageNumber() : 0, count);
}

void TRepStandardPreview::UpdateZoomButtons()
{
    FZoomPanel->setText(QStringLiteral("%1%").arg(FRepPreview->Zoom()));
    QAbstractButton *down = nullptr;
    switch (FRepPreview->ZoomMode()) {
    case TRepPreview::ZoomFit: down = Button(QStringLiteral("ZoomFit")); break;
    case TRepPreview::ZoomWidth: down = Button(QStringLiteral("ZoomToWidth")); break;
    case TRepPreview::ZoomOther:
        if (FRepPreview->Zoom() == 100)
            down = Button(QStringLiteral("Zoom100"));
        break;
    }
    if (down) {
        down->setChecked(true);
        return;
    }
    // A zoom of its own: none of the three presets is down.
    FZoomGroup->setExclusive(false);
    for (QAbstractButton *button : FZoomGroup->buttons())
        button->setChecked(false);
    FZoomGroup->setExclusive(true);
}

void TRepStandardPreview::PageChanged()
{
    UpdateStatusText();
    FThumbnails->SetCurrentPage(FRepPreview->PageNumber());
    FFindBar->PageShown();
}

void TRepStandardPreview::PagesReplaced()
{
    FThumbnails->PagesReplaced();
    FThumbnails->SetCurrentPage(FRepPreview->PageNumber());
    FFindBar->PagesReplaced();
}

void TRepStandardPreview::OfferStoredPageActions(bool finished)
{
    // A run that made no page leaves nothing to print or save.
    const bool pages = finished && Printer() && Printer()->PageCount() > 0;
    Button(QStringLiteral("Print"))->setEnabled(pages);
    Button(QStringLiteral("SaveReport"))->setEnabled(pages);
    Button(QStringLiteral("LoadReport"))->setEnabled(finished);
}

void TRepStandardPreview::OfferFinishedActions()
{
    TRepPrinter *printer = Printer();
    OfferStoredPageActions(printer && printer->Status() == TRepPrinter::StatusFinished);
    Button(QStringLiteral("LoadReport"))->setEnabled(printer != nullptr);
    Button(QStringLiteral("PrintSetup"))->setEnabled(printer && !printer->ReportLoaded());
    UpdateStatusText();
}

void TRepStandardPreview::LetMessagesRun()
{
    QCoreApplication::processEvents();
}

// --- keys -------------------------------------------------------------------

void TRepStandardPreview::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers mods = shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const bool ctrlOnly = mods == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_PageUp: ctrlOnly ? FirstPageClick() : PrevPageClick(); break;
    case Qt::Key_PageDown: ctrlOnly ? LastPageClick() : NextPageClick(); break;
    case Qt::Key_Home: FirstPageClick(); break;
    case Qt::Key_End: LastPageClick(); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (mods & Qt::ControlModifier)
            ZoomInClick();
        break;
    case Qt::Key_Minus:
        if (mods & Qt::ControlModifier)
            ZoomOutClick();
        break;
    case Qt::Key_F:
        if (ctrlOnly)
            FindClick();
        break;
    case Qt::Key_F3:
        if (FFindBar->ResultText().isEmpty())
            FindClick();
        else if (mods & Qt::ShiftModifier)
            FFindBar->FindPrevious();
        else
            FFindBar->FindNext();
        break;
    default: break;
    }
}


bool TRepStandardPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const int code = key->key();
    const Qt::KeyboardModifiers mods = key->modifiers();
    if (!WindowKey(code, mods) || KeyOfTextField(watched, code))
        return false;
    RunGuarded([&] { FormKeyDown(code, mods); });
    return true;
}

// --- zoom and paging ---------------------------------------------------------

void TRepStandardPreview::ZoomToFitClick()
{
    QPointer<TRepStandardPreview> self(this);
    LetMessagesRun();
    if (self)
        FRepPreview->FitPage();
}

void TRepStandardPreview::ZoomTo100Click()
{
    QPointer<TRepStandardPreview> self(this);
    LetMessagesRun();
    if (self)
        FRepPreview->SetZoom(100);
}

void TRepStandardPreview::ZoomToWidthClick()
{
    QPointer<TRepStandardPreview> self(this);
    LetMessagesRun();
    if (self)
        FRepPreview->FitWidth();
}

void TRepStandardPreview::ZoomInClick()
{
    FRepPreview->ZoomIn();
}

void TRepStandardPreview::ZoomOutClick()
{
    FRepPreview->ZoomOut();
}

void TRepStandardPreview::ThumbnailsClick()
{
    const bool show = FThumbnails->isHidden();
    FThumbnails->setVisible(show);
    Button(QStringLiteral("Thumbnails"))->setChecked(show);
    if (show)
        FThumbnails->SetCurrentPage(FRepPreview->PageNumber());
}

void TRepStandardPreview::FindClick()
{
    FFindBar->Open();
}

void TRepStandardPreview::GoToPage(int page)
{
    FRepPreview->SetPageNumber(page);
    UpdateStatusText();
}

void TRepStandardPreview::FirstPageClick()
{
    FRepPreview->SetPageNumber(1);
    UpdateStatusText();
}

void TRepStandardPreview::PrevPageClick()
{
    FRepPreview->SetPageNumber(FRepPreview->PageNumber() - 1);
    UpdateStatusText();
}

void TRepStandardPreview::NextPageClick()
{
    FRepPreview->SetPageNumber(FRepPreview->PageNumber() + 1);
    UpdateStatusText();
}

void TRepStandardPreview::LastPageClick()
{
    if (Printer())
        FRepPreview->SetPageNumber(Printer()->PageCount());
    UpdateStatusText();
}

// --- printer notices -----------------------------------------------------------

void TRepStandardPreview::RepPreviewPageAvailable(int)
{
    UpdateStatusText();
    FThumbnails->PagesAvailable();
    FFindBar->PagesAvailable();
    if (Printer() && Printer()->Status() == TRepPrinter::StatusFinished)
        OfferFinishedActions();
}

void TRepStandardPreview::RepPreviewProgressUpdate(int progress)
{
    if (progress >= FLastProgress + 5) {
        FProgressPanel->setText(QStringLiteral("%1%").arg(progress));
        FLastProgress = progress;
    }
    if (progress == 0 || progress == 100)
        FProgressPanel->clear();
}

// --- printing, saving, loading --------------------------------------------------

void TRepStandardPreview::PrintSetupClick()
{
    if (Printer())
        Printer()->RunPrintSetup(Button(QStringLiteral("PrintSetup")));
}

void TRepStandardPreview::PrintClick()
{
    if (Printer())
        Printer()->PrintStoredPages();
}

void TRepStandardPreview::SaveClick()
{
    if (!Printer() || Printer()->Status() != TRepPrinter::StatusFinished)
        return;
    const TRepExportFilterLibrary &library = TRepExportFilterLibrary::Instance();
    const QStringList filters = QtFilterList(library.SaveFilterText());
    const QString title = QStringLiteral("Save report");
    const QString suffix = TRepExportFilterLibrary::ReportExtension();
    const FileChoice choice = SaveChooser() ? SaveChooser()(this, title, filters, suffix)
                                            : RunFileDialog(this, title, filters, suffix, true);
    if (choice.FileName.isEmpty() || !Printer())
        return;
    if (choice.FilterIndex <= 1) {
        Printer()->SaveReportFile(choice.FileName);
        return;
    }
    const size_t entry = size_t(choice.FilterIndex - 2);
    if (entry >= library.Filters().size())
        return;
    std::unique_ptr<TRepExportFilter> filter = library.Filters()[entry].Create(choice.FileName);
    if (!filter)
        return;
    const std::optional<std::pair<int, int>> range = ExportRange();
    if (!range || !Printer())
        return;
    filter->SetPageRange(range->first, range->second);
    Printer()->RunExport(*filter);
}

std::optional<std::pair<int, int>> TRepStandardPreview::ExportRange()
{
    const int count = Printer() ? Printer()->PageCount() : 0;
    if (count <= 1)
        return std::pair{1, count};
    return ::RangeChooser() ? ::RangeChooser()(this, count) : RunRangeDialog(this, count);
}

void TRepStandardPreview::LoadClick()
{
    if (!Printer() || Printer()->Status() == TRepPrinter::StatusBusy)
        return;
    const QString title = QStringLiteral("Load report");
    const QStringList filters = QtFilterList(TRepExportFilterLibrary::LoadFilterText());
    const QString suffix = TRepExportFilterLibrary::ReportExtension();
    const FileChoice choice = LoadChooser() ? LoadChooser()(this, title, filters, suffix)
                                            : RunFileDialog(this, title, filters, suffix, false);
    if (choice.FileName.isEmpty() || !Printer())
        return;
    if (!RegularFileExists(choice.FileName)) {
        ShowMessage(QStringLiteral("File does not exist"));
        return;
    }
    Printer()->LoadReportFile(choice.FileName);
    FRepPreview->SetPageNumber(1);
    FRepPreview->ReloadPage(); // page 1 of the file, also when page 1 was on show
    PagesReplaced();
    UpdateStatusText();
    Button(QStringLiteral("PrintSetup"))->setEnabled(false);
    OfferStoredPageActions(true);
}

// --- window ----------------------------------------------------------------------

void TRepStandardPreview::ExitClick()
{
    close();
}

void TRepStandardPreview::closeEvent(QCloseEvent *event)
{
    if (!FClosing) {
        FClosing = true;
        // The report may free the printer while handling the notice; the
        // printer detaches the preview control as it goes.
        if (TRepPrinter *printer = Printer())
            RunGuarded([printer] { printer->NotifyPreviewClosed(); });
    }
    event->accept();
}

void TRepStandardPreview::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    UpdateStatusText();
}

void TRepStandardPreview::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    RunGuarded([this] { FRepPreview->LayoutImage(); });
}

// --- the preview interface -------------------------------------------------------

QWidget *TRepStandardPreviewInterface::ShowPreview(TRepPrinter &printer)
{
    auto *window = new TRepStandardPreview(nullptr, &printer);
    window->show();
    return window;
}

QWidget *TRepStandardPreviewInterface::ShowModalPreview(TRepPrinter &printer)
{
    QPointer<TRepStandardPreview> window = new TRepStandardPreview(nullptr, &printer);
    window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
    return window.data();
}

void RegisterStandardPreviewInterface()
{
    SetPreviewInterfaceClass([] { return std::make_unique<TRepStandardPreviewInterface>(); });
}
