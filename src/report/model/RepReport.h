#pragma once
// The report: one printed page's definition (page settings, bands and their
// printables, functions) and the band engine that runs it onto a printer.

#include "platform/Canvas.h"
#include "report/model/RepControllers.h"
#include "report/model/RepReportSite.h"
#include "report/expr/RepDataset.h"
#include "report/model/RepFrame.h"
#include "report/output/RepPrinterSettings.h"
#include "report/model/RepSizes.h"

#include <QFlags>
#include <QHash>
#include <QImage>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class FontAdvances;
class TRepCustomReport;
class TRepPrinter;
class TRepPrintDialog;
class TRepPrintable;
class TRepEvEnvironment;
class TRepEvElement;

enum class TRepReportOption : unsigned { FirstPageHeader = 1, LastPageFooter = 2, Compression = 4 };
Q_DECLARE_FLAGS(TRepReportOptions, TRepReportOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TRepReportOptions)

// The report's printer settings (1 copy, no duplex, automatic bin, all pages,
// default printer).
class TRepReportPrinterSettings : public TRepPrinterSettings
{
};

// Watches what a run draws: while a report has a tap, every drawing call of
// its run goes through the tap, which is handed the printer's canvas of the
// current page first and passes the calls on to it.
class TRepCanvasTap : public Canvas
{
public:
    virtual void Attach(Canvas *pageCanvas) = 0;
};

// The bands of a report by type, as flags: Has<Type> is true when the report
// has a band of that type; setting one creates or frees that band.
class TRepReportBands
{
public:
    explicit TRepReportBands(TRepCustomReport *report) : FReport(report) {}
    bool Has(TRepBandType type) const;
    void Set(TRepBandType type, bool on);

    bool HasTitle() const { return Has(TRepBandType::rbTitle); }
    bool HasPageHeader() const { return Has(TRepBandType::rbPageHeader); }
    bool HasColumnHeader() const { return Has(TRepBandType::rbColumnHeader); }
    bool HasDetail() const { return Has(TRepBandType::rbDetail); }
    bool HasPageFooter() const { return Has(TRepBandType::rbPageFooter); }
    bool HasSummary() const { return Has(TRepBandType::rbSummary); }

private:
    TRepCustomReport *FReport;
};

// The report's own controller: title band as header, detail band as detail,
// summary band as footer; with an OnNeedData handler the detail repeats
// while the handler says there is more data.
class TRepController : public TRepCustomController
{
public:
    explicit TRepController(TRepCustomReport *report);

    TRepCustomBand *HeaderBand() const;
    TRepCustomBand *DetailBand() const;
    TRepCustomBand *FooterBand() const;

    void RegisterBands(std::vector<TRepCustomBand *> &list) const override;
    // In a data-driven run (one with OnNeedData) the detail band tells the
    // controller's clients of every record, so that totals count.
    void PrepareRun() override;
    void RunController() override;
    void FinishRun() override;

private:
    void RunEmpty();
    void RunNeedData();
    TRepCustomReport *FReport;
};

