// The page store: record chain, header, paging in every direction, the old
// header layout, saving and loading, and files that lie.
#include "report/PageFixtures.h"
#include "report/output/RepError.h"
#include "report/output/RepPageList.h"
#include "report/output/detail/RepStream.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

void Fill(TRepPageList &store, int pages, bool compressed, qint64 memoryLimit = TRepStream::DefaultMemoryLimit)
{
    store.SetCompression(compressed);
    store.SetStream(std::make_unique<TRepStream>(memoryLimit));
    for (int n = 1; n <= pages; ++n)
        store.AppendPage(NumberedPage(n));
    store.FinishStore();
}

QByteArray Saved(TRepPageList &store, const QString &name)
{
    store.SaveToReportFile(name);
    return FileBytes(name);
}

} // namespace

class RepPageListTest : public ::testing::TestWithParam<bool>
{
};

TEST_P(RepPageListTest, PagesComeBackInAnyOrder)
{
    const bool compressed = GetParam();
    TRepPageList store;
    // A small memory limit puts the later pages into the temporary file.
    Fill(store, 12, compressed, 2000);
    ASSERT_EQ(store.PageCount(), 12);
    EXPECT_FALSE(store.Stream()->InMemory());
    const int order[] = {1, 2, 3, 12, 11, 5, 6, 4, 1, 11, 10, 12, 7, 2, 9};
    for (int n : order) {
        const auto page = store.ReadPage(n);
        ASSERT_TRUE(page) << n;
        EXPECT_EQ(page->Bytes(), NumberedPage(n).Bytes()) << n;
    }
    EXPECT_FALSE(store.ReadPage(0));
    EXPECT_FALSE(store.ReadPage(13));

    // A new run into the same store: records now start elsewhere.
    Fill(store, 4, !compressed, 2000);
    for (int n : {4, 2, 3, 1})
        EXPECT_EQ(PageNumberOf(*store.ReadPage(n)), n);
    EXPECT_FALSE(store.ReadPage(5));
}

TEST_P(RepPageListTest, SavingAndLoadingKeepEveryByte)
{
    QTemporaryDir dir;
    TRepPageList store;
    Fill(store, 3, GetParam());
    const QByteArray bytes = Saved(store, dir.filePath(QStringLiteral("a.zrp")));
    TRepPageList loaded;
    loaded.LoadFromReportFile(dir.filePath(QStringLiteral("a.zrp")));
    EXPECT_EQ(loaded.PageCount(), 3);
    EXPECT_EQ(loaded.Compression(), GetParam());
    EXPECT_EQ(Saved(loaded, dir.filePath(QStringLiteral("b.zrp"))), bytes) << "time of writing included";
    for (int n : {3, 1, 2})
        EXPECT_EQ(PageNumberOf(*loaded.ReadPage(n)), n);
    // Saving a loaded store over its own file.
    loaded.SaveToReportFile(dir.filePath(QStringLiteral("a.zrp")));
    EXPECT_EQ(FileBytes(dir.filePath(QStringLiteral("a.zrp"))), bytes);
    EXPECT_EQ(PageNumberOf(*loaded.ReadPage(2)), 2);
}

INSTANTIATE_TEST_SUITE_P(PlainAndCompressed, RepPageListTest, ::testing::Bool());

TEST(RepPageListLayoutTest, HeaderAndRecordsAreLaidOutAsSaved)
{
    QTemporaryDir dir;
    TRepPageList store;
    Fill(store, 2, false);
    const QByteArray b = Saved(store, dir.filePath(QStringLiteral("x.zrp")));
    auto i32 = [&b](qsizetype at) { return qFromLittleEndian<qint32>(b.constData() + at); };
    EXPECT_EQ(qFromLittleEndian<qint16>(b.constData()), 3);
    EXPECT_EQ(qFromLittleEndian<qint16>(b.constData() + 2), 309);
    EXPECT_EQ(i32(8), 2);
    EXPECT_EQ(b[25], 0);
    EXPECT_NEAR(qFromLittleEndian<double>(b.constData() + 16), DateTimeNow(), 1.0 / 24 / 60);
    for (qsizetype at : {4, 5, 6, 7, 12, 13, 14, 15, 24})
        EXPECT_EQ(b[at], 0) << at;
    // Record 1 at 128, its EMF right behind page number and link.
    EXPECT_EQ(i32(128), 1);
    const qint32 next = i32(132);
    EXPECT_EQ(b.mid(136 + 41, 3), QByteArray("EMF"));
    EXPECT_EQ(i32(next - 4), 128) << "back link";
    EXPECT_EQ(i32(next), 2);
    EXPECT_EQ(i32(next + 4), b.size());
    EXPECT_EQ(i32(b.size() - 4), next) << "last bytes locate the last page";
    // Compressed payload: EMF length first.
    TRepPageList packed;
    Fill(packed, 1, true);
    const QByteArray p = Saved(packed, dir.filePath(QStringLiteral("y.zrp")));
    EXPECT_EQ(p[25], 1);
    EXPECT_EQ(qFromLittleEndian<qint32>(p.constData() + 136), NumberedPage(1).Bytes().size());
}

