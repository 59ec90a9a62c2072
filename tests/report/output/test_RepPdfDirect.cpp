// The PDF writer's own way against Qt's engine: every record kind the
// metafile player draws comes out of the direct writer looking as it does
// through QPdfWriter, pages it cannot draw go through Qt one by one, and
// what it writes is a sound PDF with subset fonts and searchable text.
#include "report/output/detail/RepPdfDocument.h"
#include "report/output/detail/RepPdfWriter.h"

#include "platform/MetafileCanvas.h"
#include "support/PdfRender.h"
#include "support/PdfText.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <uemf.h>

namespace {

// An EMF page of w x h pixels at 96 dpi put together record by record, as
// another producer might write it (object handles are its own).
class EmfPage
{
public:
    EmfPage(int w, int h)
    {
        const U_RECTL bounds{0, 0, w - 1, h - 1};
        const U_RECTL frame{0, 0, int(w * 2540 / 96), int(h * 2540 / 96)};
        Add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, U_SIZEL{1920, 1440}, U_SIZEL{508, 381}, 0));
        Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
    }

    void Add(char *record)
    {
        ASSERT_NE(record, nullptr);
        FBytes.append(record, qFromLittleEndian<quint32>(record + 4));
        ++FRecords;
        std::free(record);
    }

    uint32_t Pen(QColor color, int width, uint32_t style = U_PS_SOLID)
    {
        const uint32_t ih = ++FHandles;
        Add(U_EMRCREATEPEN_set(ih, logpen_set(style, point_set(width, 0), Ref(color))));
        Add(U_EMRSELECTOBJECT_set(ih));
        return ih;
    }

    uint32_t Brush(QColor color, uint32_t hatch = ~0u)
    {
        const uint32_t ih = ++FHandles;
        const bool hatched = hatch != ~0u;
        Add(U_EMRCREATEBRUSHINDIRECT_set(
            ih, logbrush_set(hatched ? U_BS_HATCHED : U_BS_SOLID, Ref(color), hatched ? hatch : 0)));
        Add(U_EMRSELECTOBJECT_set(ih));
        return ih;
    }

    // Selects a font of family, pixel height px; escapement in tenths of a
    // degree.
    void Font(const QString &family, int px, int escapement = 0, bool underline = false, bool strikeOut = false,
              bool bold = false)
    {
        uint16_t face[U_LF_FACESIZE] = {};
        for (int i = 0; i < family.size() && i < U_LF_FACESIZE - 1; ++i)
            face[i] = family.at(i).unicode();
        const U_LOGFONT lf = logfont_set(-px, 0, escapement, escapement, bold ? U_FW_BOLD : U_FW_NORMAL, 0,
                                         underline, strikeOut, U_DEFAULT_CHARSET, U_OUT_DEFAULT_PRECIS,
                                         U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY,
                                         U_DEFAULT_PITCH | U_FF_DONTCARE, face);
        const uint32_t ih = ++FHandles;
        Add(U_EMREXTCREATEFONTINDIRECTW_set(ih, reinterpret_cast<const char *>(&lf), nullptr));
        Add(U_EMRSELECTOBJECT_set(ih));
        FFont = QFont(family);
        FFont.setPixelSize(px);
        FFont.setBold(bold);
    }

    // Text at (x, y), every character spaced by its advance, and every
    // every-th one by spread pixels more (so the same letter stands at
    // differing advances, as the page store's rounding makes them).
    void Text(int x, int y, const QString &text, int spread = 0, int every = 1)
    {
        const QFontMetricsF metrics(FFont);
        std::vector<uint32_t> dx;
        std::vector<uint16_t> chars;
        for (qsizetype i = 0; i < text.size(); ++i) {
            dx.push_back(uint32_t(qRound(metrics.horizontalAdvance(text[i])) + (i % every == 0 ? spread : 0)));
            chars.push_back(text[i].unicode());
        }
        char *body = emrtext_set(point32_set(x, y), U_NUM_STR(text.size()), 2, chars.data(), U_ETO_NONE,
                                 U_RECTL{0, 0, -1, -1}, dx.data());
        Add(U_EMREXTTEXTOUTW_set(U_RECTL{x, y, x + 400, y + 40}, U_GM_COMPATIBLE, 1, 1,
                                 reinterpret_cast<PU_EMRTEXT>(body)));
        std::free(body);
    }

    Metafile Finish()
    {
        char eof[20] = {};
        qToLittleEndian<quint32>(U_EMR_EOF, eof);
        qToLittleEndian<quint32>(20, eof + 4);
        qToLittleEndian<quint32>(16, eof + 12);
        qToLittleEndian<quint32>(20, eof + 16);
        FBytes.append(eof, 20);
        qToLittleEndian<quint32>(quint32(FBytes.size()), FBytes.data() + 48);
        qToLittleEndian<quint32>(FRecords + 1, FBytes.data() + 52);
        qToLittleEndian<quint16>(quint16(FHandles + 1), FBytes.data() + 56);
        std::optional<Metafile> page = Metafile::FromBytes(FBytes);
        if (!page)
            throw std::logic_error("the test page is no sound EMF");
        return *page;
    }

