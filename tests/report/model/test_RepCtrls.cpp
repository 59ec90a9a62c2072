// Printables: line breaking of labels, stretching labels in a run,
// expression and system data texts.
#include "report/RecordingCanvas.h"
#include "platform/MetafileCanvas.h"
#include "platform/Rounding.h"
#include "report/model/RepBands.h"
#include "report/model/RepControllers.h"
#include "report/model/RepCtrls.h"
#include "report/output/RepPrinter.h"
#include "report/model/RepReport.h"
#include "support/QtPrinters.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

// A one-column A4 report with one detail band holding a label.
struct LabelReport
{
    LabelReport()
    {
        report.Page().SetPaperSize(TRepPaperSize::A4);
        report.Page().SetValues({100, 2970, 100, 2100, 100, 100, 0});
        detail = new TRepBand(&report, TRepBandType::rbDetail);
        detail->SetName(QStringLiteral("Detail"));
        label = new TRepLabel(detail);
        label->SetName(QStringLiteral("Label"));
        label->SetAutoSize(false);
        label->SetBounds(10, 0, 200, 20);
    }
    int Width(const QString &text) { return report.MeasureTextWidth(label->Font(), text); }

    TRepReport report;
    TRepBand *detail;
    TRepLabel *label;
};

struct BreakCase
{
    const char *name;
    QString caption;
    QString widthOf; // the label is as wide as this text (empty: 200 pixels)
    QStringList lines;
};

class LineBreaking : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaking, BreaksAsOnScreen)
{
    const BreakCase c = GetParam();
    LabelReport r;
    if (!c.widthOf.isEmpty())
        r.label->SetWidth(r.Width(c.widthOf));
    r.label->SetCaption(c.caption);
    EXPECT_EQ(r.label->FormattedLines(), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreaking,
    ::testing::Values(
        BreakCase{"crlf", QStringLiteral("one\r\ntwo"), {}, {"one", "two"}},
        BreakCase{"loneLf", QStringLiteral("one\ntwo"), {}, {"onetwo"}},
        BreakCase{"loneCr", QStringLiteral("one\rtwo\r"), {}, {"one", "two", ""}},
        BreakCase{"empty", QString(), {}, {""}},
        BreakCase{"fits", QStringLiteral("a few words"), {}, {"a few words"}},
        BreakCase{"spaceStays", QStringLiteral("one two"), QStringLiteral("one "), {"one ", "two"}},
        BreakCase{"hyphenStays", QStringLiteral("wide-i"), QStringLiteral("wide-"), {"wide-", "i"}},
        // A single word wider than the line keeps what fits; the rest is
        // dropped and the line after it is empty.
        BreakCase{"wideWord", QStringLiteral("WWWWWWWWWW"), QStringLiteral("WWW"), {"WW", ""}}),
    [](const auto &info) { return std::string(info.param.name); });

// Lines are broken by the widths the page records, so a kerned text (whose
// shaped width is narrower than its recorded one) never runs past the label,
// and each line is as full as it can be.
TEST(RepLabel, BrokenLinesFitAsTheyAreRecorded)
{
    const QString text = QStringLiteral("AVA WAVE AWAY To Tw Yo VAT LTA \u0150r \u0170r AVAVAV TAWA-TAWA Yvette "
                                        "WAVY Tokyo AT AV Ty Ta Va Wo");
    for (const int width : {90, 131, 157, 200, 263}) {
        SCOPED_TRACE(width);
        LabelReport r;
        r.label->SetWidth(width);
        r.label->SetCaption(text + QLatin1Char(' ') + text);
        MetafileCanvas page(800, 100, r.report.Page().ScreenResolution());
        page.SetFont(r.label->Font().ToQFont(), Qt::black);
        const QStringList lines = r.label->FormattedLines();
        ASSERT_GT(lines.size(), 2);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            EXPECT_LE(page.TextWidth(lines[i]) + 1, width) << lines[i].toStdString();
            if (i + 1 < lines.size()) {
                // The next line's first word, with the space or hyphen that ends it.
                const QString following = lines[i + 1];
                qsizetype end = 0;
                while (end < following.size() && following[end] != QLatin1Char(' ') && following[end] != QLatin1Char('-'))
                    ++end;
                const QString next = following.left(end + 1);
                EXPECT_GT(page.TextWidth(lines[i] + next) + 1, width) << (lines[i] + QLatin1Char('|') + next).toStdString();
            }
        }
    }
}

