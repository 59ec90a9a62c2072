#include "report/model/RepReport.h"

#include "platform/FontAdvances.h"
#include "platform/MetafileCanvas.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepPrintable.h"
#include "report/output/RepPrinter.h"
#include "report/output/RepPrinterSettings.h"
#include "platform/Rounding.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

bool IsFullWidthType(TRepBandType type)
{
    switch (type) {
    case TRepBandType::rbTitle:
    case TRepBandType::rbPageHeader:
    case TRepBandType::rbPageFooter:
    case TRepBandType::rbSummary:
    case TRepBandType::rbOverlay:
        return true;
    default:
        return false;
    }
}

TRepBandType LayoutType(const TRepCustomBand *band)
{
    if (auto *child = qobject_cast<const TRepChildBand *>(band))
        return child->EffectiveType();
    return band->BandType();
}

void CollectPrintables(const TRepControl *control, std::vector<TRepPrintable *> &out)
{
    for (TRepControl *c : control->ChildControls()) {
        if (auto *p = qobject_cast<TRepPrintable *>(c))
            out.push_back(p);
        if (!qobject_cast<TRepCustomBand *>(c))
            CollectPrintables(c, out);
    }
}

} // namespace

TRepCustomReport::TRepCustomReport(TRepControl *parent)
    : TRepReportSite(parent), FPage(std::make_unique<TRepPage>(this))
{
    SetColor(clRepWhite);
    if (QLocale().language() != QLocale::Japanese) {
        TRepFont font;
        font.Name = QStringLiteral("Arial");
        font.Size = 10;
        SetFont(font);
    }
    FFunctions = std::make_unique<TRepEvEnvironment>();
    FFunctions->DefineEntry(QStringLiteral("PAGENUMBER"), QStringLiteral("0"));
    FFunctions->DefineEntry(QStringLiteral("COLUMNNUMBER"), QStringLiteral("0"));
    FFunctions->DefineEntry(QStringLiteral("REPORTTITLE"), QStringLiteral("''"));
    FController = std::make_unique<TRepController>(static_cast<TRepCustomReport *>(this));
    // A new report starts on the current printer's paper (else on the
    // locale's A4 or Letter).
    if (const TRepPaperSize paper = CurrentPrinterPaperSize(); paper != TRepPaperSize::Default)
        FPage->SetPaperSize(paper);
    const int dpi = FPage->ScreenResolution();
    FReferenceContext = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    FReferenceContext.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    FReferenceContext.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    FPage->ResizeOwner();
}

TRepCustomReport::~TRepCustomReport()
{
    FDestroying = true;
    // Bands unregister themselves as they go; free them while the report
    // is still whole.
    for (TRepControl *c : ChildControls())
        delete c;
    FBandList.clear();
}

void TRepCustomReport::SetUnits(TRepUnit units)
{
    FPage->SetUnits(units);
    for (TRepControl *c : ChildControls()) {
        if (auto *band = qobject_cast<TRepCustomBand *>(c)) {
            band->Size().SetUnits(units);
            for (TRepPrintable *p : band->Printables())
                p->Size().SetUnits(units);
        }
    }
    for (TRepPrintable *p : OverlayPrintables())
        p->Size().SetUnits(units);
}

void TRepCustomReport::SetZoom(int zoom)
{
    if (zoom < 1 || zoom > 300)
        return;
    std::vector<TRepPrintable *> printables = OverlayPrintables();
    for (TRepControl *c : ChildControls()) {
        if (auto *band = qobject_cast<TRepCustomBand *>(c)) {
            for (TRepPrintable *p : band->Printables())
                p->Size().SetZoom(zoom);
            band->Size().SetZoom(zoom);
        }
    }
    for (TRepPrintable *p : printables)
        p->Size().SetZoom(zoom);
    FPage->SetZoom(zoom);
    FPage->ResizeOwner();
    LayoutBands();
}

bool TRepCustomReport::PrintIfEmpty() const
{
    return FController->PrintIfEmpty;
}

void TRepCustomReport::SetPrintIfEmpty(bool on)
{
    FController->PrintIfEmpty = on;
}

TRepCustomBand *TRepCustomReport::BandOfType(TRepBandType type) const
{
    for (TRepCustomBand *band : FBandList)
        if (band->BandType() == type)
            return band;
    return nullptr;
}

std::vector<TRepPrintable *> TRepCustomReport::OverlayPrintables() const
{
    std::vector<TRepPrintable *> result;
    for (TRepControl *c : ChildControls())
        if (auto *p = qobject_cast<TRepPrintable *>(c))
            result.push_back(p);
    return result;
}

