#pragma once
// The report as the parts placed on it see it. Page settings, bands,
// printables and controllers reach the report they belong to only through
// this interface, which TRepCustomReport implements, so they are built
// below the report that holds them.

#include "report/model/RepControl.h"
#include "report/model/RepUnits.h"

#include <QString>

class Canvas;
class TRepCustomBand;
class TRepCustomReport;
class TRepEvEnvironment;
class TRepPage;
class TRepPrinter;

class TRepReportSite : public TRepControl
{
    Q_OBJECT
public:
    using TRepControl::TRepControl;

    // The report itself, for code built above it.
    virtual TRepCustomReport *Report() = 0;

    // ---- definition ----
    virtual TRepUnit Units() const = 0;
    // Sets every size object of the report to units.
    virtual void SetUnits(TRepUnit units) = 0;
    // Places the bands under each other; rebuilds the band list in designer
    // order first.
    virtual void LayoutBands() = 0;
    virtual void OrderBands() = 0;
    // Bands call these as they are made and freed.
    virtual void BandAdded(TRepCustomBand *band) = 0;
    virtual void BandRemoved(TRepCustomBand *band) = 0;
    // A fresh band name "<stem><n>" with the first free n.
    virtual QString NewBandName(const QString &stem) const = 0;
    // The report's named expressions; a controller band's entry follows its name.
    virtual TRepEvEnvironment &Functions() = 0;
    virtual void FunctionEntryRenamed(const QString &oldName, const QString &newName) = 0;

    virtual const TRepPage &Page() const = 0;

    // ---- run ----
    // The printer of the run in progress (else the printer the report keeps).
    virtual TRepPrinter *Printer() const = 0;
    virtual Canvas &RunCanvas() = 0;
    virtual bool RunCancelled() const = 0;
    virtual void PlaceBand(TRepCustomBand *band) = 0;
    // The page flow a band takes part in: pages started so far, the cursor
    // (Native, the top left of the next band), the room left below it in the
    // column, and the breaks.
    virtual int PagesStarted() const = 0;
    virtual int CursorX() const = 0;
    virtual int CursorY() const = 0;
    // Moves the cursor down past a band dy high.
    virtual void AdvanceCursor(int dy) = 0;
    virtual int SpaceLeft() const = 0;
    virtual void AdvanceColumn() = 0;
    virtual void ForcedColumnBreak() = 0;
    virtual void ForcedPageBreak() = 0;
};

// The report site control is placed on: the nearest of its parents that is one.
TRepReportSite *ReportSiteOf(const TRepControl *control);