private:
    static U_COLORREF Ref(QColor c)
    {
        return colorref3_set(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
    }

    QByteArray FBytes;
    quint32 FRecords = 0;
    uint32_t FHandles = 0;
    QFont FFont;
};

// A page with every kind of record the player draws.
Metafile EveryRecordKind()
{
    EmfPage p(600, 420);
    p.Pen(Qt::darkBlue, 3);
    p.Brush(QColor(255, 240, 160));
    p.Add(U_EMRRECTANGLE_set(U_RECTL{20, 20, 140, 90}));
    p.Add(U_EMRELLIPSE_set(U_RECTL{160, 20, 280, 90}));
    p.Add(U_EMRROUNDRECT_set(U_RECTL{300, 20, 420, 90}, U_SIZEL{30, 20}));
    const U_POINT16 triangle[3] = {{450, 90}, {510, 20}, {570, 90}};
    p.Add(U_EMRPOLYGON16_set(U_RECTL{450, 20, 570, 90}, 3, triangle));
    p.Pen(Qt::black, 0);
    const U_POINT16 zigzag[4] = {{20, 110}, {60, 140}, {100, 110}, {140, 140}};
    p.Add(U_EMRPOLYLINE16_set(U_RECTL{20, 110, 140, 140}, 4, zigzag));
    const U_POINT16 curve[4] = {{160, 140}, {190, 100}, {250, 180}, {280, 110}};
    p.Add(U_EMRPOLYBEZIER16_set(U_RECTL{160, 100, 280, 180}, 4, curve));
    const U_POINT16 squares[8] = {{300, 110}, {340, 110}, {340, 150}, {300, 150},
                                  {350, 110}, {390, 110}, {390, 150}, {350, 150}};
    const uint32_t counts[2] = {4, 4};
    p.Add(U_EMRPOLYPOLYGON16_set(U_RECTL{300, 110, 390, 150}, 2, counts, 8, squares));
    p.Add(U_EMRMOVETOEX_set(point32_set(410, 110)));
    p.Add(U_EMRLINETO_set(point32_set(570, 150)));
    p.Pen(Qt::red, 6);
    p.Add(U_EMRMOVETOEX_set(point32_set(410, 150)));
    p.Add(U_EMRLINETO_set(point32_set(570, 110)));
    const uint32_t green = p.Brush(QColor(0, 160, 0));
    const U_RECTL cell{20, 160, 140, 175};
    PU_RGNDATA region = rgndata_set(rgndataheader_set(1, cell), const_cast<PU_RECTL>(&cell));
    p.Add(U_EMRFILLRGN_set(cell, green, region));
    std::free(region);
    p.Add(U_EMRSETPIXELV_set(point32_set(145, 168), colorref3_set(0, 0, 0)));
    // A world transform and a clip, both undone by the restore.
    p.Add(U_EMRSAVEDC_set());
    p.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{300, 160, 360, 200}));
    p.Brush(Qt::darkCyan);
    p.Add(U_EMRSETWORLDTRANSFORM_set(xform_set(1, 0.3f, -0.3f, 1, 40, -90)));
    p.Add(U_EMRRECTANGLE_set(U_RECTL{290, 150, 400, 240}));
    p.Add(U_EMRRESTOREDC_set(-1));

    p.Add(U_EMRSETTEXTCOLOR_set(colorref3_set(0, 0, 0)));
    p.Add(U_EMRSETTEXTALIGN_set(U_TA_TOP | U_TA_NOUPDATECP));
    p.Font(QStringLiteral("Liberation Sans"), 20);
    p.Text(20, 200, QStringLiteral("Árvíztűrő tükörfúrógép „ŐŰ”"));
    p.Text(20, 230, QStringLiteral("ritkított sor"), 3);
    p.Font(QStringLiteral("Liberation Serif"), 18, 0, true);
    p.Text(20, 260, QStringLiteral("aláhúzott szöveg"));
    p.Font(QStringLiteral("Liberation Serif"), 18, 0, false, true, true);
    p.Text(20, 290, QStringLiteral("áthúzott félkövér"));
    p.Add(U_EMRSETTEXTCOLOR_set(colorref3_set(200, 0, 0)));
    p.Add(U_EMRSETTEXTALIGN_set(U_TA_TOP | U_TA_RIGHT | U_TA_NOUPDATECP));
    p.Font(QStringLiteral("Liberation Mono"), 16);
    p.Text(580, 330, QStringLiteral("jobbra zárt"));
    p.Add(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_CENTER | U_TA_NOUPDATECP));
    p.Text(300, 380, QStringLiteral("középre, alapvonalra"));
    p.Add(U_EMRSETTEXTALIGN_set(U_TA_TOP | U_TA_NOUPDATECP));
    p.Add(U_EMRSETTEXTCOLOR_set(colorref3_set(0, 0, 160)));
    p.Font(QStringLiteral("Liberation Sans"), 18, 900);
    p.Text(560, 300, QStringLiteral("elforgatva"));
    return p.Finish();
}

