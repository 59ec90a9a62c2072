#include "report/model/RepControllers.h"

#include "report/expr/RepExpr.h"
#include "report/model/RepPrintable.h"
#include "report/output/RepPrinter.h"

#include <algorithm>

namespace {

// Controllers found among components: a controller band contributes its
// controller.
TRepCustomController *ControllerOf(QObject *component)
{
    if (auto *band = qobject_cast<TRepControllerBand *>(component))
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

    TRepReportSite *report = FParentReport;
    if (!report)
        report = qobject_cast<TRepReportSite *>(FOrigin);
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
    if (FParentReport && FOrigin && !qobject_cast<TRepReportSite *>(FOrigin))
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
    TRepReportSite *report = ParentReport();
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
    // The element keeps the whole item: results made of it are cut by the
    // evaluator's own rule, but a field printing the band's name prints the
    // item whole.
    if (TRepEvElement *element = LocalElement()) {
        TRepEvEnvironment::StoreResult(element, EvalResult::FromString(Items.at(FCurrentIndex)));
        TRepEvEnvironment::StoreString(element, Items.at(FCurrentIndex));
    }
}

// ---- TRepControllerBand ----

TRepControllerBand::TRepControllerBand(TRepReportSite *report, TRepBandType type,
                                       std::unique_ptr<TRepCustomController> controller)
    : TRepCustomBand(report, type), FController(std::move(controller))
{
    if (report) {
        FController->SetMaster(report);
        FController->SetParentReport(report);
    }
}

TRepControllerBand::~TRepControllerBand() = default;

TRepControl *TRepControllerBand::Master() const
{
    return FController->Master();
}

void TRepControllerBand::SetMaster(TRepControl *master)
{
    if (master == FController->Master())
        return;
    for (TRepControl *m = master; m;) {
        if (m == this)
            return; // circular linking
        auto *band = qobject_cast<TRepControllerBand *>(m);
        m = band ? band->Master() : nullptr;
    }
    FController->SetMaster(master);
    if (TRepReportSite *report = ReportSite())
        report->OrderBands();
}

bool TRepControllerBand::PrintBefore() const
{
    return FController->PrintBefore;
}

void TRepControllerBand::SetPrintBefore(bool on)
{
    if (on == FController->PrintBefore)
        return;
    FController->PrintBefore = on;
    if (TRepReportSite *report = ReportSite())
        report->OrderBands();
}

void TRepControllerBand::NameChanged(const QString &oldName)
{
    if (TRepReportSite *report = ReportSite())
        report->FunctionEntryRenamed(oldName, Name());
}

// ---- TRepStringsBand ----

TRepStringsBand::TRepStringsBand(TRepReportSite *report)
    : TRepControllerBand(report, TRepBandType::rbSubDetail,
                         std::make_unique<TRepStringsController>(this))
{
    if (report) {
        SetName(report->NewBandName(QStringLiteral("StringsBand")));
        report->BandAdded(this);
    }
}

QStringList TRepStringsBand::Items() const
{
    return static_cast<const TRepStringsController &>(
               const_cast<TRepStringsBand *>(this)->Controller())
        .Items;
}

void TRepStringsBand::SetItems(const QStringList &items)
{
    StringsController().Items = items;
}

TRepStringsController &TRepStringsBand::StringsController()
{
    return static_cast<TRepStringsController &>(Controller());
}
