// The band engine: one run of a report onto a printer, column and page
// flow, and the two entry points (modal preview, direct print).

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

namespace {

bool IsPageBound(TRepBandType type)
{
    return type == TRepBandType::rbTitle || type == TRepBandType::rbPageHeader ||
           type == TRepBandType::rbPageFooter || type == TRepBandType::rbOverlay;
}

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

Canvas &TRepCustomReport::RunCanvas()
{
    Canvas *page = FPrinter->PageCanvas();
    if (!FCanvasTap)
        return *page;
    FCanvasTap->Attach(page);
    return *FCanvasTap;
}

bool TRepCustomReport::RunCancelled() const
{
    return FCancelled || (FPrinter && FPrinter->Cancelled());
}

void TRepCustomReport::SetPrinterSettings()
{
    TRepPrinter &printer = *FPrinter;
    printer.SetDeviceIndex(PrinterSettings.PrinterIndex);
    printer.SetPaperSize(FPage->PaperSize());
    if (printer.PaperSize() == TRepPaperSize::Custom) {
        printer.SetSheetWidth(Nearest(FPage->Width()));
        printer.SetSheetLength(Nearest(FPage->Length()));
    }
    printer.SetOrientation(FPage->Orientation());
    printer.SetCopies(PrinterSettings.Copies);
    printer.SetOutputBin(PrinterSettings.OutputBin);
    printer.SetFirstPage(PrinterSettings.FirstPage);
    printer.SetLastPage(PrinterSettings.LastPage);
    printer.SetTitle(ReportTitle);
    printer.SetCompression(Options.testFlag(TRepReportOption::Compression));
}

void TRepCustomReport::GenerateReport()
{
    if (!FIdle || !FPrinter)
        return;

    // Margins that leave no room are dropped.
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

    FIdle = false;
    FCancelled = FOnLastPage = FForcedColumnArmed = FSkipNextForcedPage = false;

    bool printReport = true;
    if (BeforePrint) {
        try {
            BeforePrint(this, printReport);
        } catch (...) {
            FIdle = true;
            throw;
        }
    }
    if (!printReport) {
        FIdle = true;
        return;
    }

    // Everything a run changes is put back by this guard, also when the run
    // ends with an error, so the next preview or print starts from a whole
    // report.
    struct RunState
    {
        TRepCustomReport &report;
        TRepUnit units;
        bool documentOpen = false;
        bool entriesCompiled = false;
        std::vector<TRepPrintable *> begun;
        bool controllersPrepared = false;

        void Unwind()
        {
            report.SetUnits(units);
            for (TRepPrintable *p : begun)
                p->EndPrinting();
            begun.clear();
            if (controllersPrepared)
                report.FController->FinishRun();
            controllersPrepared = false;
            if (entriesCompiled) {
                report.FFunctions->ReleaseEntries();
                GlobalEnvironment().ReleaseEntries();
            }
            entriesCompiled = false;
            report.FPageNumberElement = report.FColumnNumberElement = report.FTitleElement = nullptr;
        }
        void CloseDocument()
        {
            if (!documentOpen || !report.FPrinter)
                return;
            documentOpen = false;
            if (report.RunCancelled()) {
                report.FCancelled = true;
                report.FPrinter->AbandonDocument();
            } else {
                report.FPrinter->CloseDocument();
            }
        }
    } state{*this, Units(), false, false, {}, false};

    try {
        SetUnits(TRepUnit::Native);
        SetPrinterSettings();
        FPrinter->OpenDocument();
        state.documentOpen = true;
        FCursorY = -1;
        FPagesStarted = 0;
        FColumnIndex = FPage->Columns();

        FFooterReserve = 0;
        for (TRepControl *c : ChildControls())
            if (auto *band = dynamic_cast<TRepCustomBand *>(c))
                if (band->BandType() == TRepBandType::rbPageFooter && band->Enabled())
                    FFooterReserve += HeightWithChildren(band);

        FCursorX = Nearest(FPage->LeftMargin());

        FController->CollectSubControllers();
        GlobalEnvironment().CompileEntries();
        FFunctions->SetDatasets(&FDatasets);
        FFunctions->CompileEntries();
        state.entriesCompiled = true;
        FPageNumberElement = FFunctions->FindConstant(QStringLiteral("PAGENUMBER"));
        FColumnNumberElement = FFunctions->FindConstant(QStringLiteral("COLUMNNUMBER"));
        FTitleElement = FFunctions->FindConstant(QStringLiteral("REPORTTITLE"));
        TRepEvEnvironment::StoreString(FTitleElement, ReportTitle);
        FController->PrepareRun();
        state.controllersPrepared = true;
        for (TRepPrintable *p : AllBandPrintables()) {
            state.begun.push_back(p);
            p->BeginPrinting();
        }
        for (TRepPrintable *p : OverlayPrintables()) {
            state.begun.push_back(p);
            p->BeginPrinting();
        }

        FController->RunController();

        FCursorX = Nearest(FPage->LeftMargin());
        FOnLastPage = true;
        if (!RunCancelled())
            FinishPage();
        state.Unwind();
    } catch (...) {
        state.Unwind();
        try {
            state.CloseDocument();
        } catch (...) {
        }
        FIdle = true;
        throw;
    }
    try {
        state.CloseDocument();
    } catch (...) {
        FIdle = true;
        throw;
    }
    FIdle = true;
}

void TRepCustomReport::GenerateOn(TRepPrinter &printer)
{
    if (!FIdle)
        return;
    struct PutBack
    {
        TRepCustomReport &report;
        TRepPrinter *kept;
        ~PutBack() { report.FPrinter = kept; }
    } putBack{*this, FPrinter};
    FPrinter = &printer;
    GenerateReport();
}

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
    if (!FPrinter)
        return FPage->Length();
    const bool landscape = FPrinter->Orientation() == TPrinterOrientation::poLandscape;
    if (landscape && FPrinter->PaperSize() != TRepPaperSize::Custom)
        return FPrinter->SheetWidth();
    return FPrinter->SheetLength();
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
    FPrinter->AdvancePage();
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
    if (!FFrame.AnySide() || !FPrinter)
        return;
    TRepPrinter &printer = *FPrinter;
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
    if (FPrinter)
        FPrinter->RequestCancel();
}

