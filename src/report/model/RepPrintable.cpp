#include "report/model/RepPrintable.h"

#include "platform/Rounding.h"
#include "report/output/RepPrinter.h"

TRepPrintableSize::TRepPrintableSize(TRepPrintable *printable)
    : TRepUnitBase(4), FPrintable(printable)
{
}

void TRepPrintableSize::Set(int index, double value)
{
    if (!Store(index, value))
        return;
    ResizeOwner();
}

void TRepPrintableSize::ResizeOwner()
{
    if (!FPrintable)
        return;
    TRepSyncGuard sync(*this);
    auto px = [this](int index, bool horizontal) {
        return Nearest(NativeToUnit(TRepUnit::Pixels, horizontal, NativeValue(index)));
    };
    FPrintable->SetBounds(px(iLeft, true), px(iTop, false), px(iWidth, true), px(iHeight, false));
}

double TRepPrintableSize::CharacterPointSize() const
{
    const TRepReportSite *report = FPrintable ? FPrintable->ReportSite() : nullptr;
    return report ? report->Font().Size : 10.0;
}

TRepPrintable::TRepPrintable(TRepControl *parent) : TRepControl(parent), FSize(this)
{
    SetColor(clRepWhite);
    SetBounds(0, 0, 10, 10);
}

TRepPrintable::~TRepPrintable() = default;

TRepCustomReport *TRepPrintable::ParentReport() const
{
    TRepReportSite *report = ReportSite();
    return report ? report->Report() : nullptr;
}

TRepCustomBand *TRepPrintable::ParentBand() const
{
    TRepControl *parent = ParentControl();
    return parent ? parent->AsBand() : nullptr;
}

void TRepPrintable::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    ApplyBandAlignment();
}

void TRepPrintable::SetAlignToBand(bool on)
{
    if (on == FAlignToBand)
        return;
    FAlignToBand = on;
    ApplyBandAlignment();
}

void TRepPrintable::ApplyBandAlignment()
{
    if (!FAlignToBand || FAligning || IsLoading())
        return;
    FAligning = true;
    // The band's width, when the printable is placed on one.
    const TRepControl *band = ParentBand() ? ParentControl() : nullptr;
    switch (FAlignment) {
    case TAlignment::taLeftJustify:
        SetLeft(0);
        break;
    case TAlignment::taRightJustify:
        if (band)
            SetLeft(band->Width() - Width());
        break;
    case TAlignment::taCenter:
        if (band)
            SetLeft((band->Width() - Width()) / 2);
        break;
    }
    FAligning = false;
}

void TRepPrintable::BoundsChanged(const QRect &old)
{
    if (IsLoading()) {
        // Remember every non-zero value; applied when loading ends.
        if (Left())
            FLoadedBounds.moveLeft(Left());
        if (Top())
            FLoadedBounds.moveTop(Top());
        if (Width())
            FLoadedBounds.setWidth(Width());
        if (Height())
            FLoadedBounds.setHeight(Height());
        return;
    }
    if (!FSize.SyncingOwner()) {
        // Every write resizes the control from the stored values, so the
        // new bounds are taken before the first one.
        const QRect b = Bounds();
        FSize.PushPixelUnits();
        if (b.height() != Nearest(FSize.Height()))
            FSize.SetHeight(b.height());
        if (b.width() != Nearest(FSize.Width()))
            FSize.SetWidth(b.width());
        if (b.y() != Nearest(FSize.Top()))
            FSize.SetTop(b.y());
        if (b.x() != Nearest(FSize.Left()))
            FSize.SetLeft(b.x());
        FSize.PopUnits();
    }
    if (!FAligning)
        ApplyBandAlignment();
}

void TRepPrintable::Loaded()
{
    FSize.ResizeOwner();
    const QRect remembered = FLoadedBounds;
    FLoadedBounds = QRect();
    QRect b = Bounds();
    if (b.x() == 0 && remembered.x() != 0)
        b.moveLeft(remembered.x());
    if (b.y() == 0 && remembered.y() != 0)
        b.moveTop(remembered.y());
    if (b.width() == 0 && remembered.width() != 0)
        b.setWidth(remembered.width());
    if (b.height() == 0 && remembered.height() != 0)
        b.setHeight(remembered.height());
    SetBounds(b.x(), b.y(), b.width(), b.height());
    ApplyBandAlignment();
}

void TRepPrintable::HandleNotify(void *sender, int operation)
{
    if (operation == NotifyBandBoundsChanged)
        ApplyBandAlignment();
}

// ---- run side ----

void TRepPrintable::BeginPrinting()
{
    FPrinting = true;
    const TRepReportSite *report = ReportSite();
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
    TRepReportSite *report = ReportSite();
    if (!FFrame.AnySide() || !FPrinter || !report)
        return;
    FFrame.Paint(report->RunCanvas(), FPrinter->ToDeviceX(x), FPrinter->ToDeviceY(y), FPrinter->ToDeviceX(x + w),
                 FPrinter->ToDeviceY(y + h), FPrinter->XScale(), FPrinter->YScale());
}
