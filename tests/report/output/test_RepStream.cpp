// The byte store: memory up to its limit, then a temporary file that
// nobody can see and that is gone with the stream.
#include "report/output/RepError.h"
#include "report/output/detail/RepStream.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

namespace {
QByteArray Pattern(int n, int seed)
{
    QByteArray b(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

QByteArray Content(TRepStream &s)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    s.CopyTo(out, QStringLiteral("buffer"));
    return out.data();
}

QStringList ZrpFiles()
{
    return QDir(QDir::tempPath()).entryList({QStringLiteral("ZRP*")}, QDir::Files);
}
} // namespace

TEST(RepStreamTest, CrossingTheLimitInsideAWriteMovesToAHiddenFileWithoutASeam)
{
    const QStringList before = ZrpFiles();
    QByteArray expected;
    {
        TRepStream s;
        const QByteArray first = Pattern(99990, 1);
        s.Write(first.constData(), first.size());
        EXPECT_TRUE(s.InMemory());
        const QByteArray crossing = Pattern(30, 2); // ends 20 bytes past the limit
        s.Write(crossing.constData(), crossing.size());
        EXPECT_FALSE(s.InMemory());
        EXPECT_EQ(s.Position(), 100020);
        EXPECT_TRUE(QFileInfo(s.TemporaryName()).fileName().startsWith(QStringLiteral("ZRP")));
        EXPECT_FALSE(QFile::exists(s.TemporaryName())) << "unlinked while open";
        const QByteArray more = Pattern(5000, 3);
        s.Write(more.constData(), more.size());
        expected = first + crossing + more;
        EXPECT_EQ(Content(s), expected);

        // Overwriting in the middle and reading back across the old seam.
        s.Seek(99980);
        s.Write("0123456789ABCDEFGHIJKLMNOPQRST", 30);
        expected.replace(99980, 30, "0123456789ABCDEFGHIJKLMNOPQRST");
        s.Seek(99970);
        QByteArray back(60, Qt::Uninitialized);
        s.ReadBuffer(back.data(), 60);
        EXPECT_EQ(back, expected.mid(99970, 60));
        EXPECT_EQ(s.Size(), expected.size());
    }
    EXPECT_EQ(ZrpFiles(), before) << "nothing left behind";
}

TEST(RepStreamTest, AStreamOnAFileOnlyReadsAndDeletesNothing)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("r.zrp"));
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abcdef");
    f.close();
    {
        TRepStream s(name);
        EXPECT_EQ(s.MemoryLimit(), 0);
        char b[4];
        EXPECT_EQ(s.Read(b, 4), 4);
        EXPECT_EQ(s.Read(b, 4), 2);
        EXPECT_EQ(s.Read(b, 4), 0);
        EXPECT_THROW(s.ReadBuffer(b, 1), ERepError);
        EXPECT_THROW(s.Write("x", 1), ERepError);
    }
    EXPECT_TRUE(QFile::exists(name));
    try {
        TRepStream missing(dir.filePath(QStringLiteral("none.zrp")));
        FAIL() << "a missing file opened";
    } catch (const ERepError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("none.zrp")));
    }
}

// The temporary file goes to the system's folder when TMPDIR names one that
// is not there, never to the root folder.
TEST(RepStreamTest, AMissingTmpdirFallsBackToTheSystemFolder)
{
    const QByteArray keep = qgetenv("TMPDIR");
    qputenv("TMPDIR", "/nincs/ilyen/mappa");
    TRepStream s(10);
    s.Write("0123456789ABCDEF", 16);
    ASSERT_FALSE(s.InMemory());
    EXPECT_EQ(QFileInfo(s.TemporaryName()).absolutePath(), QStringLiteral("/tmp"));
    if (keep.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", keep);
}

// A write the system refuses says "Stream write error", then which file and
// why. A file size limit refuses writes the way a full disk does.
TEST(RepStreamTest, AWriteErrorNamesTheFileAndTheReason)
{
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 150000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString text;
    try {
        TRepStream s;
        const QByteArray chunk = Pattern(50000, 4);
        for (int i = 0; i < 8; ++i)
            s.Write(chunk.constData(), chunk.size());
    } catch (const ERepError &e) {
        text = e.text();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Stream write error: "))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("/ZRP"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("File too large"))) << text.toStdString();
}
