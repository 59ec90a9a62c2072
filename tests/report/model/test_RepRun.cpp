// One run of a report: how it ends for the report and for the printer's
// client, whichever way it ends; totals over its records; the paper its
// pages take.
#include "platform/AppError.h"
#include "report/expr/RepExpr.h"
#include "report/model/RepBands.h"
#include "report/model/RepCtrls.h"
#include "report/model/RepReport.h"
#include "report/output/RepNotices.h"
#include "report/output/RepPrinter.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPrinterInfo>
#include <algorithm>
#include <map>
#include <gtest/gtest.h>

namespace {

// A report of records of its own: a page footer, a detail band printed once
// per record that OnNeedData serves (the record's number is the Functions
// entry V) and a summary, on A4 with 10 mm margins.
struct RecordReport
{
    explicit RecordReport(int count = 3) : records(count)
    {
        report.Page().SetPaperSize(TRepPaperSize::A4);
        report.Page().SetValues({100, 2970, 100, 2100, 100, 100, 0});
        report.Functions().DefineEntry(QStringLiteral("V"), QStringLiteral("0"));
        footer = AddBand(TRepBandType::rbPageFooter, "Footer");
        detail = AddBand(TRepBandType::rbDetail, "Detail");
        summary = AddBand(TRepBandType::rbSummary, "Summary");
        report.OnNeedData = [this](TRepCustomReport *, bool &more) {
            more = served < records;
            if (more)
                TRepEvEnvironment::StoreInteger(report.Functions().FindConstant(QStringLiteral("V")), ++served);
        };
    }

    TRepBand *AddBand(TRepBandType type, const char *name)
    {
        auto *band = new TRepBand(&report, type);
        band->SetName(QString::fromLatin1(name));
        band->Size().SetUnits(TRepUnit::Native);
        band->Size().SetHeight(100);
        return band;
    }

    // A field on band computing expression; what it prints is noted in
    // printed under its name.
    TRepExpr *AddField(TRepBand *band, const char *name, const char *expression)
    {
        auto *field = new TRepExpr(band);
        field->SetName(QString::fromLatin1(name));
        field->SetExpression(QString::fromLatin1(expression));
        field->OnPrint = [this](TRepCustomLabel *sender, QString &value) {
            printed[sender->Name()].push_back(value);
        };
        return field;
    }

    TRepReport report;
    TRepBand *footer, *detail, *summary;
    int records;
    int served = 0;
    std::map<QString, QStringList> printed;
};

// The printer's client as the preview is one: notes the notices in order,
// and how the report stood when the run-ended notice came.
class NoticeLog : public QObject
{
public:
    NoticeLog(TRepPrinter &printer, const TRepCustomReport &report) : FReport(report)
    {
        printer.SetClient(this);
    }
    QStringList Notices;
    bool IdleAtRunEnded = false;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == RepRunEndedNotice()) {
            Notices << QStringLiteral("run ended");
            IdleAtRunEnded = FReport.Idle();
        } else if (e->type() == RepPageAvailableNotice()) {
            Notices << QStringLiteral("pages");
        } else {
            return QObject::event(e);
        }
        return true;
    }

private:
    const TRepCustomReport &FReport;
};

