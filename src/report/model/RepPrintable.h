#pragma once
// Printables: the controls placed on bands that put something on the page.

#include "report/model/RepFrame.h"
#include "report/model/RepReportSite.h"
#include "report/model/RepUnits.h"

class TRepCustomBand;
class TRepPrintable;
class TRepPrinter;

// Operations a band or controller sends to its printables.
enum TRepNotifyOperation { NotifyDataAdvanced = 0, NotifyBandBoundsChanged = 2 };

// Size and position of a printable inside its band. "Values" order:
// Height, Left, Top, Width.
class TRepPrintableSize : public TRepUnitBase
{
public:
    enum Index { iHeight, iLeft, iTop, iWidth };

    explicit TRepPrintableSize(TRepPrintable *printable = nullptr);

    double Height() const { return Get(iHeight); }
    double Left() const { return Get(iLeft); }
    double Top() const { return Get(iTop); }
    double Width() const { return Get(iWidth); }
    void SetHeight(double v) { Set(iHeight, v); }
    void SetLeft(double v) { Set(iLeft, v); }
    void SetTop(double v) { Set(iTop, v); }
    void SetWidth(double v) { Set(iWidth, v); }

    // Sets all four pixel bounds of the printable control.
    void ResizeOwner() override;

protected:
    double CharacterPointSize() const override;
    bool IsHorizontal(int index) const override { return index == iLeft || index == iWidth; }

private:
    void Set(int index, double value);
    TRepPrintable *FPrintable;
};

class TRepPrintable : public TRepControl
{
    Q_OBJECT
public:
    explicit TRepPrintable(TRepControl *parent);
    ~TRepPrintable() override;

    TRepPrintableSize &Size() { return FSize; }
    const TRepPrintableSize &Size() const { return FSize; }
    TRepFrame &Frame() { return FFrame; }
    const TRepFrame &Frame() const { return FFrame; }

    TAlignment Alignment() const { return FAlignment; }
    virtual void SetAlignment(TAlignment alignment);
    bool AlignToBand() const { return FAlignToBand; }
    void SetAlignToBand(bool on);

    // Transparent controls do not fill their background.
    bool Transparent = false;

    // The report the printable is on (searched up its parents) and the band
    // it is placed on directly (none for printables on the report).
    TRepReportSite *ReportSite() const { return ReportSiteOf(this); }
    TRepCustomReport *ParentReport() const;
    TRepCustomBand *ParentBand() const;

    // Run side, called by the band engine.
    virtual bool ShouldPrint() const { return Enabled(); }
    virtual void ApplyBandAlignment();
    virtual void BeginPrinting();
    // Prints at the band's top-left corner (Native).
    virtual void PrintAt(int offsetX, int offsetY);
    virtual void HandleNotify(void *sender, int operation);
    virtual void EndPrinting();
    // The last print put out everything.
    bool PrintFinished() const { return FPrintFinished; }
    bool Printing() const { return FPrinting; }

protected:
    TRepPrinter *Printer() const { return FPrinter; }
    void SetPrintFinished(bool on) { FPrintFinished = on; }
    // Paints the frame around the Native box (x, y, w, h) on the page.
    void PaintFrame(double x, double y, double w, double h);

    void BoundsChanged(const QRect &old) override;
    void Loaded() override;

private:
    TRepPrintableSize FSize;
    TRepFrame FFrame;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAlignToBand = false;
    bool FAligning = false;
    bool FPrintFinished = true;
    bool FPrinting = false;
    TRepPrinter *FPrinter = nullptr;
    QRect FLoadedBounds;
};
