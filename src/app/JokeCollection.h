#pragma once
// Reading a joke collection: given a path, the jokes the joke view shows,
// whatever the format.
//   - A joke file (.vicc, and any file that is no fortune file): comment
//     lines dropped, cut at the "<<" lines, a "##" first line taken as the
//     heading, pictures looked up beside the file (JokeFile.h).
//   - A fortune file: a file whose name does not end in ".vicc" and that has
//     separator lines or a strfile index beside it (FortuneFile.h). Every text
//     is a joke headed "*** " and the file's name, its lines shown as they
//     are: no markers, no pictures. Rotated files are turned back.
//   - A folder: its fortune files in name order, then those of its
//     subfolders (one level down), each text headed by the file's path below
//     the folder. Indexes, joke files, other files and second names of a
//     file already read (fortunes.u8 -> fortunes) are left out.
// Reading has two steps, so that a caller can let go of the collection on
// show in between: ReadCollectionFiles takes the bytes from disk and is the
// only step that can fail; JokesOf makes and lays out the jokes.

#include "app/FortuneFile.h"
#include "app/JokeFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// One joke as the joke view holds it: its heading and its shown lines, and
// where its panel stands (top in content coordinates) and how high it is.
struct JokeEntry
{
    QString heading;
    QStringList lines;
    qint64 top = 0;
    qint64 height = 0;
};

// One file of a collection, read whole.
struct TCollectionFile
{
    // The name the file's texts are headed with (fortune files only).
    QString Name;
    QByteArray Bytes;
    bool Fortune = false;
    char Delimiter = FortuneDelimiter;
    bool Rotated = false;
};

struct TCollectionFiles
{
    // The folder a joke file's pictures are looked up in, ending in '/';
    // empty for fortune collections, whose ">>" lines are text.
    QString PictureDir;
    std::vector<TCollectionFile> Files;
};

struct TJokeCollection
{
    // Laid out from the top: the first at 4, each 4 pixels below the one
    // before, heights by the joke view's rule (JokePanelHeight).
    std::vector<JokeEntry> Jokes;
    // 8 pixels below the last joke; 0 without jokes. Positions are 64-bit:
    // tens of thousands of tall pictures reach beyond the 32-bit range.
    qint64 ScrollRange = 0;
    QString PictureDir;
    // The picture names resolved while the jokes were measured (in
    // PictureDir), for the panels to share.
    std::shared_ptr<PictureNames> Pictures;
    // A joke file's lines without its comment lines; empty for fortunes.
    QStringList SourceLines;
};

// True when a regular file or a folder is at path.
bool CollectionExists(const QString &path);

// True when the name ends in ".vicc" (in any letter case): such a file is
// always a joke file.
bool IsJokeFileName(const QString &path);

// The files of the collection at path (a file or a folder). Raises AppError
// with the system's text when a file named by path cannot be read; inside a
// folder, files that cannot be read are left out.
TCollectionFiles ReadCollectionFiles(const QString &path);

// The jokes of the files read, numbered in their order.
TJokeCollection JokesOf(TCollectionFiles files, const PictureSizeLookup &sizeOf);

// Both steps, pictures measured through the picture cache.
TJokeCollection ReadJokeCollection(const QString &path);

// The text of a joke on its own (a joke picked at random): its lines, one a
// line, without the heading; picture lines are left out when the collection
// has pictures.
QString JokeText(const JokeEntry &joke, bool withPictures);
