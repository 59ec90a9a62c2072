#pragma once
// Bands: horizontal strips of a report that print their printables. The band
// type decides when a band prints; controller bands (RepControllers.h) repeat
// themselves once per item of their controller.

#include "report/model/RepFrame.h"
#include "report/model/RepReportSite.h"
#include "report/model/RepUnits.h"

#include <functional>
#include <vector>

class TRepCustomBand;
class TRepCustomController;
class TRepPrintable;

enum class TRepBandType {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader,
    rbGroupFooter, rbSubDetail, rbColumnHeader, rbOverlay, rbChild
};
inline constexpr int RepBandTypeCount = 11;

// The caption a band of this type shows ("Page Header", …).
QString RepBandCaption(TRepBandType type);
// The stem of the names of new bands of this type ("PageHeaderBand", …).
QString RepBandNameStem(TRepBandType type);

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

class TRepCustomBand : public TRepControl
{
    Q_OBJECT
public:
    using BeforePrintEvent = std::function<void(TRepCustomBand *sender, bool &printBand)>;
    using AfterPrintEvent = std::function<void(TRepCustomBand *sender, bool bandPrinted)>;

    ~TRepCustomBand() override;

    TRepBandType BandType() const { return FBandType; }
    TRepBandSize &Size() { return FSize; }
    const TRepBandSize &Size() const { return FSize; }
    TRepFrame &Frame() { return FFrame; }

    // The report the band is placed on (its parent control), if any.
    TRepReportSite *ReportSite() const;
    TRepCustomReport *ParentReport() const;
    TRepCustomBand *AsBand() override { return this; }

    bool AlignToBottom = false;
    bool ForceNewColumn = false;
    bool ForceNewPage = false;
    BeforePrintEvent BeforePrint;
    AfterPrintEvent AfterPrint;

    // A child band that names this band as its parent; setting HasChild
    // true creates one, false frees it.
    bool HasChild() const { return ChildBand() != nullptr; }
    void SetHasChild(bool on);
    class TRepChildBand *ChildBand() const;

    // Extra height added while stretching labels print (Native); 0 outside a
    // band print.
    double Expanded = 0.0;
    // Where the band was last put on the page, in device units (a box whose
    // right() and bottom() are the last pixels inside).
    QRect BandFrameRect;
    // The controller to notify when the band advances (data-driven bands).
    TRepCustomController *NotifyController = nullptr;

    // The printables placed directly on the band, in control order.
    std::vector<TRepPrintable *> Printables() const;

    // Run side (RepBandRun.cpp): print the band at the report's cursor,
    // making room first.
    void EmitBand();
    void EnsureBandFits();
    double StretchHeight() const;
    bool CanGrowBy(double extra) const;
    // Grows the band for one stretching label (see TRepCustomLabel); answers
    // whether the band could grow.
    bool GrowBand(double extra, bool &grownBefore, double &ownGrowth);

    // True while the band prints again after a column advance because a
    // stretching label ran out of room: the printables continue at the top
    // of a fresh column, so the first line left must be printed there even
    // when it does not fit (it never would).
    bool InContinuationPass() const { return FContinuing; }

    // Called by the size object after a change not made by the band itself:
    // the bands are re-laid and the printables told.
    void SizeChanged();

protected:
    TRepCustomBand(TRepReportSite *report, TRepBandType type);
    // Changes the type (TRepBand's setter, a child band printed as footer).
    void SetBandTypeInternal(TRepBandType type);

    void BoundsChanged(const QRect &old) override;
    void Loaded() override;

private:
    friend class TRepChildBand;
    void NotifyPrintables(int operation);
    // Steps of EmitBand: the break or column advance the band needs, the
    // notice to its controller's clients, where the band stands on the page
    // (device units, extraHeight Native below it), the passes over its
    // printables (one pass answers whether all of them finished) and the
    // child band after it.
    void MakeRoom(TRepReportSite &report);
    void NotifyAdvance();
    QRect FrameRect(const TRepReportSite &report, double extraHeight) const;
    void PrintContents(TRepReportSite &report);
    bool PrintPass(TRepReportSite &report);
    void PlaceChild(TRepReportSite &report);

    TRepBandType FBandType;
    TRepBandSize FSize;
    TRepFrame FFrame;
    int FLoadedHeight = -1;
    bool FContinuing = false;
};

// A band of any report-level type.
class TRepBand : public TRepCustomBand
{
    Q_OBJECT
public:
    explicit TRepBand(TRepReportSite *report, TRepBandType type = TRepBandType::rbDetail);
    void SetBandType(TRepBandType type);
};

// A band printed right after its parent band.
class TRepChildBand : public TRepCustomBand
{
    Q_OBJECT
public:
    explicit TRepChildBand(TRepReportSite *report);
    ~TRepChildBand() override;

    TRepCustomBand *ParentBand() const { return FParentBand; }
    // A parent that would make a cycle of child bands is ignored.
    void SetParentBand(TRepCustomBand *band);

    // The type the band lays out as: that of the first non-child band up
    // its chain of parents.
    TRepBandType EffectiveType() const;
    void PrintAsType(TRepBandType type) { SetBandTypeInternal(type); }

private:
    friend class TRepCustomBand;
    TRepCustomBand *FParentBand = nullptr;
};
