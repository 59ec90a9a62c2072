#include "report/definition/detail/RepDefNames.h"

const TRepDefNames<TRepUnit> &RepUnitNames()
{
    static const TRepDefNames<TRepUnit> names{{"MM", TRepUnit::MM},         {"Inches", TRepUnit::Inches},
                                              {"Pixels", TRepUnit::Pixels}, {"Characters", TRepUnit::Characters},
                                              {"Native", TRepUnit::Native}};
    return names;
}

const TRepDefNames<TPrinterOrientation> &RepOrientationNames()
{
    static const TRepDefNames<TPrinterOrientation> names{{"poPortrait", poPortrait}, {"poLandscape", poLandscape}};
    return names;
}

const TRepDefNames<TRepPaperSize> &RepPaperNames()
{
    static const TRepDefNames<TRepPaperSize> names = [] {
        std::vector<std::pair<QString, TRepPaperSize>> items;
        for (int i = 0; i < RepPaperSizeCount; ++i)
            items.emplace_back(QLatin1String(PaperRow(TRepPaperSize(i)).Name), TRepPaperSize(i));
        return TRepDefNames<TRepPaperSize>(std::move(items), Qt::CaseInsensitive,
                                           QStringLiteral("unknown paper size \"%1\""));
    }();
    return names;
}

const TRepDefNames<TRepBin> &RepBinNames()
{
    using B = TRepBin;
    static const TRepDefNames<TRepBin> names{
        {"First", B::First},         {"Upper", B::Upper},
        {"Lower", B::Lower},         {"Middle", B::Middle},
        {"Manual", B::Manual},       {"Envelope", B::Envelope},
        {"EnvManual", B::EnvManual}, {"Auto", B::Auto},
        {"Tractor", B::Tractor},     {"SmallFormat", B::SmallFormat},
        {"LargeFormat", B::LargeFormat}, {"LargeCapacity", B::LargeCapacity},
        {"Cassette", B::Cassette},   {"Last", B::Last}};
    return names;
}

const TRepDefNames<TAlignment> &RepAlignmentNames()
{
    using A = TAlignment;
    static const TRepDefNames<TAlignment> names{
        {"taLeftJustify", A::taLeftJustify}, {"taRightJustify", A::taRightJustify}, {"taCenter", A::taCenter}};
    return names;
}

const TRepDefNames<TRepBandType> &RepBandTypeNames()
{
    using B = TRepBandType;
    static const TRepDefNames<TRepBandType> names{
        {"rbTitle", B::rbTitle},             {"rbPageHeader", B::rbPageHeader},
        {"rbDetail", B::rbDetail},           {"rbPageFooter", B::rbPageFooter},
        {"rbSummary", B::rbSummary},         {"rbGroupHeader", B::rbGroupHeader},
        {"rbGroupFooter", B::rbGroupFooter}, {"rbSubDetail", B::rbSubDetail},
        {"rbColumnHeader", B::rbColumnHeader}, {"rbOverlay", B::rbOverlay},
        {"rbChild", B::rbChild}};
    return names;
}

const TRepDefNames<TRepSysDataType> &RepSysDataNames()
{
    using S = TRepSysDataType;
    static const TRepDefNames<TRepSysDataType> names{
        {"rsTime", S::rsTime},               {"rsDate", S::rsDate},
        {"rsDateTime", S::rsDateTime},       {"rsPageNumber", S::rsPageNumber},
        {"rsReportTitle", S::rsReportTitle}, {"rsDetailCount", S::rsDetailCount},
        {"rsDetailNo", S::rsDetailNo}};
    return names;
}

const TRepDefNames<TRepShapeType> &RepShapeNames()
{
    using S = TRepShapeType;
    static const TRepDefNames<TRepShapeType> names{
        {"rsRectangle", S::rsRectangle},       {"rsCircle", S::rsCircle},
        {"rsVertLine", S::rsVertLine},         {"rsHorLine", S::rsHorLine},
        {"rsTopAndBottom", S::rsTopAndBottom}, {"rsRightAndLeft", S::rsRightAndLeft}};
    return names;
}

const TRepDefNames<TRepPenStyle> &RepPenStyleNames()
{
    using P = TRepPenStyle;
    static const TRepDefNames<TRepPenStyle> names{
        {"psSolid", P::psSolid},     {"psDash", P::psDash},
        {"psDot", P::psDot},         {"psDashDot", P::psDashDot},
        {"psDashDotDot", P::psDashDotDot}, {"psClear", P::psClear},
        {"psInsideFrame", P::psInsideFrame}};
    return names;
}

const TRepDefNames<TRepBrushStyle> &RepBrushStyleNames()
{
    using B = TRepBrushStyle;
    static const TRepDefNames<TRepBrushStyle> names{
        {"bsSolid", B::bsSolid},         {"bsClear", B::bsClear},
        {"bsHorizontal", B::bsHorizontal}, {"bsVertical", B::bsVertical},
        {"bsFDiagonal", B::bsFDiagonal}, {"bsBDiagonal", B::bsBDiagonal},
        {"bsCross", B::bsCross},         {"bsDiagCross", B::bsDiagCross}};
    return names;
}

const TRepDefNames<TRepColor> &RepColorNames()
{
    static const TRepDefNames<TRepColor> names{
        {"clBlack", 0x000000},  {"clMaroon", 0x000080}, {"clGreen", 0x008000},   {"clOlive", 0x008080},
        {"clNavy", 0x800000},   {"clPurple", 0x800080}, {"clTeal", 0x808000},    {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},    {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},   {"clWhite", 0xFFFFFF},
        {"clWindowText", clRepWindowText}};
    return names;
}

const TRepDefNames<bool> &RepBiDiModeNames()
{
    static const TRepDefNames<bool> names{{{"bdLeftToRight", false}, {"bdRightToLeft", true}}, Qt::CaseSensitive};
    return names;
}

const TRepDefNames<unsigned> &RepReportOptionNames()
{
    static const TRepDefNames<unsigned> names{{{"FirstPageHeader", unsigned(TRepReportOption::FirstPageHeader)},
                                               {"LastPageFooter", unsigned(TRepReportOption::LastPageFooter)},
                                               {"Compression", unsigned(TRepReportOption::Compression)}},
                                              Qt::CaseSensitive,
                                              QStringLiteral("unknown report option \"%1\"")};
    return names;
}

const TRepDefNames<unsigned> &RepFontStyleNames()
{
    static const TRepDefNames<unsigned> names{
        {{"fsBold", 1u}, {"fsItalic", 2u}, {"fsUnderline", 4u}, {"fsStrikeOut", 8u}},
        Qt::CaseSensitive,
        QStringLiteral("unknown font style \"%1\"")};
    return names;
}
