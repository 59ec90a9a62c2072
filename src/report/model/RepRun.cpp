// The band engine: one run of a report onto a printer, column and page
// flow, and the two entry points (modal preview, direct print). The bands'
// and printables' parts of a run live with them (RepBandRun.cpp,
// RepPrintable.cpp).

#include "report/model/RepReport.h"

#include "platform/AppError.h"
#include "platform/Canvas.h"
#include "report/model/RepControllers.h"
#include "report/expr/RepExpr.h"
#include "report/output/RepNotices.h"
#include "report/preview/RepPrintDialog.h"
#include "report/model/RepPrintable.h"
#include "report/output/RepPrinter.h"
#include "report/preview/RepProgressForm.h"
#include "platform/Rounding.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <memory>
#include <optional>

namespace {

// The height of a band together with its chain of child bands (Native).
double HeightWithChildren(TRepCustomBand *band)
{
    double h = 0;
    int guard = 0;
    for (TRepCustomBand *b = band; b && guard++ < 10000; b = b->ChildBand())
        h += b->Size().Height();
    return h;
}

} // namespace

// ---- one run ----

// One run of the report on one printer. Made when the run starts (the
// report is busy from then on), it puts the report back whole when it goes,
// however the run ends: its units, the printables' and controllers' run
// state, the evaluator's preparation, the printer of the run and Idle; and
// it tells the printer's client that the run is over. Closing the document
// is left to Close, which the run calls on every way out once a document is
// open, so that an error while closing reaches the caller instead of
// escaping a destructor.
class TRepCustomReport::TRunScope
{
public:
    TRunScope(TRepCustomReport &report, TRepPrinter &printer);
    ~TRunScope();
    TRunScope(const TRunScope &) = delete;
    TRunScope &operator=(const TRunScope &) = delete;

    // Switches the report to Native, hands its settings to the printer,
    // opens the document and puts the cursor before the first page.
    void OpenDocument();
    // Compiles the functions and prepares the controllers and printables.
    void Prepare();
    // Ends the report's part of the run, then closes the document, or
    // abandons it when the run was cancelled.
    void Close();

private:
    void HandSettingsToPrinter();
    void BeginPrinting(const std::vector<TRepPrintable *> &printables);
    void Unwind();

    TRepCustomReport &FReport;
    TRepPrinter &FPrinter;
    std::optional<TRepUnit> FUnits; // the report's units while it runs in Native
    bool FDocumentOpen = false;
    bool FEntriesCompiled = false;
    bool FControllersPrepared = false;
    std::vector<TRepPrintable *> FBegun;
};

TRepCustomReport::TRunScope::TRunScope(TRepCustomReport &report, TRepPrinter &printer)
    : FReport(report), FPrinter(printer)
{
    FReport.FIdle = false;
    FReport.FCancelled = FReport.FOnLastPage = false;
    FReport.FForcedColumnArmed = FReport.FSkipNextForcedPage = false;
    FReport.FRunPrinter = &printer;
}

TRepCustomReport::TRunScope::~TRunScope()
{
    Unwind();
    FReport.FRunPrinter = nullptr;
    FReport.FIdle = true;
    FPrinter.AnnounceRunEnded();
}

void TRepCustomReport::TRunScope::HandSettingsToPrinter()
{
    const TRepPage &page = *FReport.FPage;
    const TRepReportPrinterSettings &settings = FReport.PrinterSettings;
    FPrinter.SetDeviceIndex(settings.PrinterIndex);
    FPrinter.SetPaperSize(page.PaperSize());
    if (FPrinter.PaperSize() == TRepPaperSize::Custom) {
        FPrinter.SetSheetWidth(Nearest(page.Width()));
        FPrinter.SetSheetLength(Nearest(page.Length()));
    }
    FPrinter.SetOrientation(page.Orientation());
    FPrinter.SetCopies(settings.Copies);
    FPrinter.SetOutputBin(settings.OutputBin);
    FPrinter.SetFirstPage(settings.FirstPage);
    FPrinter.SetLastPage(settings.LastPage);
    FPrinter.SetTitle(FReport.ReportTitle);
    FPrinter.SetCompression(FReport.Options.testFlag(TRepReportOption::Compression));
}

void TRepCustomReport::TRunScope::OpenDocument()
{
    TRepCustomReport &r = FReport;
    FUnits = r.Units();
    r.SetUnits(TRepUnit::Native);
    HandSettingsToPrinter();
    FPrinter.OpenDocument();
    FDocumentOpen = true;

    r.FCursorY = -1;
    r.FPagesStarted = 0;
    r.FColumnIndex = r.FPage->Columns(); // the first column advance starts a page
    r.FFooterReserve = 0;
    for (TRepControl *c : r.ChildControls())
        if (auto *band = qobject_cast<TRepCustomBand *>(c))
            if (band->BandType() == TRepBandType::rbPageFooter && band->Enabled())
                r.FFooterReserve += HeightWithChildren(band);
    r.FCursorX = Nearest(r.FPage->LeftMargin());
}

