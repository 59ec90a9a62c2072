#pragma once
// The page settings: the size object of a report, master of the report
// control's pixel bounds (see TRepUnitBase). Bands and printables keep their
// size objects beside them (TRepBandSize, TRepPrintableSize).

#include "report/output/RepPrinterSettings.h"
#include "report/model/RepUnits.h"

class TRepReportSite;

// Page settings: paper, orientation, margins, columns. "Values" order:
// BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin,
// ColumnSpace.
class TRepPage : public TRepUnitBase
{
public:
    enum Index { iBottomMargin, iLength, iTopMargin, iWidth, iLeftMargin, iRightMargin, iColumnSpace };

    explicit TRepPage(TRepReportSite *report = nullptr);

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

    TRepReportSite *Report() const { return FReport; }

    // Sets the report control to the page's pixel size.
    void ResizeOwner() override;

protected:
    double CharacterPointSize() const override;
    bool IsHorizontal(int index) const override { return index >= iWidth; }

private:
    void SetLength(int index, double value);
    void Relayout();

    TRepReportSite *FReport;
    TRepPaperSize FPaperSize;
    TPrinterOrientation FOrientation = TPrinterOrientation::poPortrait;
    int FColumns = 1;
    bool FRuler = true;
};
