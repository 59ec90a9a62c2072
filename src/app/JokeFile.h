#pragma once
// The joke file format: comment lines ("//"), separators (a line that is
// exactly "<<"), a heading ("##" on a joke's first line) and picture lines
// (">>" followed by a file name relative to the joke file's folder). Markers
// are compared on a line's leading characters exactly; nothing is trimmed.

#include "platform/Paths.h"

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The heading a joke without a "##" first line gets.
inline constexpr const char16_t *NoHeadingText = u"*** vicc";

bool IsCommentLine(const QString &line);
bool IsSeparatorLine(const QString &line);
bool IsHeadingLine(const QString &line);
bool IsPictureLine(const QString &line);

// Removes every comment line, wherever it stands.
void RemoveCommentLines(QStringList &lines);

// Cuts comment-free lines into jokes at the separator lines. Each joke holds
// all of its lines (heading and picture lines included); lines after the
// last separator belong to no joke.
std::vector<QStringList> CutIntoJokes(const QStringList &lines);

// A joke's heading and shown lines: a "##" first line becomes the heading
// (without its marker) and leaves the lines; otherwise the heading is
// "*** vicc" and every line stays. A joke without lines gets "*** vicc".
struct HeadingAndLines
{
    QString heading;
    QStringList lines;
};
HeadingAndLines TakeHeadingFrom(QStringList lines);

// The pictures of one collection, looked up in its picture folder dir (which
// ends in '/') once per load: each picture line is resolved at its first use
// and remembered, and every folder is listed at most once, so missing
// pictures cost nothing at repaints and little at the load, however large
// the folder.
class PictureNames
{
public:
    explicit PictureNames(QString dir) : FDir(std::move(dir)) {}
    const QString &Dir() const { return FDir; }
    // The file a picture line names: dir, '/', and the line from its third
    // character on. Names written on Windows ('\', other letter case) are
    // resolved to the existing file; an empty string when no regular file
    // is found.
    QString PathOf(const QString &pictureLine);

private:
    QString FDir;
    QHash<QString, QString> FPaths;
    FolderListings FListings;
};

// Looks up the size of a picture file; nothing when its header cannot be read.
using PictureSizeLookup = std::function<std::optional<QSize>(const QString &path)>;

// The picture height rule of a joke's lines: the height of the last picture
// the joke names whose file exists and whose header can be read, or 0.
int JokePictureHeightOf(const QStringList &jokeLines, PictureNames &pictures,
                        const PictureSizeLookup &sizeOf);

// The geometry rule of the joke view: a joke of lineCount lines (heading and
// picture lines counted) with picture height h is 15 × lineCount + 60 + h
// high; panels stand 4 pixels apart from y = 4, and the scroll range reaches
// 8 pixels below the last panel.
inline constexpr int FirstPanelTop = 4;
inline constexpr int PanelLeft = 12;
inline constexpr int PanelGap = 4;
// Heights and tops are 64-bit: tens of thousands of tall pictures reach
// beyond the 32-bit range.
inline qint64 JokePanelHeight(qsizetype lineCount, int pictureHeight)
{
    return 15 * qint64(lineCount) + 60 + pictureHeight;
}
