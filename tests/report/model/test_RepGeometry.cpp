// Units, page settings, size objects and the design-size layout of bands.
#include "report/model/RepBands.h"
#include "report/model/RepCtrls.h"
#include "report/model/RepReport.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// A band size on its own (no owner) converts like any size object.
struct Conversion
{
    TRepUnit unit;
    bool horizontal;
    int zoom;
    double value;  // in unit
    double native; // expected Native
};

class UnitConversions : public ::testing::TestWithParam<Conversion> {};

TEST_P(UnitConversions, ConvertBothWaysExactly)
{
    const Conversion c = GetParam();
    TRepReport report; // 10-point font: CW = 3.1496, CH = 5.7205
    TRepBand band(&report);
    TRepBandSize &size = band.Size();
    size.SetScreenResolution(96);
    size.SetZoom(c.zoom);
    EXPECT_NEAR(size.UnitToNative(c.unit, c.horizontal, c.value), c.native, 0.005);
    const double native = size.UnitToNative(c.unit, c.horizontal, c.value);
    EXPECT_NEAR(size.NativeToUnit(c.unit, c.horizontal, native), c.value, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnitConversions,
    ::testing::Values(Conversion{TRepUnit::MM, true, 100, 21.0, 210.0},
                      Conversion{TRepUnit::Inches, false, 100, 0.5, 127.0},
                      Conversion{TRepUnit::Pixels, false, 100, 24, 63.5},
                      Conversion{TRepUnit::Pixels, false, 100, 19, 50.270833333},
                      Conversion{TRepUnit::Pixels, true, 100, 17, 44.979166667},
                      Conversion{TRepUnit::Pixels, true, 200, 48, 63.5},
                      Conversion{TRepUnit::Characters, true, 100, 10, 314.96},
                      Conversion{TRepUnit::Characters, false, 100, 10, 572.05},
                      Conversion{TRepUnit::Native, true, 100, 949.854, 949.854}));

TEST(RepUnits, PixelsSetByProgramCodeFollowTheScreenDensity)
{
    TRepReport report;
    TRepBand band(&report, TRepBandType::rbDetail);
    band.Size().SetUnits(TRepUnit::Native);
    band.SetHeight(24);
    EXPECT_DOUBLE_EQ(band.Size().Height(), 63.5);

    band.Size().SetScreenResolution(120);
    band.SetHeight(30);
    band.SetHeight(24);
    EXPECT_DOUBLE_EQ(band.Size().Height(), 50.8);
}

TEST(RepUnits, NestedPixelUnitsKeepTheOuterUnits)
{
    TRepReport report;
    TRepPage &page = report.Page();
    page.SetUnits(TRepUnit::Inches);
    page.PushPixelUnits();
    page.PushPixelUnits();
    page.PopUnits();
    EXPECT_EQ(page.Units(), TRepUnit::Pixels);
    page.PopUnits();
    EXPECT_EQ(page.Units(), TRepUnit::Inches);
    page.PopUnits(); // an extra pop changes nothing
    EXPECT_EQ(page.Units(), TRepUnit::Inches);
}

TEST(RepPage, StandardPaperSwapsWithOrientationAndCustomIsWritable)
{
    TRepReport report;
    TRepPage &page = report.Page();
    page.SetUnits(TRepUnit::MM);
    page.SetPaperSize(TRepPaperSize::A4);
    page.SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(page.Width(), 297);
    EXPECT_DOUBLE_EQ(page.Length(), 210);
    page.SetOrientation(poPortrait);
    EXPECT_DOUBLE_EQ(page.Width(), 210);
    EXPECT_DOUBLE_EQ(page.Length(), 297);

    page.SetWidth(100); // ignored: not a custom paper
    EXPECT_DOUBLE_EQ(page.Width(), 210);
    EXPECT_EQ(page.PaperSize(), TRepPaperSize::A4);

    page.SetPaperSize(TRepPaperSize::Custom);
    page.SetWidth(100);
    EXPECT_DOUBLE_EQ(page.Width(), 100);
    EXPECT_EQ(report.Width(), 378); // nearest(100 mm at 96 dpi)

    page.SetPaperSize(TRepPaperSize::Letter);
    EXPECT_DOUBLE_EQ(page.Width(), 215.9);
    EXPECT_DOUBLE_EQ(page.Length(), 279.4);
    EXPECT_EQ(page.Units(), TRepUnit::MM);
}

TEST(RepPage, IgnoredSettings)
{
    TRepReport report;
    report.Page().SetColumns(2);
    report.Page().SetColumns(0);
    report.Page().SetColumns(-3);
    EXPECT_EQ(report.Page().Columns(), 2);

    for (int zoom : {0, -5, 301}) {
        report.SetZoom(zoom);
        EXPECT_EQ(report.Zoom(), 100) << zoom;
    }
    report.SetZoom(300);
    EXPECT_EQ(report.Zoom(), 300);
}

TEST(RepBandSize, StoredValuesGivePixelsAtEveryZoom)
{
    TRepReport report;
    TRepBand band(&report, TRepBandType::rbDetail);
    band.Size().SetValues({63.5, 949.8541666666667});
    EXPECT_EQ(band.Width(), 359);
    EXPECT_EQ(band.Height(), 24);
    band.Size().SetZoom(200);
    EXPECT_EQ(band.Width(), 718);
    EXPECT_EQ(band.Height(), 48);
}

// The joke list's page: A4, 10 mm margins, two columns.
class JokeListPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        report.Page().SetPaperSize(TRepPaperSize::A4);
        report.Page().SetValues({160, 2970, 100, 2100, 100, 100, 0});
        report.Page().SetColumns(2);
        header = new TRepBand(&report, TRepBandType::rbPageHeader);
        strings = new TRepStringsBand(&report);
        footer = new TRepBand(&report, TRepBandType::rbPageFooter);
        report.SetUnits(TRepUnit::Native);
    }
    TRepReport report;
    TRepBand *header = nullptr;
    TRepStringsBand *strings = nullptr;
    TRepBand *footer = nullptr;
};