std::vector<TRepPrintable *> TRepCustomReport::AllBandPrintables() const
{
    std::vector<TRepPrintable *> result;
    for (TRepControl *c : ChildControls())
        if (qobject_cast<TRepCustomBand *>(c))
            CollectPrintables(c, result);
    return result;
}

int TRepCustomReport::MeasureTextWidth(const TRepFont &font, const QString &text)
{
    // Measured as the page records text: by the advances of its characters.
    const double w = TextAdvances(font).Width(text);
    if (!std::isfinite(w) || w < 0)
        return 0;
    return Nearest(w) + 1;
}

FontAdvances &TRepCustomReport::TextAdvances(const TRepFont &font)
{
    return FontAdvances::For(DeviceFont(font.ToQFont(), FPage->ScreenResolution()));
}

int TRepCustomReport::MeasureLineHeight(const TRepFont &font)
{
    const QFont qfont = font.ToQFont();
    const auto it = FLineHeights.constFind(qfont);
    if (it != FLineHeights.constEnd())
        return *it;
    const QFontMetricsF metrics(DeviceFont(qfont, FPage->ScreenResolution()), &FReferenceContext);
    const double h = metrics.height();
    const int result = std::isfinite(h) && h > 0 ? Nearest(h) : 0;
    FLineHeights.insert(qfont, result);
    return result;
}

void TRepCustomReport::LayoutBands()
{
    if (IsLoading() || FDestroying || FLayingOut)
        return;
    FLayingOut = true;
    const TRepUnit oldUnits = Units();
    FPage->SetUnits(TRepUnit::Pixels);

    const TRepPage &page = *FPage;
    const int margins = Nearest(page.LeftMargin() + page.RightMargin());
    const int fullWidth = Width() - margins;
    const int columns = page.Columns();
    const int columnWidth = (fullWidth - Nearest(page.ColumnSpace()) * (columns - 1)) / columns;
    const int left = Nearest(page.LeftMargin());
    int y = Nearest(page.TopMargin());

    const std::vector<TRepCustomBand *> bands = FBandList;
    for (TRepCustomBand *band : bands) {
        TRepBandSize &size = band->Size();
        {
            TRepSyncGuard sync(size);
            band->SetBounds(left, y, band->Width(), band->Height());
            const int width = IsFullWidthType(LayoutType(band)) ? fullWidth : columnWidth;
            size.PushPixelUnits();
            size.SetWidth(width);
            size.PopUnits();
        }
        y += band->Height();
    }

    FPage->SetUnits(oldUnits);
    FLayingOut = false;
}

void TRepCustomReport::OrderBands()
{
    if (IsLoading() || FDestroying)
        return;
    std::vector<TRepCustomBand *> previous = FBandList;
    std::vector<TRepCustomBand *> ordered;
    auto listed = [&ordered](TRepCustomBand *b) {
        return std::find(ordered.begin(), ordered.end(), b) != ordered.end();
    };
    auto addWithChildren = [&](TRepCustomBand *band) {
        while (band && !listed(band)) {
            ordered.push_back(band);
            band = band->ChildBand();
        }
    };
    auto addType = [&](TRepBandType type) {
        for (TRepCustomBand *b : previous)
            if (b->BandType() == type)
                addWithChildren(b);
    };

    addType(TRepBandType::rbPageHeader);
    addType(TRepBandType::rbTitle);
    addType(TRepBandType::rbColumnHeader);
    FController->CollectSubControllers();
    std::vector<TRepCustomBand *> controlled;
    FController->RegisterBands(controlled);
    for (TRepCustomBand *b : controlled)
        addWithChildren(b);
    addType(TRepBandType::rbPageFooter);
    for (TRepCustomBand *b : previous)
        addWithChildren(b);

    FBandList = ordered;
    LayoutBands();
}

void TRepCustomReport::BandAdded(TRepCustomBand *band)
{
    if (std::find(FBandList.begin(), FBandList.end(), band) == FBandList.end())
        FBandList.push_back(band);
    OrderBands();
}

void TRepCustomReport::BandRemoved(TRepCustomBand *band)
{
    FBandList.erase(std::remove(FBandList.begin(), FBandList.end(), band), FBandList.end());
    if (!FDestroying)
        OrderBands();
}

QString TRepCustomReport::NewBandName(const QString &stem) const
{
    for (int n = 1;; ++n) {
        const QString name = stem + QString::number(n);
        bool used = false;
        for (TRepControl *c : ChildControls())
            used = used || c->Name().compare(name, Qt::CaseInsensitive) == 0;
        if (!used)
            return name;
    }
}

