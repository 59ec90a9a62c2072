#pragma once
// The size objects: page settings of a report, the size of a band, the size
// and position of a printable. Each is the master of its owner control's
// pixel bounds (see TRepUnitBase).

#include "report/output/RepPrinterSettings.h"
#include "report/model/RepUnits.h"

class TRepCustomReport;
class TRepCustomBand;
class TRepPrintable;

// Page settings: paper, orientation, margins, columns. "Values" order:
// BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin,
// ColumnSpace.
class TRepPage : public TRepUnitBase
{
public:
    enum Index { iBottomMargin, iLength, iTopMargin, iWidth, iLeftMargin, iRightMargin, iColumnSpace };

    explicit TRepPage(TRepCustomReport *report = nullptr);

    double BottomMargin() const { return Get(iBottomMargin); }
    double Length() const { return Get(iLength); }
    double TopMargin() const { return Get(iTopMargin); }
    double Width() const { return Get(iWidth); }
    double LeftMargin() const { return Get(iLeftMargin); }
    double RightMargin() const { return Get(iRightMargin); }
    double ColumnSpace() const { return Get(iColumnSpace); }

    void SetBottomMargin(double v) { SetLength(iBottomMargin, v); }
    // Length and Width are written only while PaperSize is Custom.
    void SetLength(double v) { SetLength(iLength, v); }
    void SetTopMargin(double v) { SetLength(iTopMargin, v); }
    void SetWidth(double v) { SetLength(iWidth, v); }
    void SetLeftMargin(double v) { SetLength(iLeftMargin, v); }
    void SetRightMargin(double v) { SetLength(iRightMargin, v); }
    void SetColumnSpace(double v) { SetLength(iColumnSpace, v); }

    int Columns() const { return FColumns; }
    // Values of 0 or less, and the current value, are ignored.
    void SetColumns(int columns);

    TRepPaperSize PaperSize() const { return FPaperSize; }
    // A standard size writes its table width and length (swapped in
    // landscape); Default and Custom change nothing else.
    void SetPaperSize(TRepPaperSize size);

    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation orientation);

    bool Ruler() const { return FRuler; }
    void SetRuler(bool on);

    TRepCustomReport *Report() const { return FReport; }

    // Sets the report control to the page's pixel size.
    void ResizeOwner() override;

protected:
    double CharacterPointSize() const override;
    bool IsHorizontal(int index) const override { return index >= iWidth; }

private:
    void SetLength(int index, double value);
    void Relayout();

    TRepCustomReport *FReport;
    TRepPaperSize FPaperSize;
    TPrinterOrientation FOrientation = TPrinterOrientation::poPortrait;
    int FColumns = 1;
    bool FRuler = true;
};

// Size of a band. "Values" order: Height, Width.
class TRepBandSize : public TRepUnitBase
{
public:
    enum Index { iHeight, iWidth };

    explicit TRepBandSize(TRepCustomBand *band = nullptr);

    double Height() const { return Get(iHeight); }
    double Width() const { return Get(iWidth); }
    void SetHeight(double v) { Set(iHeight, v); }
    void SetWidth(double v) { Set(iWidth, v); }

    // Sets the band control's width and height, keeping its left and top.
    void ResizeOwner() override;

protected:
    double CharacterPointSize() const override;
    bool IsHorizontal(int index) const override { return index == iWidth; }

private:
    void Set(int index, double value);
    TRepCustomBand *FBand;
};

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