TEST_F(JokeListPage, ColumnBandsGetTheColumnWidthAndPageBandsTheFullWidth)
{
    EXPECT_EQ(report.Width(), 794);
    EXPECT_EQ(report.Height(), 1123);
    EXPECT_EQ(strings->Width(), 359);
    EXPECT_NEAR(strings->Size().Width(), 949.854, 0.001);
    EXPECT_EQ(header->Width(), 718);
    EXPECT_EQ(footer->Width(), 718);

    // Bands stack from the top margin in designer order: header, strings
    // band, footer.
    ASSERT_EQ(report.BandList().size(), 3u);
    EXPECT_EQ(report.BandList()[0], header);
    EXPECT_EQ(report.BandList()[1], strings);
    EXPECT_EQ(report.BandList()[2], footer);
    EXPECT_EQ(header->Top(), 38);
    EXPECT_EQ(strings->Top(), 38 + header->Height());
    EXPECT_EQ(strings->Left(), 38);
}

TEST_F(JokeListPage, ColumnWidthTruncates)
{
    // 795 pixels leave 719 inside the margins: two columns of 359.
    report.Page().SetPaperSize(TRepPaperSize::Custom);
    report.Page().SetWidth(report.Page().UnitToNative(TRepUnit::Pixels, true, 795));
    EXPECT_EQ(report.Width(), 795);
    EXPECT_EQ(strings->Width(), 359);
    EXPECT_EQ(header->Width(), 719);
}

TEST_F(JokeListPage, ZoomScalesTheReportAndItsBands)
{
    report.SetZoom(200);
    EXPECT_EQ(report.Width(), 1587); // nearest(793.7 × 2)
    EXPECT_EQ(strings->Width(), 718);
    EXPECT_NEAR(strings->Size().Width(), 949.854, 0.001); // Native stays
}

TEST_F(JokeListPage, PixelEditsOfBandsAndPrintablesReachTheSizeObjects)
{
    auto *expr = new TRepExpr(strings);
    expr->Size().SetValues({21 * 254.0 / 96, 52 * 254.0 / 96, 254.0 / 96, 301 * 254.0 / 96});
    EXPECT_EQ(expr->Left(), 52);

    strings->SetHeight(19);
    EXPECT_NEAR(strings->Size().Height(), 50.270833, 1e-6);
    // The bands below were laid out again.
    EXPECT_EQ(footer->Top(), strings->Top() + 19);

    expr->SetLeft(24);
    EXPECT_DOUBLE_EQ(expr->Size().NativeValue(TRepPrintableSize::iLeft), 63.5);
}

