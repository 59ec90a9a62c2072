#pragma once
// TRepPrinter: the output device of the report engine.
//
// A report opens a document (OpenDocument), asks for a new page whenever a
// page is full (AdvancePage), draws on the canvas of the current page
// (PageCanvas) in device units, converting its 0.1 mm coordinates with
// ToDeviceX / ToDeviceY / ToDeviceWidth / ToDeviceHeight, reports progress
// (ReportProgress) and ends the document (CloseDocument, or AbandonDocument
// when cancelled). A printer serves one document: OpenDocument fails unless
// the printer is ready.
//
// With DestPageStore (the default) every page is recorded as an enhanced
// metafile at the screen's density and kept in the page store, from which
// it can be fetched (FetchPage), printed later (PrintStoredPages), saved to
// a report file (SaveReportFile) and loaded back (LoadReportFile). With
// DestPrinter the pages are drawn on the printer device (Qt PrintSupport);
// pages outside FirstPage..LastPage are drawn into throw-away metafiles.
// The device job starts with the first page actually drawn and a new sheet
// is started only between two drawn pages, so no blank sheet ever leaves
// the printer.
//
// Status: StatusReady --OpenDocument--> StatusBusy --Close/Abandon-->
// StatusFinished; LoadReportFile goes to StatusFinished with ReportLoaded;
// ResetStore goes back to StatusReady and drops the pages.
//
// Notices (RepNotices.h): progress, page-available and run-ended notices are
// posted to Client (the preview control or the progress window), the print
// request is posted and the preview-closed notice sent to Master (the
// report).
//
// A preview control that becomes Client implements TRepPrinterClient, so a
// printer that goes away detaches it (the control's printer becomes none).

#include "platform/Metafile.h"
#include "report/output/RepPageList.h"
#include "report/output/RepPrinterSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class Canvas;
class MetafileCanvas;
class PainterCanvas;
class QPainter;
class QPrinter;
class QWidget;
class TRepExportFilter;
class TRepPrinter;

// Implemented by a Client that holds on to its printer (the preview control).
class TRepPrinterClient
{
public:
    virtual ~TRepPrinterClient() = default;
    // printer is going away: forget it (without calling it back).
    virtual void DetachPrinter(TRepPrinter *printer) = 0;
};

// The preview interface: shows a preview window for a printer. The base
// class shows nothing and returns none; the preview window registers its
// own class with SetPreviewInterfaceClass.
class TRepPreviewInterface
{
public:
    virtual ~TRepPreviewInterface() = default;
    // A non-modal preview window for printer (shown), or none.
    virtual QWidget *ShowPreview(TRepPrinter &printer);
    // A modal preview for printer, returning when it closes, or none.
    virtual QWidget *ShowModalPreview(TRepPrinter &printer);
};
using TRepPreviewInterfaceFactory = std::function<std::unique_ptr<TRepPreviewInterface>()>;
// Registers the class ShowPreview instantiates; an empty factory restores
// the base class.
void SetPreviewInterfaceClass(TRepPreviewInterfaceFactory factory);

class TRepPrinter
{
public:
    enum TRepDestination { DestPageStore = 0, DestPrinter = 1 };
    enum TRepStatus { StatusReady = 0, StatusBusy = 1, StatusFinished = 2 };

    TRepPrinter();
    ~TRepPrinter();
    TRepPrinter(const TRepPrinter &) = delete;
    TRepPrinter &operator=(const TRepPrinter &) = delete;

    // --- document and pages -------------------------------------------
    // Fails with "Report printer not ready" unless StatusReady (nothing
    // changes then). Opens the page store (DestPageStore) or prepares the
    // device (DestPrinter); no page is open yet.
    void OpenDocument();
    // Closes the open page (if any) and opens the next one. Fails with
    // "Illegal call to NewPage" unless StatusBusy.
    void AdvancePage();
    // Stores the last page, announces the pages, rewrites the store's
    // header (DestPageStore) or ends the device job and calls
    // AfterPrintHandler (DestPrinter). Does nothing unless StatusBusy.
    void CloseDocument();
    // Keeps what was drawn (DestPageStore) or aborts the device job.
    void AbandonDocument();
    void RequestCancel() { FCancelled = true; }
    // Drops the pages and the store's stream; back to StatusReady.
    void ResetStore();