TEST(RepLabel, AutoSizeTakesTheWidestLineAndKeepsTheAlignedEdge)
{
    LabelReport r;
    r.label->SetAutoSize(true);
    r.label->SetAlignment(TAlignment::taRightJustify);
    const int right = r.label->Left() + r.label->Width();
    r.label->SetCaption(QStringLiteral("short\r\na much longer line of text"));
    EXPECT_EQ(r.label->FormattedLines().size(), 2);
    EXPECT_EQ(r.label->Width(), r.Width(QStringLiteral("a much longer line of text")));
    EXPECT_EQ(r.label->Left() + r.label->Width(), right);

    r.label->Frame().DrawLeft = true;
    r.label->Frame().DrawRight = true;
    r.label->Frame().Width = 3;
    r.label->BuildLines();
    EXPECT_EQ(r.label->Width(), r.Width(QStringLiteral("a much longer line of text")) + 6);
}

TEST(RepLabel, AControlIsAtLeastOneLineHigh)
{
    LabelReport r;
    r.label->SetHeight(2);
    r.label->SetCaption(QStringLiteral("x"));
    EXPECT_EQ(r.label->Height(), r.report.MeasureLineHeight(r.label->Font()) + 1);
}

// Runs the label report; a title band of titleHeight Native comes first.
struct LabelRun
{
    LabelRun(LabelReport &r, double titleHeight) : report(r.report), canvas(r.report)
    {
        auto *title = new TRepBand(&r.report, TRepBandType::rbTitle);
        title->Size().SetUnits(TRepUnit::Native);
        title->Size().SetHeight(titleHeight);
        r.detail->AfterPrint = [this](TRepCustomBand *, bool) { detailEnd = report.CursorY(); };
        TRepPrinter printer;
        r.report.GenerateReport(printer);
    }
    std::vector<DrawCall> Texts() const { return canvas.Of(DrawCall::Text); }

    TRepCustomReport &report;
    RecordingCanvas canvas;
    int detailEnd = -1;
};

TEST(RepLabel, ThreeLinesInAOneLineBox)
{
    for (const bool stretch : {false, true}) {
        LabelReport r;
        r.label->SetCaption(QStringLiteral("first\r\nsecond\r\nthird"));
        r.label->AutoStretch = stretch;
        r.label->SetHeight(r.report.MeasureLineHeight(r.label->Font()) + 1);
        r.detail->Size().SetUnits(TRepUnit::Native);
        const double bandHeight = r.detail->Size().Height();
        LabelRun run(r, 0);
        const auto texts = run.Texts();
        ASSERT_EQ(texts.size(), stretch ? 3u : 1u) << stretch;
        EXPECT_EQ(texts[0].text, "first");
        EXPECT_TRUE(r.label->PrintFinished());
        if (stretch) {
            EXPECT_EQ(texts[2].text, "third");
            EXPECT_GT(texts[1].y, texts[0].y);
            // The band grew by two line heights.
            EXPECT_GT(run.detailEnd, 100 + Nearest(bandHeight) + 50);
        } else {
            EXPECT_EQ(run.detailEnd, 100 + Nearest(bandHeight));
        }
    }
}

