#include "report/definition/detail/RepDefTables.h"

#include "report/definition/detail/RepDefProperties.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepReport.h"

namespace {

using TSection = TRepDefSection;
using TProperties = std::vector<TRepDefProperty>;

// Sizes beyond any paper or control are refused: pixel positions and sizes,
// the zoom in per cent and the number of columns.
constexpr int MaxPixels = 10'000'000;
constexpr int MaxZoom = 1000;
constexpr int MaxColumns = 1000;

// Short names for the lines of the tables.
const TRepDefBoolean Boolean;
const TRepDefInteger Integer;
const TRepDefColor Colour;
const TRepDefString Quoted;
const TRepDefTexts Texts;
const TRepDefAlways Always;
const TRepDefOwnFont OwnFont;

template <class T>
TRepDefDefault<T> Default(T value)
{
    return {value};
}

template <class E>
TRepDefName<E> Named(const TRepDefNames<E> &names)
{
    return {names};
}

// The properties of one section of a table.
struct TSectionOf
{
    TSection Section;
    TProperties Properties;
};

TProperties Sections(std::vector<TSectionOf> sections)
{
    TProperties all;
    for (TSectionOf &s : sections)
        for (TRepDefProperty &p : s.Properties) {
            p.Section = s.Section;
            all.push_back(std::move(p));
        }
    return all;
}

template <class C>
bool IsA(TRepControl &control)
{
    return dynamic_cast<C *>(&control) != nullptr;
}

std::vector<TRepControl *> NoChildren(TRepControl &)
{
    return {};
}

// A class that a definition names only as the base of others; children
// gives the objects written inside one of its objects, when they are not
// those of the base.
template <class C>
TRepDefClass BaseClass(const char *name, const TRepDefClass *base, std::vector<TSectionOf> sections,
                       TRepDefClass::ChildrenStep children = {})
{
    TRepDefClass cls;
    cls.Name = QLatin1String(name);
    cls.Base = base;
    cls.Properties = Sections(std::move(sections));
    cls.Children = std::move(children);
    return cls;
}

// A class whose objects a definition makes: bands on the report, printables
// on a band or the report.
template <class C>
TRepDefClass MadeClass(const char *name, const TRepDefClass *base, std::vector<TSectionOf> sections)
{
    TRepDefClass cls = BaseClass<C>(name, base, std::move(sections));
    cls.Holds = IsA<C>;
    if constexpr (std::is_base_of_v<TRepCustomBand, C>) {
        cls.Place = TRepDefPlace::OnReport;
        cls.Create = [](TRepCustomReport &report, TRepControl &) -> TRepControl * { return new C(&report); };
    } else {
        cls.Place = TRepDefPlace::OnBandOrReport;
        cls.Create = [](TRepCustomReport &, TRepControl &parent) -> TRepControl * { return new C(&parent); };
    }
    return cls;
}

TRepControl *AnyObject(TRepDefReader &reader, const QString &name, int line)
{
    return reader.Find(name, line);
}

TRepCustomBand *Band(TRepDefReader &reader, const QString &name, int line)
{
    TRepCustomBand *band = reader.Find(name, line)->AsBand();
    if (!band)
        reader.Fail(line, QStringLiteral("\"%1\" is not a band").arg(name));
    return band;
}

// ---------------------------------------------------------------- controls

// The lengths of the size of a band or printable, count of them.
template <class C>
TRepDefProperty SizeValues(int count)
{
    return RepDefProperty<C>(
        "Size.Values", TRepDefLengths{count}, [](C &c) { return c.Size().Values(); },
        [](C &c, const std::vector<double> &lengths) { c.Size().SetValues(lengths); }, Always);
}

// Any of them gives the control a font of its own.
template <class T>
TRepDefProperty FontPart(const char *name, auto codec, T TRepFont::*part)
{
    const auto get = [part](TRepControl &c) { return c.Font().*part; };
    const auto set = [part](TRepControl &c, const T &value) {
        TRepFont font = c.Font();
        font.*part = value;
        c.SetFont(font);
    };
    return RepDefProperty<TRepControl>(name, codec, get, set, OwnFont);
}

unsigned FontStyle(TRepControl &c)
{
    const TRepFont f = c.Font();
    return (f.Bold ? 1u : 0u) | (f.Italic ? 2u : 0u) | (f.Underline ? 4u : 0u) | (f.StrikeOut ? 8u : 0u);
}

void SetFontStyle(TRepControl &c, unsigned style)
{
    TRepFont font = c.Font();
    font.Bold = style & 1u;
    font.Italic = style & 2u;
    font.Underline = style & 4u;
    font.StrikeOut = style & 8u;
    c.SetFont(font);
}

template <class C>
TProperties FrameProperties(TRepFrame &(C::*frame)())
{
    const TRepFrame d;
    using F = TRepFrame;
    return {RepDefPartField<C>("Frame.Color", Colour, frame, &F::Color, Default(d.Color)),
            RepDefPartField<C>("Frame.DrawTop", Boolean, frame, &F::DrawTop, Default(false)),
            RepDefPartField<C>("Frame.DrawBottom", Boolean, frame, &F::DrawBottom, Default(false)),
            RepDefPartField<C>("Frame.DrawLeft", Boolean, frame, &F::DrawLeft, Default(false)),
            RepDefPartField<C>("Frame.DrawRight", Boolean, frame, &F::DrawRight, Default(false)),
            RepDefPartField<C>("Frame.Style", Named(RepPenStyleNames()), frame, &F::Style, Default(d.Style)),
            RepDefPartField<C>("Frame.Width", RepDefIntegerIn(0, MaxPixels), frame, &F::Width, Default(d.Width))};
}

const TRepDefClass &ControlClass()
{
    using C = TRepControl;
    // Pixel bounds come from definitions written by hand; the writer keeps
    // the lengths of the size instead.
    const TRepDefInteger pixels = RepDefIntegerIn(-MaxPixels, MaxPixels);
    static const TRepDefClass cls = BaseClass<C>("TRepControl", nullptr, {
        {TSection::Settings,
         {RepDefReadOnly<C>("Left", pixels, &C::SetLeft), RepDefReadOnly<C>("Top", pixels, &C::SetTop),
          RepDefReadOnly<C>("Width", pixels, &C::SetWidth), RepDefReadOnly<C>("Height", pixels, &C::SetHeight)}},
        {TSection::Looks,
         {RepDefProperty<C>("Color", Colour, &C::Color, &C::SetColor, Default(clRepWhite)),
          RepDefProperty<C>("Enabled", Boolean, &C::Enabled, &C::SetEnabled, Default(true)),
          RepDefProperty<C>("Visible", Boolean, &C::Visible, &C::SetVisible, Default(true)),
          RepDefReadOnly<C>("ParentFont", Boolean, &C::SetParentFont),
          FontPart("Font.Name", Quoted, &TRepFont::Name), FontPart("Font.Size", Integer, &TRepFont::Size),
          FontPart("Font.Color", Colour, &TRepFont::Color), FontPart("Font.Charset", Integer, &TRepFont::Charset),
          RepDefProperty<C>("Font.Style", TRepDefSet{RepFontStyleNames()}, FontStyle, SetFontStyle, OwnFont)}},
    }, NoChildren);
    return cls;
}

// ---------------------------------------------------------------- the report

using TReport = TRepCustomReport;

TRepDefProperty PageProperty(const char *name, auto codec, auto get, auto set, auto shown)
{
    return RepDefProperty<TReport>(
        name, codec, [get](TReport &r) { return std::invoke(get, r.Page()); },
        [set](TReport &r, const auto &value) { std::invoke(set, r.Page(), value); }, shown);
}

template <class T>
TRepDefProperty PrinterSetting(const char *name, auto codec, T TRepPrinterSettings::*field)
{
    return RepDefPartField<TReport>(name, codec, &TReport::PrinterSettings, field, Always);
}

unsigned Options(TReport &r)
{
    return unsigned(r.Options.toInt());
}

void SetOptions(TReport &r, unsigned options)
{
    r.Options = TRepReportOptions::fromInt(int(options));
}

QStringList FunctionNames(TReport &r)
{
    QStringList names;
    for (int i = 0; i < r.Functions().Count(); ++i)
        names << r.Functions().Name(i);
    return names;
}

QStringList FunctionData(TReport &r)
{
    QStringList data;
    for (int i = 0; i < r.Functions().Count(); ++i)
        data << r.Functions().Expression(i);
    return data;
}

std::vector<TRepControl *> ReportChildren(TRepControl &control)
{
    auto &report = static_cast<TReport &>(control);
    std::vector<TRepControl *> children(report.BandList().begin(), report.BandList().end());
    for (TRepPrintable *p : report.OverlayPrintables())
        children.push_back(p);
    return children;
}

const TRepDefClass &ReportClass()
{
    using R = TReport;
    using P = TRepPage;
    using S = TRepPrinterSettings;
    // The report's size follows its page: pixel bounds are taken as whole
    // numbers and passed over.
    const auto ignore = [](R &, int) {};
    static const TRepDefClass cls = BaseClass<R>("TRepReport", &ControlClass(), {
        {TSection::Settings,
         {RepDefProperty<R>("Units", Named(RepUnitNames()), &R::Units, &R::SetUnits, Always),
          RepDefProperty<R>("Zoom", RepDefIntegerIn(1, MaxZoom), &R::Zoom, &R::SetZoom, Always),
          PageProperty("Page.PaperSize", Named(RepPaperNames()), &P::PaperSize, &P::SetPaperSize, Always),
          PageProperty("Page.Orientation", Named(RepOrientationNames()), &P::Orientation, &P::SetOrientation,
                       Always),
          PageProperty("Page.Columns", RepDefIntegerIn(1, MaxColumns), &P::Columns, &P::SetColumns, Always),
          PageProperty("Page.Ruler", Boolean, &P::Ruler, &P::SetRuler, Default(true)),
          PageProperty("Page.Values", TRepDefLengths{7}, &P::Values, &P::SetValues, Always),
          RepDefProperty<R>("Options", TRepDefSet{RepReportOptionNames()}, Options, SetOptions, Always),
          RepDefProperty<R>("PrintIfEmpty", Boolean, &R::PrintIfEmpty, &R::SetPrintIfEmpty, Always),
          RepDefField("ShowProgress", Boolean, &R::ShowProgress, Always),
          RepDefField("SnapToGrid", Boolean, &R::SnapToGrid, Always),
          RepDefField("ReportTitle", Quoted, &R::ReportTitle, Always),
          RepDefField("Description", Texts, &R::Description, Default(QStringList())),
          PrinterSetting("PrinterSettings.Copies", Integer, &S::Copies),
          PrinterSetting("PrinterSettings.Duplex", Boolean, &S::Duplex),
          PrinterSetting("PrinterSettings.FirstPage", Integer, &S::FirstPage),
          PrinterSetting("PrinterSettings.LastPage", Integer, &S::LastPage),
          PrinterSetting("PrinterSettings.OutputBin", Named(RepBinNames()), &S::OutputBin),
          RepDefReadOnly<R>("Left", Integer, ignore), RepDefReadOnly<R>("Top", Integer, ignore),
          RepDefReadOnly<R>("Width", Integer, ignore), RepDefReadOnly<R>("Height", Integer, ignore)}},
        {TSection::Frame, FrameProperties(&R::Frame)},
        {TSection::Details,
         {RepDefProperty<R>("Functions.Strings", Texts, FunctionNames, &TRepDefReader::SetFunctionNames,
                            Always),
          RepDefProperty<R>("Functions.DATA", Texts, FunctionData, &TRepDefReader::SetFunctionData, Always)}},
        {TSection::Handlers, // in the order of their names, as they were always written
         {RepDefHandler("AfterPreview"), RepDefHandler("AfterPrint"), RepDefHandler("BeforePrint"),
          RepDefHandler("OnEndPage"), RepDefHandler("OnNeedData"), RepDefHandler("OnPreview"),
          RepDefHandler("OnStartPage")}},
    }, ReportChildren);
    return cls;
}

// ---------------------------------------------------------------- bands

std::vector<TRepControl *> BandChildren(TRepControl &control)
{
    const std::vector<TRepPrintable *> printables = static_cast<TRepCustomBand &>(control).Printables();
    return {printables.begin(), printables.end()};
}

const TRepDefClass &CustomBandClass()
{
    using B = TRepCustomBand;
    static const TRepDefClass cls = BaseClass<B>("TRepCustomBand", &ControlClass(), {
        {TSection::Role,
         {RepDefRefused("BandType", "only TRepBand has a BandType"),
          RepDefRefused("ParentBand", "only TRepChildBand has a ParentBand"),
          RepDefRefused("Master", "only controller bands have a Master"),
          RepDefRefused("PrintBefore", "only controller bands have PrintBefore")}},
        {TSection::Settings,
         {RepDefField("AlignToBottom", Boolean, &B::AlignToBottom, Default(false)),
          RepDefField("ForceNewColumn", Boolean, &B::ForceNewColumn, Default(false)),
          RepDefField("ForceNewPage", Boolean, &B::ForceNewPage, Default(false))}},
        {TSection::Frame, FrameProperties(&B::Frame)},
        {TSection::Handlers, {RepDefHandler("AfterPrint"), RepDefHandler("BeforePrint")}},
        {TSection::Contents, {RepDefRefused("Items", "only TRepStringsBand has Items")}},
        {TSection::Lengths, {SizeValues<B>(2)}},
    }, BandChildren);
    return cls;
}

const TRepDefClass &BandClass()
{
    using B = TRepBand;
    static const TRepDefClass cls = MadeClass<B>("TRepBand", &CustomBandClass(), {
        {TSection::Role,
         {RepDefProperty<B>("BandType", Named(RepBandTypeNames()), &B::BandType, &B::SetBandType, Always)}},
    });
    return cls;
}

const TRepDefClass &ChildBandClass()
{
    using B = TRepChildBand;
    static const TRepDefClass cls = MadeClass<B>("TRepChildBand", &CustomBandClass(), {
        {TSection::Role, {RepDefReference<B>("ParentBand", &B::ParentBand, &B::SetParentBand, Band)}},
    });
    return cls;
}

const TRepDefClass &ControllerBandClass()
{
    using B = TRepControllerBand;
    static const TRepDefClass cls = BaseClass<B>("TRepControllerBand", &CustomBandClass(), {
        {TSection::Role,
         {RepDefReference<B>("Master", &B::Master, &B::SetMaster, AnyObject),
          RepDefProperty<B>("PrintBefore", Boolean, &B::PrintBefore, &B::SetPrintBefore, Default(false))}},
    });
    return cls;
}

const TRepDefClass &StringsBandClass()
{
    using B = TRepStringsBand;
    static const TRepDefClass cls = MadeClass<B>("TRepStringsBand", &ControllerBandClass(), {
        {TSection::Contents, {RepDefProperty<B>("Items", Texts, &B::Items, &B::SetItems, Always)}},
    });
    return cls;
}

// ---------------------------------------------------------------- printables

const TRepDefClass &PrintableClass()
{
    using P = TRepPrintable;
    static const TRepDefClass cls = BaseClass<P>("TRepPrintable", &ControlClass(), {
        {TSection::Settings,
         {RepDefProperty<P>("Alignment", Named(RepAlignmentNames()), &P::Alignment, &P::SetAlignment,
                            Default(TAlignment::taLeftJustify)),
          RepDefProperty<P>("AlignToBand", Boolean, &P::AlignToBand, &P::SetAlignToBand, Default(false)),
          RepDefField("Transparent", Boolean, &P::Transparent, Default(false))}},
        {TSection::Frame, FrameProperties<P>(&P::Frame)},
        {TSection::Lengths, {SizeValues<P>(4)}},
    });
    return cls;
}

int LabelFontSize(TRepCustomLabel &label)
{
    return label.Font().Size;
}

const TRepDefClass &CustomLabelClass()
{
    using L = TRepCustomLabel;
    static const TRepDefClass cls = BaseClass<L>("TRepCustomLabel", &PrintableClass(), {
        {TSection::Details,
         {RepDefProperty<L>("AutoSize", Boolean, &L::AutoSize, &L::SetAutoSize, Default(true)),
          RepDefField("AutoStretch", Boolean, &L::AutoStretch, Default(false)),
          RepDefField("WordWrap", Boolean, &L::WordWrap, Default(true)),
          RepDefField("BiDiMode", Named(RepBiDiModeNames()), &L::RightToLeft, Default(false)),
          // Applied when loading ends, so a label keeps its point size on
          // a screen of any density.
          RepDefProperty<L>("FontSize", Integer, LabelFontSize, &L::SetStoredFontSize, OwnFont)}},
        {TSection::Handlers, {RepDefHandler("OnPrint")}},
    });
    return cls;
}

const TRepDefClass &LabelClass()
{
    using L = TRepLabel;
    static const TRepDefClass cls = MadeClass<L>("TRepLabel", &CustomLabelClass(), {
        {TSection::Caption, {RepDefProperty<L>("Caption", Quoted, &L::Caption, &L::SetCaption, Always)}},
    });
    return cls;
}

void SetExprMaster(TRepExpr &e, TRepControl *master)
{
    e.Master = master;
}

const TRepDefClass &ExprClass()
{
    using E = TRepExpr;
    static const TRepDefClass cls = MadeClass<E>("TRepExpr", &CustomLabelClass(), {
        {TSection::Details,
         {RepDefProperty<E>("Expression", Quoted, &E::Expression, &E::SetExpression, Always),
          RepDefProperty<E>("Mask", Quoted, &E::Mask, &E::SetMask, Default(QString())),
          RepDefField("ResetAfterPrint", Boolean, &E::ResetAfterPrint, Default(false)),
          RepDefReference<E>("Master", &E::Master, SetExprMaster, AnyObject)}},
    });
    return cls;
}

const TRepDefClass &SysDataClass()
{
    using S = TRepSysData;
    static const TRepDefClass cls = MadeClass<S>("TRepSysData", &CustomLabelClass(), {
        {TSection::Details,
         {RepDefProperty<S>("Data", Named(RepSysDataNames()), &S::Data, &S::SetData, Always),
          RepDefProperty<S>("Text", Quoted, &S::Text, &S::SetText, Default(QString()))}},
    });
    return cls;
}

const TRepDefClass &ShapeClass()
{
    using S = TRepShape;
    static const TRepDefClass cls = MadeClass<S>("TRepShape", &PrintableClass(), {
        {TSection::Details,
         {RepDefField("Shape", Named(RepShapeNames()), &S::Shape, Always),
          RepDefPartField<S>("Pen.Color", Colour, &S::Pen, &TRepPen::Color, Default(clRepBlack)),
          RepDefPartField<S>("Pen.Width", Integer, &S::Pen, &TRepPen::Width, Default(1)),
          RepDefPartField<S>("Pen.Style", Named(RepPenStyleNames()), &S::Pen, &TRepPen::Style,
                             Default(TRepPenStyle::psSolid)),
          RepDefPartField<S>("Brush.Color", Colour, &S::Brush, &TRepBrush::Color, Default(clRepWhite)),
          RepDefPartField<S>("Brush.Style", Named(RepBrushStyleNames()), &S::Brush, &TRepBrush::Style,
                             Default(TRepBrushStyle::bsSolid))}},
    });
    return cls;
}

} // namespace

const TRepDefClasses &RepDefClasses()
{
    static const TRepDefClasses classes{
        &ReportClass(),
        {&ControlClass(), &ReportClass(), &CustomBandClass(), &BandClass(), &ChildBandClass(), &ControllerBandClass(),
         &StringsBandClass(), &PrintableClass(), &CustomLabelClass(), &LabelClass(), &ExprClass(), &SysDataClass(),
         &ShapeClass()}};
    return classes;
}