void TRepCustomReport::TRunScope::Prepare()
{
    TRepCustomReport &r = FReport;
    r.FController->CollectSubControllers();
    GlobalEnvironment().CompileEntries();
    r.FFunctions->SetDatasets(&r.FDatasets);
    r.FFunctions->CompileEntries();
    FEntriesCompiled = true;
    r.FPageNumberElement = r.FFunctions->FindConstant(QStringLiteral("PAGENUMBER"));
    r.FColumnNumberElement = r.FFunctions->FindConstant(QStringLiteral("COLUMNNUMBER"));
    r.FTitleElement = r.FFunctions->FindConstant(QStringLiteral("REPORTTITLE"));
    TRepEvEnvironment::StoreString(r.FTitleElement, r.ReportTitle);
    r.FController->PrepareRun();
    FControllersPrepared = true;
    BeginPrinting(r.AllBandPrintables());
    BeginPrinting(r.OverlayPrintables());
}

void TRepCustomReport::TRunScope::BeginPrinting(const std::vector<TRepPrintable *> &printables)
{
    for (TRepPrintable *p : printables) {
        FBegun.push_back(p);
        p->BeginPrinting();
    }
}

void TRepCustomReport::TRunScope::Unwind()
{
    TRepCustomReport &r = FReport;
    if (FUnits)
        r.SetUnits(*FUnits);
    FUnits.reset();
    for (TRepPrintable *p : FBegun)
        p->EndPrinting();
    FBegun.clear();
    if (FControllersPrepared)
        r.FController->FinishRun();
    FControllersPrepared = false;
    if (FEntriesCompiled) {
        r.FFunctions->ReleaseEntries();
        GlobalEnvironment().ReleaseEntries();
    }
    FEntriesCompiled = false;
    r.FPageNumberElement = r.FColumnNumberElement = r.FTitleElement = nullptr;
}

void TRepCustomReport::TRunScope::Close()
{
    Unwind();
    if (!FDocumentOpen)
        return;
    FDocumentOpen = false;
    if (FReport.RunCancelled()) {
        FReport.FCancelled = true;
        FPrinter.AbandonDocument();
    } else {
        FPrinter.CloseDocument();
    }
}

void TRepCustomReport::GenerateReport(TRepPrinter &printer)
{
    if (!FIdle)
        return;
    DropMarginsWithoutRoom();
    TRunScope run(*this, printer);

    bool printReport = true;
    if (BeforePrint)
        BeforePrint(this, printReport);
    if (!printReport)
        return;

    run.OpenDocument();
    try {
        run.Prepare();
        FController->RunController();
        FinishLastPage();
    } catch (...) {
        // The document is closed on the way out; should closing fail as
        // well, that error is the one the caller gets.
        run.Close();
        throw;
    }
    run.Close();
}

void TRepCustomReport::DropMarginsWithoutRoom()
{
    const TRepUnit units = FPage->Units();
    FPage->SetUnits(TRepUnit::Native);
    if (FPage->Width() - FPage->LeftMargin() - FPage->RightMargin() < 0) {
        FPage->SetLeftMargin(0);
        FPage->SetRightMargin(0);
    }
    if (FPage->Length() - FPage->TopMargin() - FPage->BottomMargin() < 0) {
        FPage->SetTopMargin(0);
        FPage->SetBottomMargin(0);
    }
    FPage->SetUnits(units);
}

void TRepCustomReport::FinishLastPage()
{
    FCursorX = Nearest(FPage->LeftMargin());
    FOnLastPage = true;
    if (!RunCancelled())
        FinishPage();
}

TRepPrinter *TRepCustomReport::Printer() const
{
    return FRunPrinter ? FRunPrinter : FPrinter.get();
}

Canvas &TRepCustomReport::RunCanvas()
{
    Canvas *page = FRunPrinter->PageCanvas();
    if (!FCanvasTap)
        return *page;
    FCanvasTap->Attach(page);
    return *FCanvasTap;
}

bool TRepCustomReport::RunCancelled() const
{
    return FCancelled || (FRunPrinter && FRunPrinter->Cancelled());
}

// ---- page and column flow ----

