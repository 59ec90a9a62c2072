#include "report/output/RepPrinter.h"

#include "platform/MetafileCanvas.h"
#include "platform/MetafilePlayer.h"
#include "platform/PainterCanvas.h"
#include "platform/Rounding.h"
#include "platform/ScreenDensity.h"
#include "report/output/RepError.h"
#include "report/output/RepExportFilters.h"
#include "report/output/RepNotices.h"
#include "report/output/detail/RepStream.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

TRepPreviewInterfaceFactory &PreviewFactory()
{
    static TRepPreviewInterfaceFactory factory;
    return factory;
}

void PostNotice(QObject *receiver, QEvent::Type type, int value)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new TRepNotice(type, value));
}

} // namespace

QWidget *TRepPreviewInterface::ShowPreview(TRepPrinter &) { return nullptr; }
QWidget *TRepPreviewInterface::ShowModalPreview(TRepPrinter &) { return nullptr; }

void SetPreviewInterfaceClass(TRepPreviewInterfaceFactory factory)
{
    PreviewFactory() = std::move(factory);
}

TRepPrinter::TRepPrinter()
    : FDevice(std::make_unique<QPrinter>(QPrinter::HighResolution)), FPageList(std::make_unique<TRepPageList>())
{
    FHasPrinters = !QPrinterInfo::availablePrinters().isEmpty();
    FPrinterOK = FHasPrinters;
    if (FPrinterOK) {
        FSettings.Bind(FDevice.get());
        QCoreApplication::processEvents();
    }
    FTopUnprintable = FSettings.PhysicalTop();
    FLeftUnprintable = FSettings.PhysicalLeft();
}

TRepPrinter::~TRepPrinter()
{
    if (FStatus != StatusReady)
        ResetStore();
    EndDeviceJob(true);
    if (auto *client = dynamic_cast<TRepPrinterClient *>(FClient.data()))
        client->DetachPrinter(this);
}

QWidget *TRepPrinter::Preview() const
{
    return FPreview.data();
}

// --- coordinates ---------------------------------------------------------

int TRepPrinter::ToDeviceX(double x) const { return Nearest((x - FLeftUnprintable) * FXScale); }
int TRepPrinter::ToDeviceY(double y) const { return Nearest((y - FTopUnprintable) * FYScale); }
int TRepPrinter::ToDeviceWidth(double w) const { return Nearest(w * FXScale); }
int TRepPrinter::ToDeviceHeight(double h) const { return Nearest(h * FYScale); }

int TRepPrinter::OrientedPaperWidth() const
{
    return Orientation() == poLandscape ? FSettings.SheetLength() : FSettings.SheetWidth();
}

int TRepPrinter::OrientedPaperLength() const
{
    return Orientation() == poLandscape ? FSettings.SheetWidth() : FSettings.SheetLength();
}

void TRepPrinter::UseScreenScale()
{
    FXScale = FYScale = ScreenPixelsPerInch() / 254.0;
}

// --- document life cycle -------------------------------------------------

bool TRepPrinter::PageInRange() const
{
    return (FFirstPage <= 0 || FPageCount >= FFirstPage) && (FLastPage <= 0 || FLastPage >= FPageCount);
}

void TRepPrinter::OpenDocument()
{
    if (FStatus != StatusReady)
        throw ERepError(QStringLiteral("Report printer not ready"));
    FPageMetafile.reset();
    FAvailablePages = 0;
    FCancelled = false;
    if (FDestination == DestPrinter)
        FSettings.ApplyToDevice();
    FTopUnprintable = FDestination == DestPrinter ? FSettings.PhysicalTop() : 0;
    FLeftUnprintable = FDestination == DestPrinter ? FSettings.PhysicalLeft() : 0;
    FPageNumber = 0;
    FPageCount = 0;
    if (FDestination == DestPageStore) {
        FPageList->SetStream(std::make_unique<TRepStream>(TRepStream::DefaultMemoryLimit));
        UseScreenScale();
    } else {
        FXScale = FDevice->logicalDpiX() / 254.0;
        FYScale = FDevice->logicalDpiY() / 254.0;
    }
    FStatus = StatusBusy;
}

void TRepPrinter::StorePage()
{
    if (!FPageMetafile)
        return;
    const Metafile page = FPageMetafile->Finish();
    FPageMetafile.reset();
    FPageList->AppendPage(page);
}

void TRepPrinter::DiscardPage()
{
    FPageMetafile.reset();
}

bool TRepPrinter::DevicePrinting() const
{
    return FDevicePainter && FDevicePainter->isActive();
}

