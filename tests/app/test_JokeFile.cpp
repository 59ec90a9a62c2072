#include "app/JokeFile.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"
#include "support/TextLines.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(JokeFileTest, CommentsAreRemovedWherever)
{
    QStringList lines = L({"// eleje", "a", "//", "b", "/ nem", " // nem", "// vég", "<<"});
    RemoveCommentLines(lines);
    EXPECT_EQ(lines, L({"a", "b", "/ nem", " // nem", "<<"}));
}

TEST(JokeFileTest, CuttingAtSeparators)
{
    struct Case
    {
        const char *name;
        QStringList lines;
        std::vector<QStringList> jokes;
    } cases[] = {
        {"empty", {}, {}},
        {"no separator", L({"a", "b"}), {}},
        {"tail not shown", L({"a", "<<", "b"}), {L({"a"})}},
        {"empty jokes kept", L({"<<", "a", "<<", "<<"}), {L({}), L({"a"}), L({})}},
        {"only exact separators", L({"<< ", "<<<", " <<", "<<"}), {L({"<< ", "<<<", " <<"})}},
        {"heading and picture lines stay", L({"##C", ">>p.jpg", "t", "<<"}), {L({"##C", ">>p.jpg", "t"})}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CutIntoJokes(c.lines), c.jokes);
    }
}

TEST(JokeFileTest, HeadingRule)
{
    struct Case
    {
        QStringList lines;
        const char *heading;
        QStringList rest;
    } cases[] = {
        {L({"##Cím", "szöveg"}), "Cím", L({"szöveg"})},
        {L({"#Cím", "szöveg"}), "*** vicc", L({"#Cím", "szöveg"})},
        {L({"##"}), "", L({})},
        {L({"szöveg", "##nem cím"}), "*** vicc", L({"szöveg", "##nem cím"})},
        {L({" ##nem", "x"}), "*** vicc", L({" ##nem", "x"})},
        {L({}), "*** vicc", L({})},
    };
    for (const Case &c : cases) {
        const HeadingAndLines taken = TakeHeadingFrom(c.lines);
        EXPECT_EQ(taken.heading, QString::fromUtf8(c.heading));
        EXPECT_EQ(taken.lines, c.rest);
    }
}

TEST(JokeFileTest, PictureHeightIsThatOfTheLastReadablePicture)
{
    QTemporaryDir tmp;
    WriteJpeg(tmp.filePath("a.jpg"), 40, 80);
    WriteJpeg(tmp.filePath("b.jpg"), 40, 50);
    WriteBytes(tmp.filePath("bad.jpg"), "not a picture");
    QDir(tmp.path()).mkdir("Kepek");
    WriteJpeg(tmp.filePath("Kepek/C.jpg"), 10, 33);
    const QString dir = tmp.path() + "//";
    const auto sizeOf = [](const QString &p) { return PictureCache::Instance().Size(p); };
    struct Case
    {
        QStringList lines;
        int height;
    } cases[] = {
        {L({"t"}), 0},
        {L({">>a.jpg", ">>b.jpg"}), 50},
        {L({">>b.jpg", ">>a.jpg"}), 80},
        {L({">>a.jpg", ">>missing.jpg"}), 80},
        {L({">>a.jpg", ">>bad.jpg"}), 80},
        {L({"> >a.jpg", " >>a.jpg"}), 0},
        {L({">>kepek\\c.JPG"}), 33},
    };
    for (const Case &c : cases) {
        PictureNames pictures(dir);
        EXPECT_EQ(JokePictureHeightOf(c.lines, pictures, sizeOf), c.height) << c.lines.join('|').toStdString();
    }
}

} // namespace