// ---- bands ----

void TRepCustomBand::EmitBand()
{
    TRepCustomReport *report = ParentReport();
    if (!report || !report->FPrinter)
        return;
    TRepPrinter &printer = *report->FPrinter;

    bool printBand = Enabled();
    if (Enabled() && BeforePrint)
        BeforePrint(this, printBand);

    if (!printBand) {
        if (!Enabled() && NotifyController)
            NotifyController->NotifyClients(NotifyDataAdvanced);
    } else {
        const bool pageBound = IsPageBound(BandType());
        if (ForceNewPage && !pageBound && report->FPagesStarted > 0)
            report->ForcedPageBreak();
        else if (ForceNewColumn && !pageBound && report->FPagesStarted > 0)
            report->ForcedColumnBreak();
        else
            EnsureBandFits();

        if (NotifyController)
            NotifyController->NotifyClients(NotifyDataAdvanced);

        auto frameRect = [&](double extraHeight) {
            const int x = report->FCursorX;
            const int y = report->FCursorY;
            return Box(printer.ToDeviceX(x), printer.ToDeviceY(y),
                       printer.ToDeviceX(x + FSize.Width()),
                       printer.ToDeviceY(y + FSize.Height() + extraHeight));
        };
        BandFrameRect = frameRect(0);

        if (Height() != 0 && Enabled()) {
            Canvas &canvas = report->RunCanvas();
            canvas.SetBrush(CanvasBrush{RepQColor(Color()), CanvasBrushStyle::Solid});
            canvas.FillRect(BandFrameRect);
            Expanded = 0;
            const double h0 = FSize.Height();
            FContinuing = false;
            for (;;) {
                bool allFinished = true;
                for (TRepPrintable *p : Printables()) {
                    if (!p->Enabled() || (FContinuing && p->PrintFinished()))
                        continue;
                    p->PrintAt(report->FCursorX, report->FCursorY);
                    allFinished = allFinished && p->PrintFinished();
                }
                BandFrameRect = frameRect(Expanded + 1);
                FFrame.Paint(report->RunCanvas(), BandFrameRect.left(), BandFrameRect.top(),
                             BandFrameRect.right() + 1, BandFrameRect.bottom() + 1,
                             printer.XScale(), printer.YScale());
                if (allFinished || report->RunCancelled())
                    break;
                report->AdvanceColumn();
                FSize.SetHeight(h0);
                Expanded = 0;
                FContinuing = true;
            }
            FContinuing = false;
            report->FCursorY += Nearest(FSize.Height() + Expanded);
            FSize.SetHeight(h0);
            Expanded = 0;
        }
    }

    if (AfterPrint)
        AfterPrint(this, printBand);

    if (TRepChildBand *child = ChildBand()) {
        const bool asFooter = BandType() == TRepBandType::rbPageFooter;
        if (asFooter)
            child->PrintAsType(TRepBandType::rbPageFooter);
        report->PlaceBand(child);
        if (asFooter)
            child->PrintAsType(TRepBandType::rbChild);
    }
}

