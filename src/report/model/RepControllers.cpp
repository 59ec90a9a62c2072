#include "report/model/RepControllers.h"

#include "report/model/RepBands.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepPrintable.h"
#include "report/output/RepPrinter.h"
#include "report/model/RepReport.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// Controllers found among components: a controller band contributes its
// controller.
TRepCustomController *ControllerOf(QObject *component)
{
    if (auto *band = dynamic_cast<TRepControllerBand *>(component))
        return &band->Controller();
    return nullptr;
}

} // namespace

// ---- TRepCustomController ----

TRepCustomController::TRepCustomController(TRepControl *origin) : FOrigin(origin) {}

TRepCustomController::~TRepCustomController() = default;

void TRepCustomController::CollectSubControllers()
{
    FBefore.clear();
    FAfter.clear();
    std::vector<QObject *> components;
    if (QObject *owner = FOrigin ? FOrigin->parent() : nullptr)
        for (QObject *c : owner->children())
            components.push_back(c);
    if (FOrigin)
        for (QObject *c : FOrigin->children())
            components.push_back(c);

    TRepCustomReport *report = FParentReport;
    if (!report)
        report = dynamic_cast<TRepCustomReport *>(FOrigin);
    for (QObject *component : components) {
        TRepCustomController *sub = ControllerOf(component);
        if (!sub || sub == this || sub->Master() != FOrigin || !FOrigin)
            continue;
        auto &list = sub->PrintBefore ? FBefore : FAfter;
        if (std::find(list.begin(), list.end(), sub) != list.end())
            continue;
        sub->SetParentReport(report);
        list.push_back(sub);
        sub->CollectSubControllers();
    }
}

void TRepCustomController::RegisterSubBands(const std::vector<TRepCustomController *> &subs,
                                            std::vector<TRepCustomBand *> &list) const
{
    for (TRepCustomController *sub : subs)
        sub->RegisterBands(list);
}

void TRepCustomController::PrepareRun()
{
    DetailNumber = 0;
    FClients.clear();
    FLocalElement = nullptr;
    if (FParentReport && FOrigin && !dynamic_cast<TRepCustomReport *>(FOrigin))
        FLocalElement = FParentReport->Functions().FindConstant(FOrigin->Name());
    for (TRepCustomController *sub : FBefore)
        sub->PrepareRun();
    for (TRepCustomController *sub : FAfter)
        sub->PrepareRun();
}

void TRepCustomController::RunBeforeList()
{
    for (TRepCustomController *sub : FBefore)
        sub->RunController();
}

void TRepCustomController::RunAfterList()
{
    for (TRepCustomController *sub : FAfter)
        sub->RunController();
}

void TRepCustomController::FinishRun()
{
    FClients.clear();
    FLocalElement = nullptr;
    for (TRepCustomController *sub : FBefore)
        sub->FinishRun();
    for (TRepCustomController *sub : FAfter)
        sub->FinishRun();
}

void TRepCustomController::AddNotifyClient(TRepPrintable *client)
{
    if (std::find(FClients.begin(), FClients.end(), client) == FClients.end())
        FClients.push_back(client);
}

void TRepCustomController::NotifyClients(int operation)
{
    for (TRepPrintable *client : FClients)
        client->HandleNotify(this, operation);
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

// ---- TRepStringsController ----

TRepStringsController::TRepStringsController(TRepStringsBand *band)
    : TRepCustomController(band), FBand(band)
{
}

void TRepStringsController::RegisterBands(std::vector<TRepCustomBand *> &list) const
{
    RegisterSubBands(PrintBeforeList(), list);
    list.push_back(FBand);
    RegisterSubBands(PrintAfterList(), list);
}

void TRepStringsController::RunController()
{
    TRepCustomReport *report = ParentReport();
    const int count = int(Items.size());
    int reported = -1;
    for (int i = 0; i < count; ++i) {
        // A cancelled run stops before its next item.
        if (report && report->RunCancelled())
            break;
        FCurrentIndex = i;
        UpdateLocalValue();
        RunBeforeList();
        if (report)
            report->PlaceBand(FBand);
        RunAfterList();
        const int progress = int((qint64(i) + 1) * 100 / count);
        if (progress != reported && report && report->Printer()) {
            reported = progress;
            report->Printer()->ReportProgress(progress);
        }
    }
    FCurrentIndex = -1;
}

void TRepStringsController::UpdateLocalValue()
{
    if (TRepEvElement *element = LocalElement())
        TRepEvEnvironment::StoreResult(element, EvalResult::FromString(Items.at(FCurrentIndex)));
}