TEST(RepLabel, StretchingContinuesInTheNextColumnAtItsTop)
{
    LabelReport r;
    r.label->SetCaption(QStringLiteral("first\r\nsecond\r\nthird"));
    r.label->AutoStretch = true;
    r.label->SetTop(5);
    r.label->SetHeight(r.report.MeasureLineHeight(r.label->Font()) + 1);
    r.detail->Size().SetUnits(TRepUnit::Native);
    r.detail->Size().SetHeight(80);
    // Leave room for the band and one more line only.
    const double title = 2970 - 100 - 100 - 80 - 60;
    LabelRun run(r, title);
    const auto texts = run.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1].page, 1);
    EXPECT_EQ(texts[2].text, "third");
    EXPECT_EQ(texts[2].page, 2);
    // On page 2 the label goes on at its own top below the top margin.
    EXPECT_EQ(texts[2].y, Nearest((100 + r.label->Size().NativeValue(TRepPrintableSize::iTop)) * 96 / 254.0));
}

TEST(RepLabel, ALineThatFitsNoColumnIsPrintedWhereItStands)
{
    LabelReport r;
    TRepFont huge = r.label->Font();
    huge.Size = 900; // one line is higher than the page
    r.label->SetFont(huge);
    r.label->SetAutoSize(true); // whole lines, however wide
    r.label->SetCaption(QStringLiteral("a\r\nb"));
    r.label->AutoStretch = true;
    r.label->SetHeight(10);
    r.detail->SetHeight(12);
    LabelRun run(r, 0);
    const auto texts = run.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "a");
    EXPECT_EQ(texts[1].text, "b");
    EXPECT_EQ(texts[1].page, texts[0].page + 1);
    EXPECT_TRUE(r.report.Idle());
}

TEST(RepLabel, ADisabledLabelPrintsNothing)
{
    LabelReport r;
    r.label->SetCaption(QStringLiteral("hidden"));
    r.label->SetEnabled(false);
    LabelRun run(r, 0);
    EXPECT_TRUE(run.Texts().empty());
}

TEST(RepExpr, NumbersFollowTheMaskAndTheUsersDecimalSeparator)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    LabelReport r;
    auto *expr = new TRepExpr(r.detail);
    EXPECT_EQ(expr->ResultText(EvalResult::FromFloat(2.5)), "2,5");
    expr->SetMask(QStringLiteral("0.00"));
    EXPECT_EQ(expr->ResultText(EvalResult::FromFloat(2.5)), "2,50");
    EXPECT_EQ(expr->ResultText(EvalResult::FromInteger(7)), "7,00");
    EXPECT_EQ(expr->ResultText(EvalResult::FromBoolean(true)), "True");
    EXPECT_EQ(expr->ResultText(EvalResult::FromError(u"bad")), "bad");
    QLocale::setDefault(saved);

    // Outside a run the value is an error, not an exception.
    expr->SetExpression(QStringLiteral("1+1"));
    EXPECT_EQ(expr->CurrentValue().Kind(), KindError);
    EXPECT_EQ(expr->Caption(), "1+1");
    expr->SetExpression(QString());
    EXPECT_EQ(expr->Caption(), "(none)");
}

TEST(RepExpr, AWrongExpressionShowsItsMessageOnThePage)
{
    LabelReport r;
    delete r.label;
    auto *expr = new TRepExpr(r.detail);
    expr->SetExpression(QStringLiteral("NOSUCHNAME"));
    LabelRun run(r, 0);
    const auto texts = run.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0].text.contains(QStringLiteral("NOSUCHNAME"))) << texts[0].text.toStdString();
    EXPECT_EQ(expr->Caption(), "NOSUCHNAME"); // shown again after the run
}