TEST(RepRun, EveryEndOfARunIsAnnouncedOnceTheReportIsIdle)
{
    enum End { Finished, Cancelled, Vetoed, FailsBeforeItStarts, FailsHalfway };
    struct Case
    {
        End end;
        const char *name;
        TRepPrinter::TRepStatus status; // of the printer after the run
        bool threw;
    };
    const std::vector<Case> cases{
        {Finished, "finished", TRepPrinter::StatusFinished, false},
        {Cancelled, "cancelled", TRepPrinter::StatusFinished, false},
        {Vetoed, "vetoed", TRepPrinter::StatusReady, false},
        {FailsBeforeItStarts, "fails before it starts", TRepPrinter::StatusReady, true},
        {FailsHalfway, "fails halfway", TRepPrinter::StatusFinished, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordReport r(40);
        if (c.end == Vetoed)
            r.report.BeforePrint = [](TRepCustomReport *, bool &print) { print = false; };
        if (c.end == FailsBeforeItStarts)
            r.report.BeforePrint = [](TRepCustomReport *, bool &) { throw AppError(QStringLiteral("no paper")); };
        r.detail->BeforePrint = [&](TRepCustomBand *, bool &) {
            if (r.served == 30 && c.end == Cancelled)
                r.report.CancelRun();
            if (r.served == 30 && c.end == FailsHalfway)
                throw AppError(QStringLiteral("out of ink"));
        };
        r.report.SetUnits(TRepUnit::Inches);
        TRepPrinter printer;
        NoticeLog log(printer, r.report);

        bool threw = false;
        try {
            r.report.GenerateReport(printer);
        } catch (const AppError &) {
            threw = true;
        }
        EXPECT_EQ(threw, c.threw);
        EXPECT_TRUE(r.report.Idle());
        EXPECT_EQ(r.report.Units(), TRepUnit::Inches);
        EXPECT_EQ(r.report.Functions().CompileCount(), 0);
        EXPECT_EQ(r.report.Printer(), nullptr) << "the printer was lent for the run only";
        EXPECT_EQ(printer.Status(), c.status);

        QCoreApplication::processEvents();
        ASSERT_FALSE(log.Notices.isEmpty());
        EXPECT_EQ(log.Notices.count(QStringLiteral("run ended")), 1);
        EXPECT_EQ(log.Notices.last(), QStringLiteral("run ended")) << "after the run's pages";
        EXPECT_TRUE(log.IdleAtRunEnded);
    }
}

TEST(RepRun, ARunRefusedWhileAnotherGoesOnAnnouncesNothing)
{
    RecordReport r(2);
    TRepPrinter second;
    NoticeLog log(second, r.report);
    r.detail->BeforePrint = [&](TRepCustomBand *, bool &) { r.report.GenerateReport(second); };
    TRepPrinter first;
    r.report.GenerateReport(first);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.Notices.isEmpty());
    EXPECT_EQ(second.Status(), TRepPrinter::StatusReady);
    EXPECT_EQ(first.PageCount(), 1);
}

TEST(RepRun, TotalsCountTheRecordsOfADataDrivenRun)
{
    RecordReport r(3);
    r.AddField(r.detail, "Count", "COUNT");
    r.AddField(r.detail, "RunningSum", "SUM(V)");
    const std::vector<std::pair<const char *, QString>> totals{
        {"COUNT", "3"}, {"SUM(V)", "6"}, {"MIN(V)", "1"}, {"MAX(V)", "3"}, {"AVERAGE(V)", "2"}};
    for (const auto &[expression, value] : totals)
        r.AddField(r.summary, expression, expression);
    TRepPrinter printer;
    r.report.GenerateReport(printer);

    EXPECT_EQ(r.printed["Count"], QStringList({"1", "2", "3"}));
    EXPECT_EQ(r.printed["RunningSum"], QStringList({"1", "3", "6"}));
    for (const auto &[expression, value] : totals)
        EXPECT_EQ(r.printed[QString::fromLatin1(expression)], QStringList{value}) << expression;
}

TEST(RepRun, TotalsStartAgainWithEveryRunAndAfterEveryPrintWhenAsked)
{
    RecordReport r(3);
    TRepExpr *each = r.AddField(r.detail, "Each", "COUNT");
    each->ResetAfterPrint = true;
    r.AddField(r.summary, "Sum", "SUM(V)");
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        r.served = 0;
        r.printed.clear();
        TRepPrinter printer;
        r.report.GenerateReport(printer);
        EXPECT_EQ(r.printed["Each"], QStringList({"1", "1", "1"}));
        EXPECT_EQ(r.printed["Sum"], QStringList{"6"});
    }
}

