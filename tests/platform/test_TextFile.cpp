#include "platform/AppError.h"
#include "platform/TextFile.h"
#include "support/QtPrinters.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct DecodeCase
{
    const char *name;
    QByteArray bytes;
    QString expected;
};

void PrintTo(const DecodeCase &c, std::ostream *os)
{
    *os << c.name;
}

class DecodeTextTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTextTest, DecodesAsExpected)
{
    EXPECT_EQ(DecodeText(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeTextTest,
    ::testing::Values(
        // cp1250: õ/ű are 0xF5/0xFB, en dash 0x96
        DecodeCase{"Cp1250", QByteArray("\xE1rv\xEDzt\xFBr\xF5 \x96 t\xFCk\xF6rf\xFAr\xF3g\xE9p"),
                   QStringLiteral("árvíztűrő – tükörfúrógép")},
        DecodeCase{"Utf8WithoutMark", QByteArray("\xC3\xA1rv\xC3\xADzt\xC5\xB1r\xC5\x91"),
                   QStringLiteral("árvíztűrő")},
        DecodeCase{"Utf8MarkDropped", QByteArray("\xEF\xBB\xBF" "abc"), QStringLiteral("abc")},
        DecodeCase{"MarkSelectsUtf8EvenWhenInvalid", QByteArray("\xEF\xBB\xBF\xC3\xA1"),
                   QStringLiteral("á")},
        // a lone lead byte is not UTF-8: the whole text is cp1250
        DecodeCase{"BrokenUtf8IsCp1250", QByteArray("\xC3\xA1 \xE1"), QStringLiteral("Ăˇ á")},
        DecodeCase{"TruncatedSequenceAtEnd", QByteArray("ab\xC3"), QStringLiteral("abĂ")},
        DecodeCase{"OverlongIsNotUtf8", QByteArray("\xC0\xAF"), QStringLiteral("ŔŻ")},
        DecodeCase{"NulEndsText", QByteArray("ab\0cd", 5), QStringLiteral("ab")},
        DecodeCase{"NulBeforeUtf8Part", QByteArray("a\0\xC3\xA1", 4), QStringLiteral("a")},
        DecodeCase{"PlainAscii", QByteArray("<<\r\n##x"), QStringLiteral("<<\r\n##x")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SplitLinesTest, EveryLineEndAndTheLastLine)
{
    struct Case
    {
        QString text;
        QStringList lines;
    } cases[] = {
        {QString(), {}},
        {QStringLiteral("a"), {QStringLiteral("a")}},
        {QStringLiteral("a\r\nb\r\n"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a\nb\rc"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}},
        {QStringLiteral("\r\n\r\n"), {QString(), QString()}},
        {QStringLiteral("a\n\rb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral("a\r\r\nb"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SplitLines(c.text), c.lines) << c.text.toStdString();
}

TEST(LoadTextFileLinesTest, ReadsAndRaisesOnUnreadable)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.vicc");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("##C\xEDm\r\nsz\xF6veg\r\n<<");
    }
    EXPECT_EQ(LoadTextFileLines(path),
              (QStringList{QStringLiteral("##Cím"), QStringLiteral("szöveg"), QStringLiteral("<<")}));
    EXPECT_THROW(LoadTextFileLines(dir.filePath("missing.vicc")), AppError);
}


TEST(LoadTextFileLinesTest, LongTextsSplitAsTheWholeTextWould)
{
    // Texts far longer than the pieces they are decoded in, with every kind
    // of line end, a CR LF, a two-byte UTF-8 letter or a code page 1250
    // byte wherever a piece may end, a NUL late in the text, a byte-order
    // mark, no line end at the end: read line by line as the whole text
    // splits.
    QByteArray body;
    for (int i = 0; body.size() < 900 * 1024; ++i)
        body += QByteArray("sor ") + QByteArray::number(i)
                + (i % 3   ? "\r\n"
                   : i % 5 ? "\n"
                           : "\r")
                + QByteArray(size_t(i % 7), 'x');
    const QByteArray utf8 = body + "\xC5\x91 \xC5\xB1 v\xC3\xA9ge\n";
    const QByteArray cases[] = {utf8, body + "\xF5 \xFB v\xE9ge\n", "\xEF\xBB\xBF" + body,
                                utf8 + QByteArray(1, '\0') + "elveszik", body.left(body.size() - 1)};
    QTemporaryDir dir;
    const QString path = dir.filePath("hosszu.vicc");
    for (const QByteArray &bytes : cases) {
        const QStringList whole = SplitLines(DecodeText(bytes));
        EXPECT_EQ(DecodeLines(bytes), whole);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        EXPECT_EQ(LoadTextFileLines(path), whole);
        EXPECT_GT(whole.size(), 60000);
    }
}

TEST(LegacyEncodingTest, WhatALocaleNames)
{
    struct Case
    {
        const char *locale;
        const char *encoding;
    } cases[] = {
        {"hu_HU.ISO-8859-2", "ISO-8859-2"},
        {"ru_RU.KOI8-R@xyz", "KOI8-R"},
        {"de_DE.ISO-8859-15@euro", "ISO-8859-15"},
        {"hu_HU.UTF-8", "ISO-8859-2"},
        {"cs_CZ.utf8", "ISO-8859-2"},
        {"ru_RU.UTF-8", "KOI8-R"},
        {"el_GR", "ISO-8859-7"},
        {"pl", "ISO-8859-2"},
        {"de_DE.UTF-8", "ISO-8859-1"},
        {"en_US.ANSI_X3.4-1968", "ISO-8859-1"},
        {"C", "ISO-8859-1"},
        {"POSIX", "ISO-8859-1"},
        {"", "ISO-8859-1"},
        {"xx_YY.NO-SUCH-SET", "ISO-8859-1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(LegacyEncodingOf(QString::fromLatin1(c.locale)), QByteArray(c.encoding)) << c.locale;
}

TEST(LegacyEncodingTest, ForeignTextIsUtf8OrTheLocalesEncoding)
{
    const QByteArray oldAll = qgetenv("LC_ALL");
    qputenv("LC_ALL", "hu_HU.UTF-8");
    EXPECT_EQ(DecodeForeignText("\xF5r\xFClt"), QStringLiteral("őrült"));
    EXPECT_EQ(DecodeForeignText("\xC5\x91r\xC3\xBClt"), QStringLiteral("őrült"));
    EXPECT_EQ(DecodeForeignText(QByteArray("a\0b", 3)), QStringLiteral("a"));
    qputenv("LC_ALL", "fr_FR.UTF-8");
    EXPECT_EQ(DecodeForeignText("\xF5r\xFClt"), QStringLiteral("õrült"));
    if (oldAll.isEmpty())
        qunsetenv("LC_ALL");
    else
        qputenv("LC_ALL", oldAll);
}

} // namespace