void TRepCustomReport::BoundsChanged(const QRect &old)
{
    if (FPage->SyncingOwner() || IsLoading())
        return;
    if (old.size() != Bounds().size() && FPage->PaperSize() == TRepPaperSize::Custom) {
        TRepSyncGuard sync(*FPage);
        FPage->PushPixelUnits();
        FPage->SetWidth(Width());
        FPage->SetLength(Height());
        FPage->PopUnits();
    }
    LayoutBands();
}

void TRepCustomReport::FontChanged()
{
    FLineHeights.clear();
}

void TRepCustomReport::Loaded()
{
    FPage->ResizeOwner();
    OrderBands();
}

bool TRepCustomReport::BindHandler(TRepControl *, const QString &, const QString &)
{
    return false;
}

void TRepCustomReport::FunctionEntryRenamed(const QString &oldName, const QString &newName)
{
    if (!oldName.isEmpty())
        FFunctions->RemoveEntry(oldName);
    if (!newName.isEmpty())
        FFunctions->DefineEntry(newName, QStringLiteral("''"));
}

// ---- TRepReportBands ----

bool TRepReportBands::Has(TRepBandType type) const
{
    return FReport && FReport->BandOfType(type) != nullptr;
}

void TRepReportBands::Set(TRepBandType type, bool on)
{
    if (!FReport || on == Has(type))
        return;
    if (on) {
        auto *band = new TRepBand(FReport, type);
        band->SetName(FReport->NewBandName(RepBandNameStem(type)));
    } else {
        delete FReport->BandOfType(type);
    }
}

// ---- TRepController ----

TRepController::TRepController(TRepCustomReport *report)
    : TRepCustomController(report), FReport(report)
{
    SetParentReport(report);
}

TRepCustomBand *TRepController::HeaderBand() const
{
    return FReport->BandOfType(TRepBandType::rbTitle);
}

TRepCustomBand *TRepController::DetailBand() const
{
    return FReport->BandOfType(TRepBandType::rbDetail);
}

TRepCustomBand *TRepController::FooterBand() const
{
    return FReport->BandOfType(TRepBandType::rbSummary);
}

void TRepController::RegisterBands(std::vector<TRepCustomBand *> &list) const
{
    if (TRepCustomBand *b = HeaderBand())
        list.push_back(b);
    RegisterSubBands(PrintBeforeList(), list);
    if (TRepCustomBand *b = DetailBand())
        list.push_back(b);
    RegisterSubBands(PrintAfterList(), list);
    if (TRepCustomBand *b = FooterBand())
        list.push_back(b);
}

void TRepController::PrepareRun()
{
    TRepCustomController::PrepareRun();
    if (TRepCustomBand *detail = DetailBand())
        detail->NotifyController = FReport->OnNeedData ? this : nullptr;
}

void TRepController::FinishRun()
{
    if (TRepCustomBand *detail = DetailBand())
        detail->NotifyController = nullptr;
    TRepCustomController::FinishRun();
}

void TRepController::RunController()
{
    if (FReport->OnNeedData)
        RunNeedData();
    else if (PrintIfEmpty)
        RunEmpty();
}

void TRepController::RunEmpty()
{
    FReport->PlaceBand(HeaderBand());
    RunBeforeList();
    FReport->PlaceBand(DetailBand());
    RunAfterList();
    FReport->PlaceBand(FooterBand());
}

void TRepController::RunNeedData()
{
    bool moreData = true;
    FReport->OnNeedData(FReport, moreData);
    DetailNumber = 0;
    if (moreData) {
        QCoreApplication::processEvents();
        if (FReport->Cancelled())
            return;
        FReport->PlaceBand(HeaderBand());
        FReport->SkipNextForcedPage(true);
        TRepCustomBand *columnHeader = FReport->BandOfType(TRepBandType::rbColumnHeader);
        if (FReport->PagesStarted() <= 1 && columnHeader && columnHeader->Enabled()) {
            FReport->PlaceBand(columnHeader);
            FReport->SkipNextForcedPage(true);
        }
        while (moreData) {
            QCoreApplication::processEvents();
            if (FReport->RunCancelled())
                break;
            ++DetailNumber;
            RunBeforeList();
            FReport->PlaceBand(DetailBand());
            RunAfterList();
            moreData = false;
            FReport->OnNeedData(FReport, moreData);
        }
    }
    TRepCustomBand *footer = FooterBand();
    if (footer && FReport->PagesStarted() == 0)
        FReport->StartNewPage();
    FReport->PlaceBand(footer);
}