    // The canvas of the open page, or none before the first AdvancePage.
    Canvas *PageCanvas() const;

    // 0.1 mm to device units of the open page.
    int ToDeviceX(double x) const;
    int ToDeviceY(double y) const;
    int ToDeviceWidth(double w) const;
    int ToDeviceHeight(double h) const;
    // The paper's width and length in 0.1 mm as oriented (landscape swaps).
    int OrientedPaperWidth() const;
    int OrientedPaperLength() const;

    // Stored page n, or none unless busy or finished and 1 <= n <= PageCount
    // (also none for a stored page whose bytes are no sound page).
    std::optional<Metafile> FetchPage(int n) const;
    // Pages finished and stored, 1..ReadyPages: every page of a finished
    // printer, the announced ones of a busy printer (not the page being
    // drawn), none of a ready one.
    int ReadyPages() const;

    // --- notices -------------------------------------------------------
    void ReportProgress(int percent);
    void AnnouncePages(int pages);
    // Posts the run-ended notice to Client: the run drawing on this printer
    // is over, however it ended. The report calls it last thing in a run.
    void AnnounceRunEnded();
    // Sends the preview-closed notice to Master. The master may free this
    // printer while handling it: the caller must not touch it afterwards.
    void NotifyPreviewClosed();
    // Calls PreviewHandler, or shows a window of the registered preview
    // interface class and keeps a reference to it (Preview()).
    void ShowPreview();

    // --- stored pages ----------------------------------------------------
    // With a Master and pages not loaded from a file: posts the print
    // request (the report runs again to the printer). Otherwise, when
    // finished and a printer is there, prints FirstPage..LastPage of the
    // store (LastPage beyond PageCount counts as PageCount; pages that
    // cannot be read are left out).
    void PrintStoredPages();
    // Saves the pages to fileName when finished; otherwise nothing.
    void SaveReportFile(const QString &fileName);
    // Loads fileName as the pages: the file is opened and checked first and
    // replaces the pages only when that worked. Paper size and orientation
    // are derived from page 1 (last matching paper-table row wins).
    void LoadReportFile(const QString &fileName);
    void RunPrintSetup(QObject *sender);
    // Calls ExportHandler with filter, or without one (a loaded file, a
    // report that exports nothing itself) lets filter write the stored pages.
    void RunExport(TRepExportFilter &filter);

    // --- properties ------------------------------------------------------
    TRepDestination Destination() const { return FDestination; }
    void SetDestination(TRepDestination d) { FDestination = d; }
    TRepStatus Status() const { return FStatus; }
    int PageNumber() const { return FPageNumber; }
    int PageCount() const { return FPageCount; }
    int AvailablePages() const { return FAvailablePages; }
    int Progress() const { return FProgress; }
    bool Cancelled() const { return FCancelled; }
    bool PrinterOK() const { return FPrinterOK; }
    bool ShowingPreview() const { return FShowingPreview; }
    // From true to false: cancels a busy document, then AfterPreviewHandler.
    void SetShowingPreview(bool showing);
    bool ReportLoaded() const { return FReportLoaded; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }
    int FirstPage() const { return FFirstPage; }
    void SetFirstPage(int page) { FFirstPage = page; }
    int LastPage() const { return FLastPage; }
    void SetLastPage(int page) { FLastPage = page; }
    double XScale() const { return FXScale; }
    double YScale() const { return FYScale; }
    int LeftUnprintable() const { return FLeftUnprintable; }
    int TopUnprintable() const { return FTopUnprintable; }
    QObject *Master() const { return FMaster; }
    void SetMaster(QObject *master) { FMaster = master; }
    QObject *Client() const { return FClient; }
    void SetClient(QObject *client) { FClient = client; }
    QWidget *Preview() const;
    bool Compression() const { return FPageList->Compression(); }
    void SetCompression(bool on) { FPageList->SetCompression(on); }