RepPageSource From(const std::vector<Metafile> &pages)
{
    return [pages](int n) -> std::optional<Metafile> {
        if (n < 1 || n > int(pages.size()))
            return std::nullopt;
        return pages[size_t(n - 1)];
    };
}

struct Written
{
    QString path;
    RepPdfReport report;
};

Written WriteDirect(const QTemporaryDir &dir, const QString &name, const std::vector<Metafile> &pages)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    Written w{file.fileName(), WritePdf(file, QStringLiteral("Próba"), int(pages.size()), From(pages))};
    return w;
}

QString WriteThroughQt(const QTemporaryDir &dir, const QString &name, const std::vector<Metafile> &pages)
{
    QFile file(dir.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    std::vector<int> numbers;
    for (size_t n = 1; n <= pages.size(); ++n)
        numbers.push_back(int(n));
    WritePdfThroughQt(file, QStringLiteral("Próba"), numbers, From(pages));
    return file.fileName();
}

// Pages that fill a box with text in plain Liberation Sans, numbered.
Metafile PlainPage(const QString &text)
{
    MetafileCanvas canvas(400, 300, 96);
    canvas.SetFont(QFont(QStringLiteral("Liberation Sans"), 12), Qt::black);
    canvas.TextOut(20, 20, text, CanvasTextAlign::Left, false);
    return canvas.Finish();
}

} // namespace

TEST(RepPdfDirect, EveryRecordKindLooksAsItDoesThroughQt)
{
    QTemporaryDir dir;
    const Metafile page = EveryRecordKind();
    const Written direct = WriteDirect(dir, QStringLiteral("direct.pdf"), {page});
    const QString qt = WriteThroughQt(dir, QStringLiteral("qt.pdf"), {page});
    EXPECT_TRUE(direct.report.throughQt.empty()) << "the direct writer left the page to Qt";

    const QImage mine = RenderPdfPage(direct.path, 1), theirs = RenderPdfPage(qt, 1);
    ASSERT_FALSE(theirs.isNull());
    ASSERT_EQ(mine.size(), theirs.size());
    // A page of 1250 x 875 pixels; a missing shape or a glyph out of place
    // is hundreds of pixels.
    EXPECT_LE(PixelsApart(mine, theirs), 40);
    // and it is not empty: the comparison would pass two blank pages
    EXPECT_GT(
        PixelsApart(mine, RenderPdfPage(WriteThroughQt(dir, QStringLiteral("blank.pdf"), {PlainPage({})}), 1)),
        5000);

    const QString text = PdfText(direct.path, false);
    for (const char *words : {"Árvíztűrő tükörfúrógép „ŐŰ”", "aláhúzott szöveg", "áthúzott félkövér",
                              "jobbra zárt", "középre, alapvonalra"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(words))) << words << "\n" << text.toStdString();
}