void TRepPrinter::StartDeviceSheet()
{
    if (DevicePrinting()) {
        if (!FDevice->newPage())
            throw ERepError(QStringLiteral("Printing failed"));
        FDeviceCanvas->Reset();
        return;
    }
    FDevice->setDocName(FTitle);
    FDevicePainter = std::make_unique<QPainter>();
    if (!FDevicePainter->begin(FDevice.get())) {
        FDevicePainter.reset();
        throw ERepError(QStringLiteral("Printing failed"));
    }
    FDeviceCanvas = std::make_unique<PainterCanvas>(*FDevicePainter);
}

void TRepPrinter::EndDeviceJob(bool abort)
{
    if (!FDevicePainter)
        return;
    if (abort && FDevicePainter->isActive())
        FDevice->abort();
    FDeviceCanvas.reset();
    if (FDevicePainter->isActive())
        FDevicePainter->end();
    FDevicePainter.reset();
}

void TRepPrinter::OpenPage()
{
    const bool onDevice = FDestination == DestPrinter && PageInRange();
    FOnDevice = onDevice;
    if (onDevice) {
        StartDeviceSheet();
        FXScale = FDevice->logicalDpiX() / 254.0;
        FYScale = FDevice->logicalDpiY() / 254.0;
        return;
    }
    UseScreenScale();
    FPageMetafile = std::make_unique<MetafileCanvas>(ToDeviceWidth(OrientedPaperWidth()),
                                                     ToDeviceHeight(OrientedPaperLength()), ScreenPixelsPerInch());
}

void TRepPrinter::AdvancePage()
{
    if (FStatus != StatusBusy)
        throw ERepError(QStringLiteral("Illegal call to NewPage"));
    if (FPageNumber > 0) {
        // A drawn device page stays open: the next sheet starts only when
        // another page is actually drawn.
        if (FDestination == DestPageStore)
            StorePage();
        else
            DiscardPage();
        AnnouncePages(FAvailablePages + 1);
    }
    ++FPageCount;
    ++FPageNumber;
    OpenPage();
}

Canvas *TRepPrinter::PageCanvas() const
{
    if (FPageMetafile)
        return FPageMetafile.get();
    if (FOnDevice && FDeviceCanvas)
        return FDeviceCanvas.get();
    return nullptr;
}

void TRepPrinter::CloseDocument()
{
    if (FStatus != StatusBusy)
        return;
    if (FDestination == DestPrinter) {
        DiscardPage();
        EndDeviceJob(false);
    } else if (FPageCount > 0) {
        StorePage();
    }
    FOnDevice = false;
    FStatus = StatusFinished;
    QCoreApplication::processEvents();
    AnnouncePages(FAvailablePages + 1);
    if (FDestination == DestPageStore)
        FPageList->FinishStore();
    else if (AfterPrintHandler)
        AfterPrintHandler();
}

void TRepPrinter::AbandonDocument()
{
    if (FDestination == DestPrinter) {
        DiscardPage();
        EndDeviceJob(true);
    } else {
        StorePage();
    }
    FOnDevice = false;
    FStatus = StatusFinished;
}

void TRepPrinter::ResetStore()
{
    if (FStatus == StatusBusy)
        RequestCancel();
    DiscardPage();
    if (FDestination == DestPrinter)
        EndDeviceJob(true);
    FOnDevice = false;
    FPageList->ReleaseStream();
    FPageList->ClearPages();
    FStatus = StatusReady;
}

std::optional<Metafile> TRepPrinter::FetchPage(int n) const
{
    if ((FStatus != StatusBusy && FStatus != StatusFinished) || n < 1 || n > FPageCount)
        return std::nullopt;
    return FPageList->ReadPage(n);
}

int TRepPrinter::ReadyPages() const
{
    if (FStatus == StatusBusy)
        return std::clamp(FAvailablePages, 0, FPageCount);
    return FStatus == StatusFinished ? FPageCount : 0;
}

// --- notices -------------------------------------------------------------

void TRepPrinter::ReportProgress(int percent)
{
    FProgress = percent;
    PostNotice(FClient, RepProgressNotice(), percent);
}

void TRepPrinter::AnnouncePages(int pages)
{
    FAvailablePages = pages;
    PostNotice(FClient, RepPageAvailableNotice(), pages);
}

void TRepPrinter::AnnounceRunEnded()
{
    PostNotice(FClient, RepRunEndedNotice(), 0);
}

void TRepPrinter::SetShowingPreview(bool showing)
{
    const bool closing = FShowingPreview && !showing;
    FShowingPreview = showing;
    if (closing) {
        if (FStatus == StatusBusy)
            RequestCancel();
        if (AfterPreviewHandler)
            AfterPreviewHandler();
    }
}