TEST_F(JokeListPage, UnitsReachEverySizeObject)
{
    auto *label = new TRepLabel(footer);
    report.SetUnits(TRepUnit::Inches);
    EXPECT_EQ(report.Page().Units(), TRepUnit::Inches);
    EXPECT_EQ(strings->Size().Units(), TRepUnit::Inches);
    EXPECT_EQ(label->Size().Units(), TRepUnit::Inches);
    EXPECT_DOUBLE_EQ(report.Page().Width(), 2100 / 254.0);
}

TEST(RepReportBands, FlagsCreateAndFreeBands)
{
    TRepReport report;
    TRepReportBands bands = report.Bands();
    EXPECT_FALSE(bands.HasTitle());
    bands.Set(TRepBandType::rbTitle, true);
    bands.Set(TRepBandType::rbPageHeader, true);
    EXPECT_TRUE(bands.HasTitle());
    ASSERT_EQ(report.BandList().size(), 2u);
    // Page headers come first in designer order.
    EXPECT_EQ(report.BandList()[0]->BandType(), TRepBandType::rbPageHeader);
    EXPECT_EQ(report.BandList()[0]->Name(), "PageHeaderBand1");
    bands.Set(TRepBandType::rbTitle, false);
    EXPECT_FALSE(bands.HasTitle());
    EXPECT_EQ(report.BandList().size(), 1u);
}

TEST(RepReportBands, ChildBandsFollowTheirParentAndRefuseCycles)
{
    TRepReport report;
    auto *footer = new TRepBand(&report, TRepBandType::rbPageFooter);
    auto *detail = new TRepBand(&report, TRepBandType::rbDetail);
    footer->SetHasChild(true);
    TRepChildBand *child = footer->ChildBand();
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->EffectiveType(), TRepBandType::rbPageFooter);
    const auto &list = report.BandList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0], detail);
    EXPECT_EQ(list[1], footer);
    EXPECT_EQ(list[2], child);

    auto *grandChild = new TRepChildBand(&report);
    grandChild->SetParentBand(child);
    child->SetParentBand(grandChild); // would be a cycle
    EXPECT_EQ(child->ParentBand(), footer);
    EXPECT_EQ(grandChild->EffectiveType(), TRepBandType::rbPageFooter);
}

TEST(RepReportText, MeasuresOnTheReferenceDevice)
{
    TRepReport report;
    TRepFont font;
    font.Name = QStringLiteral("Arial");
    font.Size = 10;
    EXPECT_EQ(report.MeasureTextWidth(font, QString()), 1);
    const int w1 = report.MeasureTextWidth(font, QStringLiteral("W"));
    const int w2 = report.MeasureTextWidth(font, QStringLiteral("WW"));
    EXPECT_GT(w1, 5);
    EXPECT_NEAR(w2 - 1, 2 * (w1 - 1), 1);
    font.Size = 20;
    EXPECT_NEAR(report.MeasureTextWidth(font, QStringLiteral("WW")) - 1, 2 * (w2 - 1), 2);
    // 10 points at 96 dpi are 13 pixels; the line is a little higher.
    font.Size = 10;
    EXPECT_GE(report.MeasureLineHeight(font), 13);
    EXPECT_LE(report.MeasureLineHeight(font), 18);
}

TEST(RepPrintables, AlignToBandFollowsTheBandWidth)
{
    TRepReport report;
    auto *band = new TRepBand(&report, TRepBandType::rbPageFooter);
    band->Size().SetValues({105.8333, 1899.7083333333335});
    ASSERT_EQ(band->Width(), 718);
    auto *label = new TRepLabel(band);
    label->SetBounds(10, 16, 100, 17);
    label->SetAlignment(TAlignment::taRightJustify);
    label->SetAlignToBand(true);
    EXPECT_EQ(label->Left(), 618);
    label->SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(label->Left(), 309);
    label->SetAlignment(TAlignment::taLeftJustify);
    EXPECT_EQ(label->Left(), 0);
}

} // namespace