TEST(RepPdfDirect, AdvancesPlaceEveryGlyph)
{
    // The same words spaced four ways: each glyph must land where its
    // advance puts it, or the renderings of the two writers part.
    QTemporaryDir dir;
    for (const auto &[spread, every] : {std::pair{0, 1}, {2, 1}, {2, 3}, {-1, 2}}) {
        EmfPage p(500, 80);
        p.Font(QStringLiteral("Liberation Serif"), 22);
        p.Text(10, 20, QStringLiteral("Vidám Őzike fűszál mögött, messze"), spread, every);
        const Metafile page = p.Finish();
        const QImage mine = RenderPdfPage(WriteDirect(dir, QStringLiteral("d.pdf"), {page}).path, 1);
        const QImage theirs = RenderPdfPage(WriteThroughQt(dir, QStringLiteral("q.pdf"), {page}), 1);
        EXPECT_LE(PixelsApart(mine, theirs), 10) << "spread " << spread << " every " << every;
    }
}

TEST(RepPdfDirect, MoreCharactersThanACodeSlotHolds)
{
    // Over 300 characters of one font: its codes run into a second slot
    // (another PDF font of the same face) in the middle of lines.
    QString all;
    for (char16_t c = 0x21; c < 0x7F; ++c)
        all += QChar(c);
    for (char16_t c = 0xC0; c < 0x17F; ++c)
        all += QChar(c);
    for (char16_t c = 0x410; c < 0x450; ++c)
        all += QChar(c);
    EmfPage p(1000, 400);
    p.Font(QStringLiteral("Liberation Sans"), 14);
    QStringList lines;
    for (qsizetype at = 0; at < all.size(); at += 60) {
        lines << all.mid(at, 60);
        p.Text(10, 10 + 22 * int(at / 60), lines.back());
    }
    QTemporaryDir dir;
    const Metafile page = p.Finish();
    const Written direct = WriteDirect(dir, QStringLiteral("many.pdf"), {page});
    EXPECT_TRUE(direct.report.throughQt.empty());
    EXPECT_EQ(PdfText(direct.path, false).split(u'\n', Qt::SkipEmptyParts).mid(0, lines.size()), lines);
    EXPECT_LE(PixelsApart(RenderPdfPage(direct.path, 1),
                          RenderPdfPage(WriteThroughQt(dir, QStringLiteral("qt.pdf"), {page}), 1)),
              20);
    EXPECT_GE(PdfFonts(direct.path).size(), 2);
}

TEST(RepPdfDirect, PagesItCannotDrawGoThroughQtInTheirPlace)
{
    QTemporaryDir dir;
    // A hatched brush, and a character the font lacks (its fallback needs
    // the full text layout).
    EmfPage hatched(400, 300);
    hatched.Brush(Qt::blue, U_HS_DIAGCROSS);
    hatched.Add(U_EMRRECTANGLE_set(U_RECTL{20, 60, 200, 200}));
    hatched.Font(QStringLiteral("Liberation Sans"), 16);
    hatched.Text(20, 20, QStringLiteral("rácsos oldal"));
    EmfPage fallback(400, 300);
    fallback.Font(QStringLiteral("Liberation Sans"), 16);
    fallback.Text(20, 20, QStringLiteral("pipa ✓ jel"));
    const std::vector<Metafile> pages = {PlainPage(QStringLiteral("első")), hatched.Finish(),
                                         PlainPage(QStringLiteral("harmadik")), fallback.Finish(),
                                         PlainPage(QStringLiteral("ötödik"))};
    const Written direct = WriteDirect(dir, QStringLiteral("mixed.pdf"), pages);
    EXPECT_EQ(direct.report.throughQt, (std::vector<int>{2, 4}));

    const auto [check, checkText] = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), direct.path});
    EXPECT_EQ(check, 0) << checkText.toStdString();
    ASSERT_EQ(PdfPageCount(direct.path), 5);
    const QStringList texts = PdfText(direct.path, false).split(u'\f');
    ASSERT_GE(texts.size(), 5);
    const char *expected[] = {"első", "rácsos oldal", "harmadik", "pipa ✓ jel", "ötödik"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(texts[i].simplified(), QString::fromUtf8(expected[i])) << i;

    // The pages Qt drew look exactly as Qt draws them.
    const QString qt = WriteThroughQt(dir, QStringLiteral("qt.pdf"), pages);
    for (int n : {2, 4})
        EXPECT_EQ(PixelsApart(RenderPdfPage(direct.path, n), RenderPdfPage(qt, n), 0), 0) << n;
}

