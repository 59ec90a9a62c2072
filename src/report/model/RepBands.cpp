#include "report/model/RepBands.h"

#include "report/model/RepControllers.h"
#include "report/model/RepPrintable.h"
#include "report/model/RepReport.h"
#include "platform/Rounding.h"

namespace {
constexpr int DefaultBandHeight = 40;

const char *const Captions[RepBandTypeCount] = {
    "Title", "Page Header", "Detail", "Page Footer", "Summary", "Group Header",
    "Group Footer", "Sub Detail", "Column Header", "Overlay", "Child"};
const char *const Stems[RepBandTypeCount] = {
    "TitleBand", "PageHeaderBand", "DetailBand", "PageFooterBand", "SummaryBand",
    "GroupHeaderBand", "GroupFooterBand", "SubDetailBand", "ColumnHeaderBand",
    "OverlayBand", "ChildBand"};

int TypeIndex(TRepBandType type)
{
    const int i = int(type);
    return i >= 0 && i < RepBandTypeCount ? i : 0;
}
} // namespace

QString RepBandCaption(TRepBandType type)
{
    return QString::fromLatin1(Captions[TypeIndex(type)]);
}

QString RepBandNameStem(TRepBandType type)
{
    return QString::fromLatin1(Stems[TypeIndex(type)]);
}

// ---- TRepCustomBand ----

TRepCustomBand::TRepCustomBand(TRepCustomReport *report, TRepBandType type)
    : TRepControl(report), FBandType(type), FSize(this)
{
    SetColor(clRepWhite);
    SetBounds(0, 0, 0, DefaultBandHeight);
}

TRepCustomBand::~TRepCustomBand()
{
    if (TRepCustomReport *report = ParentReport()) {
        for (TRepControl *c : report->ChildControls())
            if (auto *child = dynamic_cast<TRepChildBand *>(c))
                if (child->FParentBand == this)
                    child->FParentBand = nullptr;
        report->BandRemoved(this);
    }
}

TRepCustomReport *TRepCustomBand::ParentReport() const
{
    return dynamic_cast<TRepCustomReport *>(parent());
}

void TRepCustomBand::SetBandTypeInternal(TRepBandType type)
{
    FBandType = type;
}

TRepChildBand *TRepCustomBand::ChildBand() const
{
    const TRepCustomReport *report = ParentReport();
    if (!report)
        return nullptr;
    for (TRepControl *c : report->ChildControls())
        if (auto *child = dynamic_cast<TRepChildBand *>(c))
            if (child->ParentBand() == this)
                return child;
    return nullptr;
}

void TRepCustomBand::SetHasChild(bool on)
{
    TRepCustomReport *report = ParentReport();
    if (!report || on == HasChild())
        return;
    if (on) {
        auto *child = new TRepChildBand(report);
        child->SetName(report->NewBandName(RepBandNameStem(TRepBandType::rbChild)));
        child->SetParentBand(this);
    } else {
        delete ChildBand();
    }
}

std::vector<TRepPrintable *> TRepCustomBand::Printables() const
{
    std::vector<TRepPrintable *> result;
    for (TRepControl *c : ChildControls())
        if (auto *p = dynamic_cast<TRepPrintable *>(c))
            result.push_back(p);
    return result;
}

void TRepCustomBand::SizeChanged()
{
    if (TRepCustomReport *report = ParentReport())
        report->LayoutBands();
    NotifyPrintables(NotifyBandBoundsChanged);
}

void TRepCustomBand::NotifyPrintables(int operation)
{
    for (TRepPrintable *p : Printables())
        p->HandleNotify(this, operation);
}

void TRepCustomBand::BoundsChanged(const QRect &old)
{
    if (IsLoading()) {
        if (Height() != DefaultBandHeight)
            FLoadedHeight = Height();
        return;
    }
    if (FSize.SyncingOwner()) {
        if (old.size() != Bounds().size())
            NotifyPrintables(NotifyBandBoundsChanged);
        return;
    }
    const QRect b = Bounds();
    if (b.height() != old.height()) {
        FSize.PushPixelUnits();
        if (b.height() != Nearest(FSize.Height()))
            FSize.SetHeight(b.height());
        FSize.PopUnits();
    }
    if (old.topLeft() != b.topLeft())
        if (TRepCustomReport *report = ParentReport())
            report->LayoutBands();
}

void TRepCustomBand::Loaded()
{
    FSize.ResizeOwner();
    if (FLoadedHeight >= 0 && Height() == DefaultBandHeight)
        SetHeight(FLoadedHeight);
    FLoadedHeight = -1;
}

// ---- TRepBand ----

TRepBand::TRepBand(TRepCustomReport *report, TRepBandType type) : TRepCustomBand(report, type)
{
    if (report)
        report->BandAdded(this);
}

void TRepBand::SetBandType(TRepBandType type)
{
    if (type == BandType())
        return;
    SetBandTypeInternal(type);
    if (TRepCustomReport *report = ParentReport())
        report->OrderBands();
}

// ---- TRepChildBand ----

TRepChildBand::TRepChildBand(TRepCustomReport *report)
    : TRepCustomBand(report, TRepBandType::rbChild)
{
    if (report)
        report->BandAdded(this);
}

TRepChildBand::~TRepChildBand() = default;

void TRepChildBand::SetParentBand(TRepCustomBand *band)
{
    if (band == FParentBand)
        return;
    for (TRepCustomBand *b = band; b;) {
        if (b == this)
            return; // circular linking
        auto *child = dynamic_cast<TRepChildBand *>(b);
        b = child ? child->FParentBand : nullptr;
    }
    FParentBand = band;
    if (TRepCustomReport *report = ParentReport())
        report->OrderBands();
}

TRepBandType TRepChildBand::EffectiveType() const
{
    const TRepCustomBand *b = FParentBand;
    int guard = 0;
    while (b && guard++ < 10000) {
        auto *child = dynamic_cast<const TRepChildBand *>(b);
        if (!child)
            return b->BandType();
        b = child->FParentBand;
    }
    return TRepBandType::rbChild;
}

// ---- TRepControllerBand ----

TRepControllerBand::TRepControllerBand(TRepCustomReport *report, TRepBandType type,
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
        auto *band = dynamic_cast<TRepControllerBand *>(m);
        m = band ? band->Master() : nullptr;
    }
    FController->SetMaster(master);
    if (TRepCustomReport *report = ParentReport())
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
    if (TRepCustomReport *report = ParentReport())
        report->OrderBands();
}

void TRepControllerBand::NameChanged(const QString &oldName)
{
    if (TRepCustomReport *report = ParentReport())
        report->FunctionEntryRenamed(oldName, Name());
}

// ---- TRepStringsBand ----

TRepStringsBand::TRepStringsBand(TRepCustomReport *report)
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
