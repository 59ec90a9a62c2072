#include "report/model/RepSizes.h"

#include "report/model/RepReportSite.h"
#include "platform/Rounding.h"

// ---- TRepPage ----

TRepPage::TRepPage(TRepReportSite *report)
    : TRepUnitBase(7), FReport(report), FPaperSize(TRepPaperSize::A4)
{
    // Lengths are set in MM or Inches, whichever the locale uses.
    const bool us = Units() == TRepUnit::Inches;
    FPaperSize = us ? TRepPaperSize::Letter : TRepPaperSize::A4;
    const TRepPaperRow &paper = PaperRow(FPaperSize);
    StoreNative(iWidth, paper.Width * 10.0);
    StoreNative(iLength, paper.Length * 10.0);
    const double margin = us ? 127.0 : 100.0;
    StoreNative(iTopMargin, margin);
    StoreNative(iBottomMargin, margin);
    StoreNative(iLeftMargin, margin);
    StoreNative(iRightMargin, margin);
}

void TRepPage::SetLength(int index, double value)
{
    if ((index == iLength || index == iWidth) && FPaperSize != TRepPaperSize::Custom)
        return;
    if (!Store(index, value))
        return;
    if (index == iBottomMargin || index == iLength || index == iWidth)
        ResizeOwner();
    Relayout();
}

void TRepPage::Relayout()
{
    if (FReport)
        FReport->LayoutBands();
}

void TRepPage::SetColumns(int columns)
{
    if (columns <= 0 || columns == FColumns)
        return;
    FColumns = columns;
    Relayout();
}

void TRepPage::SetPaperSize(TRepPaperSize size)
{
    if (size != TRepPaperSize::Default && size != TRepPaperSize::Custom) {
        PushPixelUnits();
        SetUnits(TRepUnit::MM);
        FPaperSize = TRepPaperSize::Custom;
        const TRepPaperRow &paper = PaperRow(size);
        if (FOrientation == TPrinterOrientation::poPortrait) {
            SetWidth(paper.Width);
            SetLength(paper.Length);
        } else {
            SetWidth(paper.Length);
            SetLength(paper.Width);
        }
        PopUnits();
        Relayout();
    }
    FPaperSize = size;
}

void TRepPage::SetOrientation(TPrinterOrientation orientation)
{
    FOrientation = orientation;
    SetPaperSize(FPaperSize);
}

void TRepPage::SetRuler(bool on)
{
    if (on == FRuler)
        return;
    FRuler = on;
    if (FReport)
        FReport->SetUnits(FReport->Units());
}

void TRepPage::ResizeOwner()
{
    if (!FReport || SyncingOwner())
        return;
    TRepSyncGuard sync(*this);
    const int w = Nearest(NativeToUnit(TRepUnit::Pixels, true, NativeValue(iWidth)));
    const int h = Nearest(NativeToUnit(TRepUnit::Pixels, false, NativeValue(iLength)));
    FReport->SetBounds(FReport->Left(), FReport->Top(), w, h);
}

double TRepPage::CharacterPointSize() const
{
    return FReport ? FReport->Font().Size : 10.0;
}
