// Stored report definitions: reading, writing and rejecting bad ones.
#include "platform/AppError.h"
#include "report/model/RepBands.h"
#include "report/model/RepCtrls.h"
#include "report/definition/RepDefinition.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepReport.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray ListText()
{
    QFile file(QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/report/data/two_column_list.zrd"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

// A report with the list's one handler.
class ListReport : public TRepReport
{
public:
    int BeforePrintCalls = 0;
    bool BindHandler(TRepControl *component, const QString &event, const QString &handler) override
    {
        auto *band = dynamic_cast<TRepCustomBand *>(component);
        if (!band || event != QLatin1String("BeforePrint") || handler != QLatin1String("EntriesBeforePrint"))
            return false;
        band->BeforePrint = [this](TRepCustomBand *, bool &) { ++BeforePrintCalls; };
        return true;
    }
};

// A report that has every handler a definition names.
class AnyHandlerReport : public TRepReport
{
public:
    bool BindHandler(TRepControl *, const QString &, const QString &) override { return true; }
};

// Every stored definition in the source tree, outside build folders.
QStringList DefinitionFiles()
{
    QStringList files;
    const QString root = QStringLiteral(ZUMORIA_SOURCE_DIR);
    for (const char *folder : {"src", "tests", "examples", "data"}) {
        QDirIterator it(root + QLatin1Char('/') + QLatin1String(folder), {QStringLiteral("*.zrd")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    return files;
}

template <class T>
T *Find(TRepCustomReport &report, const char *name)
{
    return report.findChild<T *>(QString::fromLatin1(name));
}

TEST(RepDefinition, AListLoadsWithItsGeometry)
{
    ListReport report;
    LoadReportDefinition(report, ListText(), QStringLiteral("two_column_list.zrd"));

    EXPECT_EQ(report.Name(), "repList");
    EXPECT_EQ(report.ReportTitle, QStringLiteral("Glossary"));
    EXPECT_EQ(report.Page().PaperSize(), TRepPaperSize::A4);
    EXPECT_EQ(report.Page().Columns(), 2);
    EXPECT_EQ(report.Width(), 794);
    EXPECT_EQ(report.Height(), 1123);
    EXPECT_EQ(report.Units(), TRepUnit::MM);
    EXPECT_DOUBLE_EQ(report.Page().TopMargin(), 10.0);
    EXPECT_DOUBLE_EQ(report.Page().BottomMargin(), 16.0);
    EXPECT_EQ(report.Font().Name, "Arial");
    EXPECT_EQ(report.Font().Charset, 0);
    EXPECT_FALSE(report.ShowProgress);

    auto *strings = Find<TRepStringsBand>(report, "Entries");
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(strings->Width(), 359);
    EXPECT_EQ(strings->Height(), 24);
    EXPECT_EQ(strings->Master(), &report);
    EXPECT_EQ(strings->Items(), (QStringList{"=Heading", "entry", "+1"}));
    ASSERT_TRUE(strings->BeforePrint);
    bool print = true;
    strings->BeforePrint(strings, print);
    EXPECT_EQ(report.BeforePrintCalls, 1);

    ASSERT_EQ(report.BandList().size(), 3u);
    EXPECT_EQ(report.BandList()[0]->Name(), "PageHeader");
    EXPECT_EQ(report.BandList()[1], strings);
    EXPECT_EQ(report.BandList()[2]->Name(), "PageFooter");

    TRepEvEnvironment &functions = report.Functions();
    ASSERT_EQ(functions.Count(), 4);
    EXPECT_EQ(functions.Name(3), "ENTRIES");
    EXPECT_EQ(functions.Expression(3), "''");

    auto *banner = Find<TRepLabel>(report, "Banner");
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->Font().Size, 24);
    EXPECT_TRUE(banner->Font().Bold);
    EXPECT_EQ(banner->Font().Color, 0x00C0C0C0u);

    auto *text = Find<TRepExpr>(report, "EntryText");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->AutoStretch);
    EXPECT_FALSE(text->AutoSize());
    EXPECT_TRUE(text->WordWrap);

    // Values are Native: the footer's system data field is 4.50 mm high,
    // 4.23 mm below the band top and 20.64 mm wide.
    auto *printedAt = Find<TRepSysData>(report, "PrintedAt");
    ASSERT_NE(printedAt, nullptr);
    EXPECT_NEAR(printedAt->Size().Height(), 4.50, 0.005);
    EXPECT_NEAR(printedAt->Size().Top(), 4.23, 0.005);
    EXPECT_EQ(printedAt->Data(), TRepSysDataType::rsDateTime);
    auto *pageNo = Find<TRepSysData>(report, "PageNo");
    ASSERT_NE(pageNo, nullptr);
    EXPECT_EQ(pageNo->Text(), "Page ");
    EXPECT_EQ(pageNo->Alignment(), TAlignment::taRightJustify);
    // Right-aligned to the 718-pixel band whatever its text's width.
    EXPECT_EQ(pageNo->Left() + pageNo->Width(), 718);

    auto *strip = Find<TRepShape>(report, "EntryStrip");
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->Shape, TRepShapeType::rsTopAndBottom);
    EXPECT_EQ(strip->Brush.Color, 0x00F0F0F0u);
    EXPECT_EQ(strip->Width(), 661);
}

TEST(RepDefinition, WritingAndReadingGiveTheSameDefinition)
{
    ListReport report;
    LoadReportDefinition(report, ListText());
    const QByteArray saved = SaveReportDefinition(report);

    ListReport again;
    LoadReportDefinition(again, saved, QStringLiteral("saved"));
    EXPECT_EQ(SaveReportDefinition(again), saved);
    EXPECT_EQ(again.BandList().size(), 3u);
    auto *expr = Find<TRepExpr>(again, "EntryText");
    ASSERT_NE(expr, nullptr);
    EXPECT_EQ(expr->Expression(), "Entries");
    EXPECT_FALSE(expr->AutoSize());
    EXPECT_TRUE(expr->AutoStretch);
    EXPECT_EQ(expr->Font().Name, "Times New Roman");
}

TEST(RepDefinition, EveryDefinitionInTheSourceTreeSavesToATextThatLoadsBackToItself)
{
    // Seeds of the fuzz target named "refused-…" are meant to be refused.
    const QStringList files = DefinitionFiles();
    EXPECT_GE(files.size(), 3);
    for (const QString &path : files) {
        SCOPED_TRACE(path.toStdString());
        AnyHandlerReport report;
        if (QFileInfo(path).fileName().startsWith(QLatin1String("refused-"))) {
            EXPECT_THROW(LoadReportDefinitionFile(report, path), AppError);
            continue;
        }
        LoadReportDefinitionFile(report, path);
        const QByteArray saved = SaveReportDefinition(report);
        AnyHandlerReport again;
        LoadReportDefinition(again, saved);
        EXPECT_EQ(SaveReportDefinition(again), saved);
    }
}

TEST(RepDefinition, ASavedDefinitionOfEveryPropertyIsWrittenBackByteForByte)
{
    // Written by the writer itself, with every class and every property
    // away from its default: the order and form of the lines stay.
    const QByteArray text = ReadAll(QStringLiteral(ZUMORIA_SOURCE_DIR "/tests/report/definition/data/every_property.zrd"));
    ASSERT_FALSE(text.isEmpty());
    AnyHandlerReport report;
    LoadReportDefinition(report, text);
    EXPECT_EQ(SaveReportDefinition(report), text);
}

TEST(RepDefinition, TheReportKeepsItsColourAndVisibility)
{
    const QByteArray text = "zumoria-report 1\nobject r: TRepReport\n  Color = clRed\n  Enabled = false\n"
                            "  Visible = false\nend\n";
    TRepReport report;
    LoadReportDefinition(report, text);
    const QByteArray saved = SaveReportDefinition(report);
    EXPECT_TRUE(saved.contains("\n  Color = clRed\n  Enabled = false\n  Visible = false\n")) << saved.toStdString();
}

TEST(RepDefinition, HexadecimalNumbersAreReadInBothSpellings)
{
    const QByteArray text = "zumoria-report 1\nobject r: TRepReport\n  Font.Color = $E9E9E9\n"
                            "  Frame.Color = 0x00123456\nend\n";
    TRepReport report;
    LoadReportDefinition(report, text);
    EXPECT_EQ(report.Font().Color, 0x00E9E9E9u);
    EXPECT_EQ(report.Frame().Color, 0x00123456u);
}

TEST(RepDefinition, TextsKeepEveryCharacter)
{
    TRepReport report;
    auto *band = new TRepBand(&report, TRepBandType::rbPageHeader);
    band->SetName(QStringLiteral("Header"));
    auto *label = new TRepLabel(band);
    label->SetName(QStringLiteral("Label"));
    const QString caption = QStringLiteral("a \"quoted\" \\ back\r\nszőlő\tű\x01");
    label->SetCaption(caption);
    const QByteArray saved = SaveReportDefinition(report);

    TRepReport again;
    LoadReportDefinition(again, saved);
    auto *loaded = Find<TRepLabel>(again, "Label");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Caption(), caption);
}

TEST(RepDefinition, PixelBoundsFollowTheLoadingRules)
{
    // Pixel bounds given while loading are applied at the end only where the
    // stored values left the control at 0; a band's height other than its
    // default of 40 pixels is applied when the control still has 40.
    const QByteArray text = R"(zumoria-report 1
object r: TRepReport
  Page.PaperSize = A4
  object b: TRepBand
    BandType = rbDetail
    Height = 30
    object l: TRepLabel
      AutoSize = false
      Left = 12
      Top = 7
      Width = 50
      Size.Values = (0 0 0 264.58333333333337)
    end
  end
end
)";
    TRepReport report;
    LoadReportDefinition(report, text);
    auto *band = Find<TRepBand>(report, "b");
    auto *label = Find<TRepLabel>(report, "l");
    ASSERT_TRUE(band && label);
    EXPECT_EQ(band->Height(), 30);
    EXPECT_DOUBLE_EQ(band->Size().NativeValue(TRepBandSize::iHeight), 30 * 254.0 / 96);
    EXPECT_EQ(label->Left(), 12);
    EXPECT_EQ(label->Top(), 7);
    EXPECT_EQ(label->Width(), 100); // the stored width wins
    EXPECT_DOUBLE_EQ(label->Size().NativeValue(TRepPrintableSize::iLeft), 12 * 254.0 / 96);
}