class TRepCustomReport : public TRepReportSite
{
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TRepCustomReport *sender)>;
    using BeforePrintEvent = std::function<void(TRepCustomReport *sender, bool &printReport)>;
    using NeedDataEvent = std::function<void(TRepCustomReport *sender, bool &moreData)>;
    using PreviewEvent = std::function<void(TRepPrinter *printer)>;

    explicit TRepCustomReport(TRepControl *parent = nullptr);
    ~TRepCustomReport() override;

    TRepCustomReport *Report() override { return this; }

    // ---- definition ----
    TRepPage &Page() { return *FPage; }
    const TRepPage &Page() const override { return *FPage; }
    TRepFrame &Frame() { return FFrame; }

    // The page's units; setting them sets every size object of the report.
    TRepUnit Units() const override { return FPage->Units(); }
    void SetUnits(TRepUnit units) override;
    // Display zoom in percent; values outside 1…300 are ignored.
    int Zoom() const { return FPage->Zoom(); }
    void SetZoom(int zoom);

    bool SnapToGrid = true;
    QString ReportTitle;
    bool ShowProgress = true;
    TRepReportOptions Options{TRepReportOption::FirstPageHeader, TRepReportOption::LastPageFooter};
    QStringList Description;
    TRepReportPrinterSettings PrinterSettings;
    int Tag = 0;

    bool PrintIfEmpty() const;
    void SetPrintIfEmpty(bool on);

    TRepEvEnvironment &Functions() override { return *FFunctions; }
    TRepReportBands Bands() { return TRepReportBands(this); }

    // The bands in designer order (see OrderBands) and the first band of a
    // report-level type in it.
    const std::vector<TRepCustomBand *> &BandList() const { return FBandList; }
    TRepCustomBand *BandOfType(TRepBandType type) const;
    // Printables placed directly on the report, outside any band.
    std::vector<TRepPrintable *> OverlayPrintables() const;
    // Every printable in every band, nested panels included.
    std::vector<TRepPrintable *> AllBandPrintables() const;

    // Text measuring on the reference device at the screen's density:
    // extent width plus 1, and the height of a one-character text. 0 when
    // the text cannot be measured.
    int MeasureTextWidth(const TRepFont &font, const QString &text);
    int MeasureLineHeight(const TRepFont &font);
    // The character advances MeasureTextWidth sums for font.
    FontAdvances &TextAdvances(const TRepFont &font);

    // Places the bands at design size (pixels) under each other.
    void LayoutBands() override;
    // Rebuilds the band list in designer order, then lays the bands out.
    void OrderBands() override;

    TRepController &Controller() { return *FController; }

    // ---- events ----
    BeforePrintEvent BeforePrint;
    NotifyEvent AfterPrint;
    NotifyEvent AfterPreview;
    NotifyEvent OnStartPage;
    NotifyEvent OnEndPage;
    NeedDataEvent OnNeedData;
    PreviewEvent OnPreview;

    // Binds the handler a stored definition names to an event ("BeforePrint",
    // "AfterPrint", "OnPrint", …) of component (the report itself or one of
    // its bands and printables). Reports with handlers override it; the
    // answer is false for a handler the report does not have.
    virtual bool BindHandler(TRepControl *component, const QString &event, const QString &handler);

    // ---- runs ----
    // Generates into a page store while the preview window shows the pages;
    // returns when the preview is closed.
    void RunModalPreview();
    // Generates straight onto the printer device with the progress window.
    // Nothing happens when no printer is installed.
    void RunDirectPrint();
    // While a run is in progress: cancel it (report and printer).
    void CancelRun();
    // The print setup dialog for the report's printer settings; Tag is 1
    // when it was cancelled, 0 when its choice was taken.
    void PrintSetup();
    // Takes the choice of a print setup dialog into the printer settings
    // and the page's orientation.
    void ApplyPrintSetup(const TRepPrintDialog &dialog, const QString &printerName,
                         TPrinterOrientation orientation);

    bool Idle() const { return FIdle; }
    bool Cancelled() const { return FCancelled; }
    bool OnLastPage() const { return FOnLastPage; }
    int CursorX() const override { return FCursorX; }
    int CursorY() const override { return FCursorY; }
    int ColumnTop() const { return FColumnTop; }
    int ColumnIndex() const { return FColumnIndex; }
    int PagesStarted() const override { return FPagesStarted; }
    double FooterReserve() const { return FFooterReserve; }
    // The printer of the run in progress; between runs the printer the
    // report keeps for its open preview, if any.
    TRepPrinter *Printer() const override;
    virtual int RecordCount() const { return 1; }

    // The canvas a run draws on: the printer's page canvas, or the tap.
    Canvas &RunCanvas() override;
    void SetCanvasTap(TRepCanvasTap *tap) { FCanvasTap = tap; }

    // One run of the report onto printer, which the caller owns and has set
    // up (destination, client), as the entry points do with theirs. Nothing
    // happens while another run is in progress. However the run ends, the
    // report is put back whole and the printer's client gets the run-ended
    // notice; an error of the run passes on to the caller after that.
    void GenerateReport(TRepPrinter &printer);

    // Band engine steps (called by bands and controllers during a run).
    void PlaceBand(TRepCustomBand *band) override;
    void StartNewPage();
    void FinishPage();
    void AdvanceColumn() override;
    void AdvanceCursor(int dy) override { FCursorY += dy; }
    void ForcedColumnBreak() override;
    void ForcedPageBreak() override;
    int SpaceLeft() const override;
    void DrawPageOverlay();
    // The run is cancelled: by the report (CancelRun) or at the printer
    // (the progress window's Cancel button).
    bool RunCancelled() const override;
    void SkipNextForcedPage(bool on) { FSkipNextForcedPage = on; }

    // Band registry (bands call these as they are made and freed).
    void BandAdded(TRepCustomBand *band) override;
    void BandRemoved(TRepCustomBand *band) override;
    // A fresh band name "<stem><n>" with the first free n.
    QString NewBandName(const QString &stem) const override;
    // A controller band was named or renamed: its Functions entry follows.
    void FunctionEntryRenamed(const QString &oldName, const QString &newName) override;

protected:
    bool event(QEvent *e) override;
    void BoundsChanged(const QRect &old) override;
    void FontChanged() override;
    void Loaded() override;

private:
    class TRunScope;
    // A printer for a run of this report, its after-print and after-preview
    // handlers calling the report's events.
    std::unique_ptr<TRepPrinter> NewPrinter();
    void PreviewClosed();
    void DropMarginsWithoutRoom();
    void FinishLastPage();
    double SheetLength() const;

    std::unique_ptr<TRepPage> FPage;
    std::unique_ptr<TRepEvEnvironment> FFunctions;
    std::unique_ptr<TRepController> FController;
    TRepFrame FFrame;
    std::vector<TRepCustomBand *> FBandList;
    bool FDestroying = false;
    bool FLayingOut = false;

    QImage FReferenceContext;
    QHash<QFont, int> FLineHeights;

    // The printer the report keeps: made for a modal preview, it stays with
    // the preview window until the preview-closed notice frees it.
    std::unique_ptr<TRepPrinter> FPrinter;
    // The printer of the run in progress: the kept one, a direct print's
    // own, or one a caller lends (GenerateReport); none between runs.
    TRepPrinter *FRunPrinter = nullptr;
    TRepCanvasTap *FCanvasTap = nullptr;
    TRepDatasetList FDatasets;
    bool FIdle = true;
    bool FCancelled = false;
    bool FOnLastPage = false;
    bool FForcedColumnArmed = false;
    bool FSkipNextForcedPage = false;
    int FCursorX = 0;
    int FCursorY = -1;
    int FColumnTop = 0;
    int FColumnIndex = 1;
    int FPagesStarted = 0;
    double FFooterReserve = 0.0;
    TRepEvElement *FPageNumberElement = nullptr;
    TRepEvElement *FColumnNumberElement = nullptr;
    TRepEvElement *FTitleElement = nullptr;
};

// The report with a detail count (RecordCount is 1: no data sets here).
class TRepReport : public TRepCustomReport
{
    Q_OBJECT
public:
    explicit TRepReport(TRepControl *parent = nullptr) : TRepCustomReport(parent) {}
};
