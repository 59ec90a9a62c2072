#pragma once
// Finding text in the jokes of a collection. The text a reader sees of each
// joke (its own heading and its text lines; not a heading made up for it,
// nor picture lines) is folded once into one string of UTF-8 bytes: letters
// case-folded, and stripped of their accents when asked. A search is then a
// pass over bytes, whatever the size of the collection. Matches never span
// lines and never overlap: in each line they are taken from the left, the
// next one starting after the end of the last.

#include "app/JokeCollection.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

struct FindOptions
{
    bool ignoreCase = true;
    // "szorny" finds "szörny": letters match without their accents.
    bool ignoreAccents = false;

    friend bool operator==(const FindOptions &, const FindOptions &) = default;
};

// Text as it is compared: every character folded by the options (a mark
// that only carries an accent is dropped when accents are ignored), encoded
// in UTF-8. charOfByte, when given, receives for each byte the position of
// the character it came from, and one more entry: text's length.
QByteArray FoldForSearch(QStringView text, FindOptions options, std::vector<int> *charOfByte = nullptr);

// A match in a joke's own coordinates: the line (-1 is the heading) and the
// characters it covers.
struct LineMatch
{
    int line = 0;
    int column = 0;
    int length = 0;

    friend bool operator==(const LineMatch &, const LineMatch &) = default;
};

// A match of the whole collection: where its bytes start in the folded text,
// and its place in the collection's order of matches (0-based).
struct SearchHit
{
    qint64 at = -1;
    qint64 index = -1;

    bool Found() const { return at >= 0; }
};

class TJokeSearch
{
public:
    // Folds the jokes' text; the jokes are read only here, the search keeps
    // no reference to them. withPictures: the collection has pictures, so
    // its ">>" lines are pictures and not text.
    TJokeSearch(const std::vector<JokeEntry> &jokes, bool withPictures, FindOptions options);

    FindOptions Options() const { return FOptions; }
    int JokeCount() const { return int(FStarts.size()); }

    // Looks for text from now on: counts its matches and returns the first
    // one at or after joke fromJoke, going round to the first joke when
    // there is none below it. Text that folds to nothing (or holds a line
    // break) finds nothing.
    SearchHit Find(const QString &text, int fromJoke);
    // The first match at or after joke k (going round), for the text of the
    // last Find.
    SearchHit FirstFrom(int joke) const;
    qint64 Count() const { return FCount; }
    bool HasText() const { return !FNeedle.isEmpty(); }

    // The next and the previous match, going round at either end.
    SearchHit Next(const SearchHit &hit) const;
    SearchHit Previous(const SearchHit &hit) const;

    // The joke a match is in, and where in it.
    int JokeOf(const SearchHit &hit) const;
    LineMatch PlaceOf(const std::vector<JokeEntry> &jokes, const SearchHit &hit) const;
    // Every match in joke k, in reading order; the jokes are those the search
    // was made from.
    std::vector<LineMatch> MatchesIn(const std::vector<JokeEntry> &jokes, int joke) const;
    // The jokes holding a match, in order.
    std::vector<int> JokesWithMatches() const;

private:
    // The folded text of joke k: its heading, then each line, each ended by
    // a line break.
    qint64 StartOf(int joke) const;
    qint64 EndOf(int joke) const;
    QString SegmentText(const JokeEntry &joke, int line) const;

    FindOptions FOptions;
    bool FWithPictures = false;
    QByteArray FText;
    std::vector<qint64> FStarts;
    QByteArray FNeedle;
    qint64 FCount = 0;
};