TEST(RepDefinition, StoredLengthsWinOverThePaperTable)
{
    const QByteArray text = R"(zumoria-report 1
object r: TRepReport
  Page.Values = (50 1500 50 1000 50 50 0)
  Page.PaperSize = A4
end
)";
    TRepReport report;
    LoadReportDefinition(report, text);
    report.SetUnits(TRepUnit::Native);
    EXPECT_DOUBLE_EQ(report.Page().Width(), 1000);
    EXPECT_DOUBLE_EQ(report.Page().Length(), 1500);
}

struct BadDefinition
{
    const char *text;
    const char *message; // part of the error text
};

class BadDefinitions : public ::testing::TestWithParam<BadDefinition> {};

TEST_P(BadDefinitions, AreRejectedWithALineAndLeaveTheReportAlone)
{
    ListReport report;
    LoadReportDefinition(report, ListText());
    const QByteArray before = SaveReportDefinition(report);
    try {
        LoadReportDefinition(report, GetParam().text, QStringLiteral("bad.zrd"));
        FAIL() << "accepted";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Error in bad.zrd, line "))) << e.text().toStdString();
        EXPECT_TRUE(e.text().contains(QString::fromUtf8(GetParam().message))) << e.text().toStdString();
    }
    EXPECT_EQ(SaveReportDefinition(report), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadDefinitions,
    ::testing::Values(
        BadDefinition{"", "does not start with"},
        BadDefinition{"zumoria-report 2\nobject r: TRepReport\nend\n", "unsupported format version 2"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n", "line 3: \"end\" of object r is missing"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Zoom = \"x\"\nend\n", "line 3: a number was expected"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Colour = 1\nend\n", "TRepReport has no property \"Colour\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    BandType = rbNothing\n  end\nend\n", "line 4: unknown value \"rbNothing\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TWidget\n  end\nend\n", "unknown class \"TWidget\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object l: TRepLabel\n    Caption = \"open\n  end\nend\n", "line 4: a text is not closed"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Page.Values = (1 2 3)\nend\n", "7 numbers were expected"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    object l: TRepBand\n    end\n  end\nend\n", "bands are placed on the report only"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n  end\n  object b: TRepBand\n  end\nend\n", "the name \"b\" is used twice"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object c: TRepChildBand\n    ParentBand = nobody\n  end\nend\n", "there is no object \"nobody\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object s: TRepStringsBand\n    BeforePrint = Missing\n  end\nend\n", "the report has no handler \"Missing\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Functions.Strings = (\"A\" \"B\")\n  Functions.DATA = (\"1\")\nend\n", "differ in length"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\nend\nend\n", "text after the final"},
        // Sizes beyond any paper, which would overflow the pixel sizes made from them.
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    object l: TRepLabel\n"
                      "      Size.Values = (50 0 0 710235477.3)\n    end\n  end\nend\n",
                      "line 5: the lengths of Size.Values must be at most 1000000"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Page.Values = (1 2 3 4 5 6 -1e7)\nend\n",
                      "line 3: the lengths of Page.Values must be"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    object l: TRepLabel\n"
                      "      Left = 2147483647\n    end\n  end\nend\n",
                      "line 5: Left must be between -10000000 and 10000000"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Zoom = 0\nend\n", "line 3: Zoom must be between 1 and 1000"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Frame.Width = -1\nend\n", "Frame.Width must be between 0"},
        // A property of a related class names the class that has it.
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object c: TRepChildBand\n    BandType = rbTitle\n  end\nend\n",
                      "line 4: only TRepBand has a BandType"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    ParentBand = b\n  end\nend\n",
                      "line 4: only TRepChildBand has a ParentBand"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    Master = r\n  end\nend\n",
                      "line 4: only controller bands have a Master"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object c: TRepChildBand\n    PrintBefore = true\n  end\nend\n",
                      "line 4: only controller bands have PrintBefore"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object b: TRepBand\n    Items = ()\n  end\nend\n",
                      "line 4: only TRepStringsBand has Items"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object e: TRepExpr\n    Caption = \"x\"\n  end\nend\n",
                      "line 4: TRepExpr has no property \"Caption\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object s: TRepShape\n    OnPrint = Print\n  end\nend\n",
                      "line 4: TRepShape has no property \"OnPrint\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object c: TRepChildBand\n    ParentBand = r\n  end\nend\n",
                      "line 4: \"r\" is not a band"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object l: TRepLabel\n    object m: TRepLabel\n    end\n  end\nend\n",
                      "line 4: printables are placed on a band or the report"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object p: TRepPrintable\n  end\nend\n",
                      "line 3: unknown class \"TRepPrintable\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object p: TRepReport\n  end\nend\n",
                      "line 3: unknown class \"TRepReport\""},
        // Values of the wrong kind or out of their range.
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Page.Columns = 0\nend\n", "line 3: Page.Columns must be between 1 and 1000"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Page.PaperSize = A9\nend\n", "line 3: unknown paper size \"A9\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Options = [Speed]\nend\n", "line 3: unknown report option \"Speed\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Font.Style = [fsbold]\nend\n", "line 3: unknown font style \"fsbold\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Options = FirstPageHeader\nend\n", "line 3: a set in [ ] was expected"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Font.Size = 1.5\nend\n", "line 3: \"1.5\" is not a whole number"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  ShowProgress = 1\nend\n", "line 3: true or false was expected"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  ReportTitle = Title\nend\n", "line 3: a text in double quotes was expected"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  object l: TRepLabel\n    BiDiMode = bdrighttoleft\n  end\nend\n",
                      "line 4: unknown value \"bdrighttoleft\""},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Description = (1 2)\nend\n", "line 3: a text in double quotes was expected"},
        // The Values list is checked before its name.
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Size.Values = (1e7)\nend\n", "line 3: the lengths of Size.Values must be"},
        BadDefinition{"zumoria-report 1\nobject r: TRepReport\n  Size.Values = (1)\nend\n", "line 3: TRepReport has no property \"Size.Values\""}));

} // namespace