void TRepCustomReport::PlaceBand(TRepCustomBand *band)
{
    if (!band)
        return;
    if (band->AlignToBottom) {
        if (band->BandType() == TRepBandType::rbSummary &&
            !Options.testFlag(TRepReportOption::LastPageFooter))
            FFooterReserve = 0;
        const int y = Nearest(SheetLength() - FPage->BottomMargin() - band->Size().Height() -
                              FFooterReserve);
        if (FCursorY < y)
            FCursorY = y;
    }
    band->EmitBand();
}

double TRepCustomReport::SheetLength() const
{
    if (!FRunPrinter)
        return FPage->Length();
    const TRepPrinter &printer = *FRunPrinter;
    const bool landscape = printer.Orientation() == TPrinterOrientation::poLandscape;
    if (landscape && printer.PaperSize() != TRepPaperSize::Custom)
        return printer.SheetWidth();
    return printer.SheetLength();
}

int TRepCustomReport::SpaceLeft() const
{
    if (FIdle || FCursorY == -1)
        return 0;
    return Nearest(SheetLength() - FPage->BottomMargin() - FFooterReserve - FCursorY);
}

void TRepCustomReport::AdvanceColumn()
{
    const int columns = FPage->Columns();
    if (FColumnIndex >= columns) {
        FColumnIndex = 1;
        FCursorX = Nearest(FPage->LeftMargin());
        StartNewPage();
    } else {
        int w;
        if (TRepCustomBand *detail = BandOfType(TRepBandType::rbDetail))
            w = Nearest(detail->Size().Width());
        else
            w = (Nearest(FPage->Width() - (FPage->LeftMargin() + FPage->RightMargin())) -
                 Nearest(FPage->ColumnSpace()) * (columns - 1)) /
                columns;
        FCursorX += Nearest(FPage->ColumnSpace()) + w;
        FCursorY = FColumnTop;
        ++FColumnIndex;
    }
    TRepEvEnvironment::StoreInteger(FColumnNumberElement, FColumnIndex);
    if (!(FColumnIndex == 1 && FPagesStarted == 1))
        PlaceBand(BandOfType(TRepBandType::rbColumnHeader));
}

void TRepCustomReport::StartNewPage()
{
    FinishPage();
    ++FPagesStarted;
    TRepEvEnvironment::StoreInteger(FPageNumberElement, FPagesStarted);
    FRunPrinter->AdvancePage();
    // The page just finished has been announced: let the preview show it.
    // A print request or a second preview arriving here is refused, as the
    // report is not idle.
    if (FPagesStarted > 1)
        QCoreApplication::processEvents();
    FCursorY = Nearest(FPage->TopMargin());
    if (OnStartPage)
        OnStartPage(this);
    if (FPagesStarted > 1 || Options.testFlag(TRepReportOption::FirstPageHeader))
        PlaceBand(BandOfType(TRepBandType::rbPageHeader));
    FColumnTop = FCursorY;
    if (FPagesStarted == 1)
        if (TRepCustomBand *title = BandOfType(TRepBandType::rbTitle))
            FColumnTop += Nearest(title->Size().Height());
}

void TRepCustomReport::FinishPage()
{
    if (FPagesStarted < 1)
        return;
    FCursorY = Nearest(FPage->Length() - FPage->BottomMargin() - FFooterReserve);
    FCursorX = Nearest(FPage->LeftMargin());
    if (!FOnLastPage || Options.testFlag(TRepReportOption::LastPageFooter))
        PlaceBand(BandOfType(TRepBandType::rbPageFooter));
    DrawPageOverlay();
    if (OnEndPage)
        OnEndPage(this);
}

void TRepCustomReport::DrawPageOverlay()
{
    for (TRepPrintable *p : OverlayPrintables())
        p->PrintAt(0, 0);
    if (!FFrame.AnySide() || !FRunPrinter)
        return;
    const TRepPrinter &printer = *FRunPrinter;
    FFrame.Paint(RunCanvas(), printer.ToDeviceX(FPage->LeftMargin()),
                 printer.ToDeviceY(FPage->TopMargin()),
                 printer.ToDeviceX(FPage->Width() - FPage->RightMargin()),
                 printer.ToDeviceY(FPage->Length() - FPage->BottomMargin()), printer.XScale(),
                 printer.YScale());
}

void TRepCustomReport::ForcedColumnBreak()
{
    if (FIdle)
        return;
    if (FForcedColumnArmed || FColumnIndex > 1)
        AdvanceColumn();
    else
        FForcedColumnArmed = true;
}

void TRepCustomReport::ForcedPageBreak()
{
    if (FIdle)
        return;
    if (FSkipNextForcedPage) {
        FSkipNextForcedPage = false;
        return;
    }
    do
        AdvanceColumn();
    while (FColumnIndex != 1);
}

