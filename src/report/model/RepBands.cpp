#include "report/model/RepBands.h"

#include "report/model/RepPrintable.h"
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

// ---- TRepBandSize ----

TRepBandSize::TRepBandSize(TRepCustomBand *band) : TRepUnitBase(2), FBand(band) {}

void TRepBandSize::Set(int index, double value)
{
    const bool external = !SyncingOwner();
    if (!Store(index, value))
        return;
    ResizeOwner();
    if (external && FBand)
        FBand->SizeChanged();
}

void TRepBandSize::ResizeOwner()
{
    if (!FBand)
        return;
    TRepSyncGuard sync(*this);
    const int w = Nearest(NativeToUnit(TRepUnit::Pixels, true, NativeValue(iWidth)));
    const int h = Nearest(NativeToUnit(TRepUnit::Pixels, false, NativeValue(iHeight)));
    FBand->SetBounds(FBand->Left(), FBand->Top(), w, h);
}

double TRepBandSize::CharacterPointSize() const
{
    const TRepReportSite *report = FBand ? FBand->ReportSite() : nullptr;
    return report ? report->Font().Size : 10.0;
}

// ---- TRepCustomBand ----

TRepCustomBand::TRepCustomBand(TRepReportSite *report, TRepBandType type)
    : TRepControl(report), FBandType(type), FSize(this)
{
    SetColor(clRepWhite);
    SetBounds(0, 0, 0, DefaultBandHeight);
}

TRepCustomBand::~TRepCustomBand()
{
    if (TRepReportSite *report = ReportSite()) {
        for (TRepControl *c : report->ChildControls())
            if (auto *child = qobject_cast<TRepChildBand *>(c))
                if (child->FParentBand == this)
                    child->FParentBand = nullptr;
        report->BandRemoved(this);
    }
}

TRepReportSite *TRepCustomBand::ReportSite() const
{
    return qobject_cast<TRepReportSite *>(parent());
}

TRepCustomReport *TRepCustomBand::ParentReport() const
{
    TRepReportSite *report = ReportSite();
    return report ? report->Report() : nullptr;
}

void TRepCustomBand::SetBandTypeInternal(TRepBandType type)
{
    FBandType = type;
}

TRepChildBand *TRepCustomBand::ChildBand() const
{
    const TRepReportSite *report = ReportSite();
    if (!report)
        return nullptr;
    for (TRepControl *c : report->ChildControls())
        if (auto *child = qobject_cast<TRepChildBand *>(c))
            if (child->ParentBand() == this)
                return child;
    return nullptr;
}

void TRepCustomBand::SetHasChild(bool on)
{
    TRepReportSite *report = ReportSite();
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
        if (auto *p = qobject_cast<TRepPrintable *>(c))
            result.push_back(p);
    return result;
}

void TRepCustomBand::SizeChanged()
{
    if (TRepReportSite *report = ReportSite())
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
        if (TRepReportSite *report = ReportSite())
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

TRepBand::TRepBand(TRepReportSite *report, TRepBandType type) : TRepCustomBand(report, type)
{
    if (report)
        report->BandAdded(this);
}

void TRepBand::SetBandType(TRepBandType type)
{
    if (type == BandType())
        return;
    SetBandTypeInternal(type);
    if (TRepReportSite *report = ReportSite())
        report->OrderBands();
}

// ---- TRepChildBand ----

TRepChildBand::TRepChildBand(TRepReportSite *report)
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
        auto *child = qobject_cast<TRepChildBand *>(b);
        b = child ? child->FParentBand : nullptr;
    }
    FParentBand = band;
    if (TRepReportSite *report = ReportSite())
        report->OrderBands();
}

TRepBandType TRepChildBand::EffectiveType() const
{
    const TRepCustomBand *b = FParentBand;
    int guard = 0;
    while (b && guard++ < 10000) {
        auto *child = qobject_cast<const TRepChildBand *>(b);
        if (!child)
            return b->BandType();
        b = child->FParentBand;
    }
    return TRepBandType::rbChild;
}