    // Passed to and from the device settings.
    TRepPaperSize PaperSize() const { return FSettings.PaperSize(); }
    void SetPaperSize(TRepPaperSize size) { FSettings.SetPaperSize(size); }
    int SheetWidth() const { return FSettings.SheetWidth(); }
    void SetSheetWidth(int w) { FSettings.SetSheetWidth(w); }
    int SheetLength() const { return FSettings.SheetLength(); }
    void SetSheetLength(int l) { FSettings.SetSheetLength(l); }
    TPrinterOrientation Orientation() const { return FSettings.Orientation(); }
    void SetOrientation(TPrinterOrientation o) { FSettings.SetOrientation(o); }
    TRepBin OutputBin() const { return FSettings.OutputBin(); }
    void SetOutputBin(TRepBin bin) { FSettings.SetOutputBin(bin); }
    int Copies() const { return FSettings.Copies(); }
    void SetCopies(int copies) { FSettings.SetCopies(copies); }
    bool Duplex() const { return FSettings.Duplex(); }
    void SetDuplex(bool duplex) { FSettings.SetDuplex(duplex); }
    // Index into QPrinterInfo::availablePrinters(), -1 for the default
    // printer. Acts only when PrinterOK: selects that printer with its
    // driver's defaults and re-reads the device settings.
    int DeviceIndex() const { return FDeviceIndex; }
    void SetDeviceIndex(int index);
    // Sends the device's output to a PDF file instead of a printer (the
    // print dialog's "print to file"); a file device counts as an installed
    // printer. An empty name goes back to the selected printer.
    void SetOutputFileName(const QString &fileName);

    TPrinterSettings &Settings() { return FSettings; }
    QPrinter &Device() { return *FDevice; }
    TRepPageList &PageStore() { return *FPageList; }

    // Callbacks; each may be empty.
    std::function<void(TRepPrinter &printer)> PreviewHandler;
    std::function<void(QObject *sender)> PrintSetupHandler;
    std::function<void(TRepExportFilter &filter)> ExportHandler;
    std::function<void()> AfterPrintHandler;
    std::function<void()> AfterPreviewHandler;

private:
    bool PageInRange() const;
    void OpenPage();
    void StorePage();
    void DiscardPage();
    void UseScreenScale();
    void StartDeviceSheet();
    void EndDeviceJob(bool abort);
    bool DevicePrinting() const;

    std::unique_ptr<QPrinter> FDevice;
    TPrinterSettings FSettings;
    std::unique_ptr<TRepPageList> FPageList;
    std::unique_ptr<MetafileCanvas> FPageMetafile;
    std::unique_ptr<QPainter> FDevicePainter;
    std::unique_ptr<PainterCanvas> FDeviceCanvas;
    bool FOnDevice = false; // the open page is drawn on the device
    TRepDestination FDestination = DestPageStore;
    TRepStatus FStatus = StatusReady;
    int FPageNumber = 0;
    int FPageCount = 0;
    int FAvailablePages = 0;
    int FProgress = 0;
    bool FCancelled = false;
    bool FPrinterOK = false;
    bool FHasPrinters = false;
    bool FShowingPreview = false;
    bool FReportLoaded = false;
    QString FTitle;
    int FFirstPage = 0;
    int FLastPage = 0;
    double FXScale = 1.0;
    double FYScale = 1.0;
    int FLeftUnprintable = 0;
    int FTopUnprintable = 0;
    int FDeviceIndex = -1;
    QPointer<QObject> FMaster;
    QPointer<QObject> FClient;
    QPointer<QWidget> FPreview;
};
