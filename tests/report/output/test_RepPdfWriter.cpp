// Pages recorded as EMF and written to PDF, read back with poppler.
#include "report/output/detail/RepPdfWriter.h"

#include "platform/AppError.h"
#include "platform/MetafileCanvas.h"
#include "support/PdfText.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

// An A4 page at 96 pixels per inch with lines of text down its left side.
Metafile TextPage(const QStringList &lines, int width = 794, int height = 1123)
{
    MetafileCanvas canvas(width, height, 96);
    canvas.SetFont(QFont(QStringLiteral("Liberation Sans"), 12), Qt::black);
    int y = 60;
    for (const QString &line : lines) {
        canvas.TextOut(60, y, line, CanvasTextAlign::Left, false);
        y += 30;
    }
    canvas.SetBrush(CanvasBrush{QColor(0xE9, 0xE9, 0xE9)});
    canvas.Rectangle(Box(400, 60, 700, 100));
    return canvas.Finish();
}

RepPageSource From(const std::vector<std::optional<Metafile>> &pages)
{
    return [pages](int n) -> std::optional<Metafile> {
        if (n < 1 || n > int(pages.size()))
            return std::nullopt;
        return pages[size_t(n - 1)];
    };
}

TEST(RepPdfWriter, PagesBecomeSearchableTextInPageOrder)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("list.pdf"));
    WritePagesAsPdf(out, QStringLiteral("Viccek"), 2,
                    From({TextPage({QStringLiteral("Első oldal"), QStringLiteral("árvíztűrő tükörfúrógép")}),
                          TextPage({QStringLiteral("Második oldal")})}));

    EXPECT_EQ(PdfPageCount(out), 2);
    EXPECT_TRUE(PdfPageSize(out).contains(QStringLiteral("A4"))) << PdfPageSize(out).toStdString();
    const QString text = PdfText(out);
    const QStringList pages = text.split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("Első oldal")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("árvíztűrő tükörfúrógép")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("Második oldal")));
    EXPECT_FALSE(pages[1].contains(QStringLiteral("Első")));
}

TEST(RepPdfWriter, PaperFollowsEachPage)
{
    // A landscape A5 page (148 x 210 mm turned) at 96 dpi, then an A4 page.
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("mixed.pdf"));
    WritePagesAsPdf(out, QString(), 2,
                    From({TextPage({QStringLiteral("wide")}, 794, 559), TextPage({QStringLiteral("tall")})}));
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                           QStringLiteral("2"), out});
    ASSERT_TRUE(tool.waitForFinished(30000));
    const QString info = QString::fromUtf8(tool.readAllStandardOutput());
    // pdfinfo prints sizes in points: A5 landscape is about 595 x 420, A4 595 x 842.
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page +1 size: +59\\d x 4[12]\\d"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page +2 size: +59[45]\\.?\\d* x 84[12]"))))
        << info.toStdString();
}

TEST(RepPdfWriter, MissingPageLeavesBlankSheet)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("gap.pdf"));
    WritePagesAsPdf(out, QString(), 3,
                    From({TextPage({QStringLiteral("one")}), std::nullopt, TextPage({QStringLiteral("three")})}));
    EXPECT_EQ(PdfPageCount(out), 3);
    const QStringList pages = PdfText(out).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[1].trimmed().isEmpty());
    EXPECT_TRUE(pages[2].contains(QStringLiteral("three")));
}

TEST(RepPdfWriter, FailureLeavesExistingFileWhole)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("keep.pdf"));
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old contents");
    }
    // No pages at all, then a folder that does not exist.
    EXPECT_THROW(WritePagesAsPdf(out, QString(), 0, From({})), AppError);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old contents"));

    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
    try {
        WritePagesAsPdf(nowhere, QString(), 1, From({TextPage({QStringLiteral("x")})}));
        FAIL() << "writing into a missing folder succeeded";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.text().contains(nowhere));
    }
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

} // namespace