TEST(RepPdfDirect, ManyPagesThroughQtComeBackInTheirPlaces)
{
    // More pages left to Qt than it writes at a time, among pages of the
    // writer's own: every page keeps its place.
    std::vector<Metafile> pages;
    for (int n = 1; n <= 240; ++n) {
        EmfPage p(300, 120);
        if (n % 5 != 0)
            p.Brush(Qt::gray, U_HS_CROSS);
        p.Add(U_EMRRECTANGLE_set(U_RECTL{5, 60, 100, 110}));
        p.Font(QStringLiteral("Liberation Sans"), 14);
        p.Text(10, 10, QStringLiteral("oldal %1").arg(n));
        pages.push_back(p.Finish());
    }
    QTemporaryDir dir;
    const Written direct = WriteDirect(dir, QStringLiteral("sok.pdf"), pages);
    EXPECT_EQ(direct.report.throughQt.size(), 192u);
    const QStringList texts = PdfText(direct.path, false).split(u'\f');
    ASSERT_GE(texts.size(), 240);
    for (int n = 1; n <= 240; ++n)
        EXPECT_EQ(texts[n - 1].simplified(), QStringLiteral("oldal %1").arg(n));
    EXPECT_EQ(RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), direct.path}).first, 0);
}

TEST(RepPdfDirect, FontsAreEmbeddedSubsetsOfASoundFile)
{
    QTemporaryDir dir;
    const Written direct = WriteDirect(dir, QStringLiteral("fonts.pdf"), {EveryRecordKind()});
    const QStringList fonts = PdfFonts(direct.path);
    ASSERT_GE(fonts.size(), 3) << fonts.join(u'\n').toStdString();
    for (const QString &line : fonts) {
        // name  type  encoding  emb sub uni  object ID
        const QStringList f = line.split(u' ', Qt::SkipEmptyParts);
        ASSERT_GE(f.size(), 7) << line.toStdString();
        EXPECT_TRUE(f[0].contains(QRegularExpression(QStringLiteral("^[A-Z]{6}\\+")))) << line.toStdString();
        EXPECT_EQ(f.mid(f.size() - 5, 3), (QStringList{u"yes"_qs, u"yes"_qs, u"yes"_qs})) << line.toStdString();
    }
    const auto [check, text] = RunTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), direct.path});
    EXPECT_EQ(check, 0) << text.toStdString();
    const QString info = RunTool(QStringLiteral("pdfinfo"), {direct.path}).second;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("PDF version: +1\\.[4-7]"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Próba"))) << info.toStdString();
}

TEST(RepPdfDirect, NumbersAreWrittenShortAndExact)
{
    const struct
    {
        double value;
        const char *text;
    } cases[] = {{0, "0"},          {-0.0001, "0"},          {12, "12"},       {-3, "-3"},
                 {0.5, "0.5"},      {135.734375, "135.734"}, {-0.25, "-0.25"}, {1.9999, "2"},
                 {1e7, "10000000"}, {0.0006, "0.001"}};
    for (const auto &c : cases) {
        QByteArray out;
        AppendPdfNumber(out, c.value);
        EXPECT_EQ(out, QByteArray(c.text)) << c.value;
    }
    QByteArray text;
    AppendPdfText(text, QStringLiteral("a (b) \\c"));
    EXPECT_EQ(text, QByteArray("(a \\(b\\) \\\\c)"));
    text.clear();
    AppendPdfText(text, QStringLiteral("ő"));
    EXPECT_EQ(text, QByteArray("<FEFF0151>"));
}
