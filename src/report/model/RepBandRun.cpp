// The band's part of a run: printing itself at the report's cursor after
// making room for it, the passes over its printables, and growing for
// stretching labels. The band takes the page flow from its report's site.

#include "report/model/RepBands.h"

#include "platform/Canvas.h"
#include "platform/Rounding.h"
#include "report/model/RepControllers.h"
#include "report/model/RepPrintable.h"
#include "report/model/RepSizes.h"
#include "report/output/RepPrinter.h"

namespace {

// Bands that belong to the page, never to a column: they force no breaks.
bool IsPageBound(TRepBandType type)
{
    return type == TRepBandType::rbTitle || type == TRepBandType::rbPageHeader ||
           type == TRepBandType::rbPageFooter || type == TRepBandType::rbOverlay;
}

} // namespace

void TRepCustomBand::EmitBand()
{
    TRepReportSite *report = ReportSite();
    if (!report || !report->Printer())
        return;

    bool printBand = Enabled();
    if (Enabled() && BeforePrint)
        BeforePrint(this, printBand);

    if (printBand) {
        MakeRoom(*report);
        NotifyAdvance();
        BandFrameRect = FrameRect(*report, 0);
        if (Height() != 0 && Enabled())
            PrintContents(*report);
    } else if (!Enabled()) {
        NotifyAdvance();
    }

    if (AfterPrint)
        AfterPrint(this, printBand);
    PlaceChild(*report);
}

void TRepCustomBand::MakeRoom(TRepReportSite &report)
{
    const bool breakable = !IsPageBound(BandType()) && report.PagesStarted() > 0;
    if (ForceNewPage && breakable)
        report.ForcedPageBreak();
    else if (ForceNewColumn && breakable)
        report.ForcedColumnBreak();
    else
        EnsureBandFits();
}

void TRepCustomBand::NotifyAdvance()
{
    if (NotifyController)
        NotifyController->NotifyClients(NotifyDataAdvanced);
}

QRect TRepCustomBand::FrameRect(const TRepReportSite &report, double extraHeight) const
{
    const TRepPrinter &printer = *report.Printer();
    const int x = report.CursorX();
    const int y = report.CursorY();
    return Box(printer.ToDeviceX(x), printer.ToDeviceY(y), printer.ToDeviceX(x + FSize.Width()),
               printer.ToDeviceY(y + FSize.Height() + extraHeight));
}

void TRepCustomBand::PrintContents(TRepReportSite &report)
{
    Canvas &canvas = report.RunCanvas();
    canvas.SetBrush(CanvasBrush{RepQColor(Color()), CanvasBrushStyle::Solid});
    canvas.FillRect(BandFrameRect);
    Expanded = 0;
    const double h0 = FSize.Height();
    FContinuing = false;
    // A stretching label that ran out of room continues in the next column.
    while (!PrintPass(report) && !report.RunCancelled()) {
        report.AdvanceColumn();
        FSize.SetHeight(h0);
        Expanded = 0;
        FContinuing = true;
    }
    FContinuing = false;
    report.AdvanceCursor(Nearest(FSize.Height() + Expanded));
    FSize.SetHeight(h0);
    Expanded = 0;
}

bool TRepCustomBand::PrintPass(TRepReportSite &report)
{
    bool allFinished = true;
    for (TRepPrintable *p : Printables()) {
        if (!p->Enabled() || (FContinuing && p->PrintFinished()))
            continue;
        p->PrintAt(report.CursorX(), report.CursorY());
        allFinished = allFinished && p->PrintFinished();
    }
    const TRepPrinter &printer = *report.Printer();
    BandFrameRect = FrameRect(report, Expanded + 1);
    FFrame.Paint(report.RunCanvas(), BandFrameRect.left(), BandFrameRect.top(), BandFrameRect.right() + 1,
                 BandFrameRect.bottom() + 1, printer.XScale(), printer.YScale());
    return allFinished;
}

void TRepCustomBand::PlaceChild(TRepReportSite &report)
{
    TRepChildBand *child = ChildBand();
    if (!child)
        return;
    // A page footer's child prints as part of the footer.
    const bool asFooter = BandType() == TRepBandType::rbPageFooter;
    if (asFooter)
        child->PrintAsType(TRepBandType::rbPageFooter);
    report.PlaceBand(child);
    if (asFooter)
        child->PrintAsType(TRepBandType::rbChild);
}

double TRepCustomBand::StretchHeight() const
{
    return FSize.Height();
}

void TRepCustomBand::EnsureBandFits()
{
    TRepReportSite *report = ReportSite();
    if (!report)
        return;
    const int h = Nearest(StretchHeight());
    const TRepPage &page = report->Page();
    const bool tooLow = BandType() != TRepBandType::rbPageFooter && h > report->SpaceLeft() &&
                        h <= page.Length() - (page.TopMargin() + page.BottomMargin());
    if (tooLow || report->PagesStarted() == 0)
        report->AdvanceColumn();
}

bool TRepCustomBand::CanGrowBy(double extra) const
{
    const TRepReportSite *report = ReportSite();
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
