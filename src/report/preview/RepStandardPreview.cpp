#include "report/preview/RepStandardPreview.h"

#include "platform/AppError.h"
#include "report/output/RepExportFilters.h"
#include "report/output/RepNotices.h"
#include "report/preview/RepPreview.h"
#include "report/preview/detail/RepPreviewGlyphs.h"
#include "report/preview/detail/RepPreviewImage.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

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
    int glyph;
};

} // namespace

TRepStandardPreview::TRepStandardPreview(QWidget *owner, TRepPrinter *printer)
    : QMainWindow(owner), FRepPreview(new TRepPreview(this)), FProgressPanel(new QLabel), FPagePanel(new QLabel)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Print Preview"));
    resize(652, 579);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    BuildToolBar();
    setCentralWidget(FRepPreview);
    FRepPreview->OnPageAvailable = [this](TRepPreview *, int n) { RepPreviewPageAvailable(n); };
    FRepPreview->OnProgressUpdate = [this](TRepPreview *, int p) { RepPreviewProgressUpdate(p); };
    FRepPreview->OnRunEnded = [this](TRepPreview *) { OfferFinishedActions(); };

    FProgressPanel->setObjectName(QStringLiteral("Panel0"));
    FProgressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    FProgressPanel->setFixedWidth(40);
    FProgressPanel->setText(QStringLiteral("0%"));
    FPagePanel->setObjectName(QStringLiteral("Panel1"));
    FPagePanel->setMinimumWidth(50);
    FPagePanel->setText(QStringLiteral("Page"));
    statusBar()->addWidget(FProgressPanel);
    statusBar()->addWidget(FPagePanel, 1);

    FRepPreview->SetShownPrinter(printer);
    Button(QStringLiteral("ZoomToWidth"))->setChecked(true);
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

    auto *zoomGroup = new QButtonGroup(this);
    zoomGroup->setExclusive(true);
    const auto add = [&](const ButtonSpec &spec, void (TRepStandardPreview::*handler)(), bool grouped) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromLatin1(spec.name));
        button->setToolTip(QString::fromLatin1(spec.hint));
        button->setIcon(PreviewGlyph(spec.glyph));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        if (grouped) {
            button->setCheckable(true);
            zoomGroup->addButton(button);
        }
        connect(button, &QToolButton::clicked, this, Guarded([this, handler](bool) { (this->*handler)(); }));
        bar->addWidget(button);
    };

    bar->addSeparator(); // ToolButton1
    add({"ZoomFit", "Zoom to fit", 0}, &TRepStandardPreview::ZoomToFitClick, true);
    add({"Zoom100", "100%", 1}, &TRepStandardPreview::ZoomTo100Click, true);
    add({"ZoomToWidth", "Zoom to width", 2}, &TRepStandardPreview::ZoomToWidthClick, true);
    bar->addSeparator(); // Separator1
    add({"FirstPage", "First page", 3}, &TRepStandardPreview::FirstPageClick, false);
    add({"PreviousPage", "Previous page", 4}, &TRepStandardPreview::PrevPageClick, false);
    add({"ToolButton2", "Next page", 5}, &TRepStandardPreview::NextPageClick, false);
    add({"LastPage", "Last page", 6}, &TRepStandardPreview::LastPageClick, false);
    bar->addSeparator(); // Separator2
    add({"PrintSetup", "Printer setup", 7}, &TRepStandardPreview::PrintSetupClick, false);
    add({"Print", "Print", 8}, &TRepStandardPreview::PrintClick, false);
    bar->addSeparator(); // Separator3
    add({"SaveReport", "Save Report", 10}, &TRepStandardPreview::SaveClick, false);
    add({"LoadReport", "Load Report", 9}, &TRepStandardPreview::LoadClick, false);
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
    return FPagePanel->text();
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

void TRepStandardPreview::UpdateStatusText()
{
    const int count = Printer() ? Printer()->PageCount() : 0;
    FPagePanel->setText(QStringLiteral("Page %1 of %2").arg(FRepPreview->PageNumber()).arg(count));
}

void TRepStandardPreview::OfferStoredPageActions(bool finished)
{
    Button(QStringLiteral("Print"))->setEnabled(finished);
    Button(QStringLiteral("SaveReport"))->setEnabled(finished);
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
    switch (key->key()) {
    case Qt::Key_Escape:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
        const int code = key->key();
        const Qt::KeyboardModifiers mods = key->modifiers();
        RunGuarded([&] { FormKeyDown(code, mods); });
        return true;
    }
    default: return false;
    }
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
    if (filter)
        Printer()->RunExport(*filter);
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
    UpdateStatusText();
    Button(QStringLiteral("PrintSetup"))->setEnabled(false);
    Button(QStringLiteral("Print"))->setEnabled(true);
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