void TRepPrinter::NotifyPreviewClosed()
{
    if (QObject *master = FMaster.data()) {
        TRepNotice notice(RepPreviewClosedNotice(), 0, this);
        QCoreApplication::sendEvent(master, &notice);
    }
}

void TRepPrinter::ShowPreview()
{
    if (PreviewHandler) {
        PreviewHandler(*this);
        return;
    }
    std::unique_ptr<TRepPreviewInterface> preview =
        PreviewFactory() ? PreviewFactory()() : std::make_unique<TRepPreviewInterface>();
    if (preview)
        FPreview = preview->ShowPreview(*this);
}

// --- stored pages --------------------------------------------------------

void TRepPrinter::PrintStoredPages()
{
    if (FMaster && !FReportLoaded) {
        PostNotice(FMaster, RepPrintRequest(), 0);
        return;
    }
    if (FStatus != StatusFinished || !FPrinterOK)
        return;
    EndDeviceJob(true);
    FSettings.ApplyToDevice();
    const int first = FFirstPage > 0 ? FFirstPage : 1;
    const int last = (FLastPage > 0 && FLastPage <= FPageCount) ? FLastPage : FPageCount;
    try {
        for (int i = first; i <= last; ++i) {
            QCoreApplication::processEvents();
            if (const auto page = FetchPage(i)) {
                StartDeviceSheet();
                const QRect target(0, 0, FDevice->width(), FDevice->height());
                FDeviceCanvas->StretchDraw(target, *page);
            }
            if (FCancelled) {
                EndDeviceJob(true);
                break;
            }
        }
    } catch (...) {
        EndDeviceJob(false);
        throw;
    }
    EndDeviceJob(false);
}

void TRepPrinter::SaveReportFile(const QString &fileName)
{
    if (FStatus == StatusFinished)
        FPageList->SaveToReportFile(fileName);
}

void TRepPrinter::LoadReportFile(const QString &fileName)
{
    auto loaded = std::make_unique<TRepPageList>();
    loaded->LoadFromReportFile(fileName); // fails before anything here changes
    if (FStatus != StatusReady)
        ResetStore();
    FPageList = std::move(loaded);
    FPageCount = FPageList->PageCount();
    UseScreenScale();
    if (FPageCount > 0) {
        if (const auto page = FPageList->ReadPage(1)) {
            const int w = Nearest(std::trunc(page->Width() / FXScale / 40));
            const int h = Nearest(std::trunc(page->Height() / FXScale / 40));
            for (int row = 1; row <= 26; ++row) {
                const TRepPaperRow &paper = PaperRow(TRepPaperSize(row));
                const int pw = int(std::trunc(paper.Width / 4)), pl = int(std::trunc(paper.Length / 4));
                if (pw == w && pl == h) {
                    SetPaperSize(TRepPaperSize(row));
                    SetOrientation(poPortrait);
                }
                if (pw == h && pl == w) {
                    SetPaperSize(TRepPaperSize(row));
                    SetOrientation(poLandscape);
                }
            }
        }
    }
    FStatus = StatusFinished;
    PrintSetupHandler = nullptr;
    ExportHandler = nullptr;
    FReportLoaded = true;
}

void TRepPrinter::RunPrintSetup(QObject *sender)
{
    if (PrintSetupHandler)
        PrintSetupHandler(sender);
}

void TRepPrinter::RunExport(TRepExportFilter &filter)
{
    if (ExportHandler)
        ExportHandler(filter);
    else
        filter.WritePages(*this);
}

// --- device ----------------------------------------------------------------

void TRepPrinter::SetDeviceIndex(int index)
{
    FDeviceIndex = index;
    if (!FPrinterOK || !FHasPrinters)
        return;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    const QPrinterInfo info = (index >= 0 && index < printers.size()) ? printers[index]
                                                                       : QPrinterInfo::defaultPrinter();
    // A fresh device object starts from the driver's defaults.
    FDevice = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    FSettings.Bind(FDevice.get());
}

void TRepPrinter::SetOutputFileName(const QString &fileName)
{
    if (DevicePrinting())
        return;
    FDevice->setOutputFileName(fileName);
    if (!fileName.isEmpty()) {
        FDevice->setOutputFormat(QPrinter::PdfFormat);
        FPrinterOK = true;
        FSettings.Bind(FDevice.get());
    } else {
        FPrinterOK = FHasPrinters;
        FSettings.Bind(FPrinterOK ? FDevice.get() : nullptr);
    }
}