double TRepCustomBand::StretchHeight() const
{
    return FSize.Height();
}

void TRepCustomBand::EnsureBandFits()
{
    TRepCustomReport *report = ParentReport();
    if (!report)
        return;
    const int h = Nearest(StretchHeight());
    const TRepPage &page = report->Page();
    const bool tooLow = BandType() != TRepBandType::rbPageFooter && h > report->SpaceLeft() &&
                        h <= page.Length() - (page.TopMargin() + page.BottomMargin());
    if (tooLow || report->FPagesStarted == 0)
        report->AdvanceColumn();
}

bool TRepCustomBand::CanGrowBy(double extra) const
{
    const TRepCustomReport *report = ParentReport();
    return report && report->SpaceLeft() >= Nearest(FSize.Height() + Expanded + extra);
}

bool TRepCustomBand::GrowBand(double extra, bool &grownBefore, double &ownGrowth)
{
    if (!CanGrowBy(extra))
        return false;
    if (grownBefore || extra >= Expanded)
        Expanded += extra;
    ownGrowth = Expanded;
    grownBefore = true;
    return true;
}

// ---- printables ----

void TRepPrintable::BeginPrinting()
{
    FPrinting = true;
    const TRepCustomReport *report = ParentReport();
    FPrinter = report ? report->Printer() : nullptr;
}

void TRepPrintable::EndPrinting()
{
    FPrinting = false;
    FPrinter = nullptr;
}

void TRepPrintable::PrintAt(int offsetX, int offsetY)
{
    if (!ShouldPrint())
        return;
    const double x = offsetX + FSize.Left();
    const double y = offsetY + FSize.Top();
    PaintFrame(x, y, FSize.Width(), FSize.Height());
}

void TRepPrintable::PaintFrame(double x, double y, double w, double h)
{
    TRepCustomReport *report = ParentReport();
    if (!FFrame.AnySide() || !FPrinter || !report)
        return;
    FFrame.Paint(report->RunCanvas(), FPrinter->ToDeviceX(x), FPrinter->ToDeviceY(y),
                 FPrinter->ToDeviceX(x + w), FPrinter->ToDeviceY(y + h), FPrinter->XScale(),
                 FPrinter->YScale());
}

// ---- entry points ----

bool TRepCustomReport::PreparePrinter()
{
    if (!FIdle)
        return false;
    auto printer = std::make_unique<TRepPrinter>();
    if (FPrinter) {
        printer->SetClient(FPrinter->Client());
        delete FPrinter;
        FPrinter = nullptr;
    }
    printer->AfterPreviewHandler = [this] {
        if (AfterPreview)
            AfterPreview(this);
    };
    printer->AfterPrintHandler = [this] {
        if (AfterPrint)
            AfterPrint(this);
    };
    FPrinter = printer.release();
    return true;
}

void TRepCustomReport::DropPrinter()
{
    delete FPrinter;
    FPrinter = nullptr;
}

void TRepCustomReport::RunModalPreview()
{
    QCoreApplication::processEvents();
    if (!PreparePrinter() || FPrinter->ShowingPreview())
        return;
    TRepPrinter &printer = *FPrinter;
    printer.SetDestination(TRepPrinter::DestPageStore);
    printer.SetMaster(this);
    printer.PrintSetupHandler = [this](QObject *) { PrintSetup(); };
    printer.ExportHandler = nullptr; // no export filters are registered
    printer.SetTitle(ReportTitle);
    if (OnPreview)
        printer.PreviewHandler = [this](TRepPrinter &p) { OnPreview(&p); };
    printer.ShowPreview();

    GenerateReport();

    if (FCancelled) {
        DropPrinter();
        return;
    }
    // The preview-closed notice frees the printer from inside this loop, so
    // the reference is read again after every event.
    while (FPrinter && FPrinter->ShowingPreview() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TRepCustomReport::RunDirectPrint()
{
    TRepPrinter *kept = FPrinter;
    if (!FIdle)
        return;
    FPrinter = nullptr;
    struct PutBack
    {
        TRepCustomReport &report;
        TRepPrinter *kept;
        std::unique_ptr<TRepProgressForm> progress;
        ~PutBack()
        {
            delete report.FPrinter;
            report.FPrinter = kept;
        }
    } putBack{*this, kept, nullptr};

    if (!PreparePrinter() || !FPrinter->PrinterOK())
        return;
    FPrinter->SetDestination(TRepPrinter::DestPrinter);
    putBack.progress = std::make_unique<TRepProgressForm>(FPrinter);
    if (ShowProgress)
        putBack.progress->show();
    FPrinter->SetClient(putBack.progress.get());
    GenerateReport();
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
    DropPrinter();
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