void TRepCustomReport::CancelRun()
{
    if (FIdle)
        return;
    FCancelled = true;
    if (FRunPrinter)
        FRunPrinter->RequestCancel();
}

// ---- entry points ----

std::unique_ptr<TRepPrinter> TRepCustomReport::NewPrinter()
{
    auto printer = std::make_unique<TRepPrinter>();
    printer->AfterPreviewHandler = [this] {
        if (AfterPreview)
            AfterPreview(this);
    };
    printer->AfterPrintHandler = [this] {
        if (AfterPrint)
            AfterPrint(this);
    };
    return printer;
}

void TRepCustomReport::RunModalPreview()
{
    QCoreApplication::processEvents();
    if (!FIdle)
        return;
    std::unique_ptr<TRepPrinter> fresh = NewPrinter();
    if (FPrinter)
        fresh->SetClient(FPrinter->Client());
    FPrinter = std::move(fresh);
    TRepPrinter &printer = *FPrinter;
    printer.SetDestination(TRepPrinter::DestPageStore);
    printer.SetMaster(this);
    printer.PrintSetupHandler = [this](QObject *) { PrintSetup(); };
    printer.ExportHandler = nullptr; // no export filters are registered
    printer.SetTitle(ReportTitle);
    if (OnPreview)
        printer.PreviewHandler = [this](TRepPrinter &p) { OnPreview(&p); };
    printer.ShowPreview();

    GenerateReport(printer);

    if (FCancelled) {
        FPrinter.reset();
        return;
    }
    // The preview-closed notice frees the printer from inside this loop, so
    // the reference is read again after every event.
    while (FPrinter && FPrinter->ShowingPreview() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TRepCustomReport::RunDirectPrint()
{
    if (!FIdle)
        return;
    // The printer kept for the preview stays as it is; the direct print
    // runs on a printer of its own, freed when it is done.
    const std::unique_ptr<TRepPrinter> printer = NewPrinter();
    if (!printer->PrinterOK())
        return;
    printer->SetDestination(TRepPrinter::DestPrinter);
    TRepProgressForm progress(printer.get());
    if (ShowProgress)
        progress.show();
    printer->SetClient(&progress);
    GenerateReport(*printer);
}

void TRepCustomReport::PreviewClosed()
{
    if (!FIdle) {
        CancelRun();
        return;
    }
    if (!FPrinter)
        return;
    if (FPrinter->ShowingPreview())
        FPrinter->SetShowingPreview(false);
    FPrinter.reset();
}

bool TRepCustomReport::event(QEvent *e)
{
    if (e->type() == RepPrintRequest()) {
        RunGuarded([this] { RunDirectPrint(); });
        return true;
    }
    if (e->type() == RepPreviewClosedNotice()) {
        RunGuarded([this] { PreviewClosed(); });
        return true;
    }
    return TRepControl::event(e);
}

void TRepCustomReport::PrintSetup()
{
    QPrinter device;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    const int index = PrinterSettings.PrinterIndex;
    if (index >= 0 && index < printers.size())
        device.setPrinterName(printers.at(index).printerName());
    device.setPageOrientation(FPage->Orientation() == poLandscape ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);

    TRepPrintDialog dialog;
    if (FPrinter && FPrinter->Status() == TRepPrinter::StatusFinished) {
        dialog.MinPage = 1;
        dialog.MaxPage = FPrinter->PageCount();
        dialog.FromPage = 1;
        dialog.ToPage = FPrinter->PageCount();
    } else {
        dialog.MinPage = 0;
        dialog.MaxPage = 9999;
    }
    dialog.Options = poPageNums | poWarning;
    dialog.Copies = PrinterSettings.Copies;
    if (!dialog.Execute(device)) {
        Tag = 1;
        return;
    }
    ApplyPrintSetup(dialog, device.printerName(),
                    device.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape
                                                                                 : poPortrait);
}

void TRepCustomReport::ApplyPrintSetup(const TRepPrintDialog &dialog, const QString &printerName,
                                       TPrinterOrientation orientation)
{
    PrinterSettings.Copies = dialog.Copies;
    PrinterSettings.PrinterIndex = -1;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    for (int i = 0; i < printers.size(); ++i)
        if (printers.at(i).printerName() == printerName)
            PrinterSettings.PrinterIndex = i;
    FPage->SetOrientation(orientation);
    if (dialog.PrintRange == TPrintRange::prPageNums) {
        PrinterSettings.FirstPage = dialog.FromPage;
        PrinterSettings.LastPage = dialog.ToPage;
    } else {
        PrinterSettings.FirstPage = 0;
        PrinterSettings.LastPage = 0;
    }
    Tag = 0;
}