TEST(RepRun, AReportWithoutRecordsCountsNothing)
{
    // No OnNeedData: the detail band prints once, for no record.
    RecordReport r;
    r.report.OnNeedData = nullptr;
    r.AddField(r.detail, "Count", "COUNT");
    r.AddField(r.summary, "Total", "COUNT");
    TRepPrinter printer;
    r.report.GenerateReport(printer);
    EXPECT_EQ(r.printed["Count"], QStringList{"0"});
    EXPECT_EQ(r.printed["Total"], QStringList{"0"});
}

// Where the detail bands and footers of a run ended (cursor after them,
// Native) and the pixel size of every stored page.
struct PageFlow
{
    std::vector<int> detailBottoms, footerBottoms;
    std::vector<QSize> pages;
};

PageFlow RunOnItsOwnPaper(RecordReport &r)
{
    PageFlow flow;
    r.detail->AfterPrint = [&](TRepCustomBand *, bool) { flow.detailBottoms.push_back(r.report.CursorY()); };
    r.footer->AfterPrint = [&](TRepCustomBand *, bool) { flow.footerBottoms.push_back(r.report.CursorY()); };
    TRepPrinter printer;
    r.report.GenerateReport(printer);
    for (int n = 1; n <= printer.PageCount(); ++n)
        if (const auto page = printer.FetchPage(n))
            flow.pages.push_back(QSize(page->Width(), page->Height()));
    return flow;
}

TEST(RepRun, WithoutAPrinterPagesTakeTheReportsPaperAndOrientation)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    struct Case
    {
        const char *name;
        TRepPaperSize paper;
        TPrinterOrientation orientation;
        int length;  // of the oriented paper, Native
        QSize pixels; // of a page at 96 pixels per inch
    };
    const std::vector<Case> cases{
        {"A4", TRepPaperSize::A4, poPortrait, 2970, {794, 1123}},
        {"Letter", TRepPaperSize::Letter, poPortrait, 2794, {816, 1056}},
        {"A4 landscape", TRepPaperSize::A4, poLandscape, 2100, {1123, 794}},
        {"Letter landscape", TRepPaperSize::Letter, poLandscape, 2159, {1056, 816}},
        {"A5", TRepPaperSize::A5, poPortrait, 2100, {559, 794}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RecordReport r(60);
        r.report.Page().SetPaperSize(c.paper);
        r.report.Page().SetOrientation(c.orientation);
        const PageFlow flow = RunOnItsOwnPaper(r);

        ASSERT_GE(flow.pages.size(), 2u);
        for (const QSize &page : flow.pages)
            EXPECT_EQ(page, c.pixels);
        // The body ends above the footer, which stands on the bottom margin
        // (10 mm margins, a footer and records 10 mm high).
        const int footerTop = c.length - 100 - 100;
        ASSERT_EQ(flow.footerBottoms.size(), flow.pages.size());
        for (const int bottom : flow.footerBottoms)
            EXPECT_EQ(bottom, c.length - 100);
        for (const int bottom : flow.detailBottoms)
            EXPECT_LE(bottom, footerTop);
        EXPECT_GT(*std::max_element(flow.detailBottoms.begin(), flow.detailBottoms.end()), footerTop - 100)
            << "a page is filled down to the footer";
    }
}

TEST(RepRun, ANewReportOnAUsLocaleRunsOnLetterPages)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed: a new report takes its paper";
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TRepReport report;
    QLocale::setDefault(old);
    ASSERT_EQ(report.Page().PaperSize(), TRepPaperSize::Letter);
    auto *detail = new TRepBand(&report, TRepBandType::rbDetail);
    detail->SetName(QStringLiteral("Detail"));
    TRepPrinter printer;
    report.GenerateReport(printer);
    ASSERT_EQ(printer.PageCount(), 1);
    const auto page = printer.FetchPage(1);
    ASSERT_TRUE(page);
    EXPECT_EQ(QSize(page->Width(), page->Height()), QSize(816, 1056));
}

} // namespace