TEST(RepSysData, PrintsItsTextAndValue)
{
    LabelReport r;
    delete r.label;
    auto *page = new TRepSysData(r.detail);
    page->SetData(TRepSysDataType::rsPageNumber);
    EXPECT_EQ(page->Caption(), "(Page#)");
    auto *title = new TRepSysData(r.detail);
    title->SetData(TRepSysDataType::rsReportTitle);
    title->SetText(QStringLiteral("Title: "));
    title->SetLeft(300);
    r.report.ReportTitle = QStringLiteral("Viccek");
    LabelRun run(r, 0);
    ASSERT_EQ(run.Texts().size(), 2u);
    EXPECT_EQ(run.Texts()[0].text, "1");
    EXPECT_EQ(run.Texts()[1].text, "Title: Viccek");
}

TEST(RepShape, EachShapeDrawsItsFigure)
{
    struct Case
    {
        TRepShapeType shape;
        int lines, rects, ellipses;
    };
    for (const Case c : {Case{TRepShapeType::rsRectangle, 0, 1, 0}, Case{TRepShapeType::rsCircle, 0, 0, 1},
                         Case{TRepShapeType::rsVertLine, 1, 0, 0}, Case{TRepShapeType::rsHorLine, 1, 0, 0},
                         Case{TRepShapeType::rsTopAndBottom, 2, 0, 0},
                         Case{TRepShapeType::rsRightAndLeft, 2, 0, 0}}) {
        LabelReport r;
        delete r.label;
        auto *shape = new TRepShape(r.detail);
        shape->Shape = c.shape;
        shape->SetBounds(20, 0, 100, 30);
        LabelRun run(r, 0);
        EXPECT_EQ(run.canvas.Of(DrawCall::Line).size(), size_t(c.lines)) << int(c.shape);
        EXPECT_EQ(run.canvas.Of(DrawCall::Rect).size(), size_t(c.rects)) << int(c.shape);
        EXPECT_EQ(run.canvas.Of(DrawCall::Ellipse).size(), size_t(c.ellipses)) << int(c.shape);
        if (c.shape == TRepShapeType::rsVertLine) {
            const DrawCall line = run.canvas.Of(DrawCall::Line)[0];
            const DrawCall move = run.canvas.Of(DrawCall::Move)[0];
            EXPECT_EQ(line.x, move.x);
            EXPECT_EQ(line.x, Nearest((100 + shape->Size().NativeValue(TRepPrintableSize::iLeft) +
                                       shape->Size().NativeValue(TRepPrintableSize::iWidth) / 2) *
                                      96 / 254.0));
        }
    }
}

} // namespace

namespace {

TEST(RepControls, ALookupByNameFindsOnlyAControlOfThatType)
{
    LabelReport r;
    auto *expr = new TRepExpr(r.detail);
    expr->SetName(QStringLiteral("Expr"));
    auto *shape = new TRepShape(r.detail);
    shape->SetName(QStringLiteral("Shape"));
    const QString label = QStringLiteral("Label");
    const QString detail = QStringLiteral("Detail");

    EXPECT_EQ(r.report.findChild<TRepLabel *>(label), r.label);
    EXPECT_EQ(r.report.findChild<TRepCustomLabel *>(label), r.label) << "a base class finds it";
    EXPECT_EQ(r.report.findChild<TRepPrintable *>(QStringLiteral("Shape")), shape);
    EXPECT_EQ(r.report.findChild<TRepCustomLabel *>(QStringLiteral("Expr")), expr);
    EXPECT_EQ(r.report.findChild<TRepBand *>(detail), r.detail);
    // The right name with the wrong type finds nothing.
    EXPECT_EQ(r.report.findChild<TRepExpr *>(label), nullptr) << "a sibling label class";
    EXPECT_EQ(r.report.findChild<TRepShape *>(label), nullptr);
    EXPECT_EQ(r.report.findChild<TRepLabel *>(QStringLiteral("Expr")), nullptr);
    EXPECT_EQ(r.report.findChild<TRepStringsBand *>(detail), nullptr);
    EXPECT_EQ(r.report.findChild<TRepChildBand *>(detail), nullptr);
    EXPECT_EQ(r.report.findChild<TRepPrintable *>(detail), nullptr);
}

} // namespace