TEST(RepPageListLayoutTest, AnEmptyStoreWritesOnlyItsHeader)
{
    TRepPageList store;
    Fill(store, 0, false);
    EXPECT_EQ(store.Stream()->Size(), 128);
    EXPECT_FALSE(store.ReadPage(1));
}

TEST(RepPageListLayoutTest, TheOlderHeaderLayoutIsRead)
{
    QTemporaryDir dir;
    TRepPageList store;
    Fill(store, 3, false);
    const QByteArray b = Saved(store, dir.filePath(QStringLiteral("new.zrp")));
    // The same file with the 124-byte header: fields moved, links 4 less.
    QByteArray old(124, '\0');
    old.replace(0, 4, b.mid(0, 4));
    old.replace(8, 4, b.mid(8, 4));
    old.replace(12, 8, b.mid(16, 8)); // the date moves from 16 to 12
    old[21] = b[25];
    QByteArray records = b.mid(128);
    qsizetype at = 0;
    while (at < records.size()) {
        const qint32 next = qFromLittleEndian<qint32>(records.constData() + at + 4);
        qToLittleEndian<qint32>(next - 4, records.data() + at + 4);
        const qsizetype end = next - 128;
        qToLittleEndian<qint32>(qint32(at + 124), records.data() + end - 4);
        at = end;
    }
    const QString name = dir.filePath(QStringLiteral("old.zrp"));
    ASSERT_TRUE(WriteFileBytes(name, old + records));
    TRepPageList loaded;
    loaded.LoadFromReportFile(name);
    EXPECT_EQ(loaded.PageCount(), 3);
    for (int n : {1, 3, 2, 1})
        EXPECT_EQ(PageNumberOf(*loaded.ReadPage(n)), n);
}

TEST(RepPageListLayoutTest, FilesThatLieFailToLoadOrGiveNoPage)
{
    QTemporaryDir dir;
    TRepPageList store;
    Fill(store, 3, true);
    const QByteArray good = Saved(store, dir.filePath(QStringLiteral("good.zrp")));
    const qint32 second = qFromLittleEndian<qint32>(good.constData() + 132);
    auto put = [](QByteArray &b, qsizetype at, qint32 v) { qToLittleEndian<qint32>(v, b.data() + at); };

    struct Case
    {
        const char *what;
        std::function<void(QByteArray &)> spoil;
        bool loads;        // the file is accepted
        int unreadablePage; // and this page comes back as none
    } cases[] = {
        {"too short for the probe", [](QByteArray &b) { b.truncate(176); }, false, 0},
        {"page count far beyond the file", [&](QByteArray &b) { put(b, 8, 0x7FFFFFFF); }, false, 0},
        {"negative page count", [&](QByteArray &b) { put(b, 8, -1); }, false, 0},
        {"forward link outside the file", [&](QByteArray &b) { put(b, 132, 0x7FFFFFF0); }, false, 0},
        {"forward link backwards", [&](QByteArray &b) { put(b, 132, 100); }, false, 0},
        {"back link wrong", [&](QByteArray &b) { put(b, second - 4, 4); }, false, 0},
        {"page numbers out of order", [&](QByteArray &b) { put(b, second, 3); }, false, 0},
        {"trailing bytes", [](QByteArray &b) { b.append("xxxx"); }, false, 0},
        {"compressed length beyond the file", [&](QByteArray &b) { put(b, 136, 0x7FFFFFFF); }, true, 1},
        {"payload garbled", [&](QByteArray &b) { for (int i = 150; i < 200; ++i) b[i] = char(i); }, true, 1},
    };
    for (const auto &c : cases) {
        QByteArray bytes = good;
        c.spoil(bytes);
        const QString name = dir.filePath(QStringLiteral("bad.zrp"));
        ASSERT_TRUE(WriteFileBytes(name, bytes));
        TRepPageList target;
        Fill(target, 2, false);
        if (!c.loads) {
            EXPECT_THROW(target.LoadFromReportFile(name), ERepError) << c.what;
            EXPECT_EQ(target.PageCount(), 2) << c.what << ": the old pages stay";
            EXPECT_EQ(PageNumberOf(*target.ReadPage(2)), 2) << c.what;
            continue;
        }
        EXPECT_NO_THROW(target.LoadFromReportFile(name)) << c.what;
        EXPECT_FALSE(target.ReadPage(c.unreadablePage)) << c.what;
        EXPECT_EQ(PageNumberOf(*target.ReadPage(3)), 3) << c.what << ": other pages still read";
    }
}

TEST(RepPageListLayoutTest, TooShortFilesFailWithTheStreamReadError)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("short.zrp"));
    ASSERT_TRUE(WriteFileBytes(name, QByteArray(150, '\0')));
    TRepPageList store;
    try {
        store.LoadFromReportFile(name);
        FAIL();
    } catch (const ERepError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Stream read error"));
    }
}
