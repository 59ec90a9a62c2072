#pragma once
// The text of a printer's stored pages, for finding words in them: each
// page's text is read once from its metafile's text records (no page is
// drawn for it) and kept case-folded in UTF-8, a few kilobytes a page.
// The index follows the page store: CatchUp takes the pages that became
// ready since the last call (during a run, as they are announced).
//
// A match is a page and a stretch of that page's text as MetafileText
// gives it (offsets in UTF-16 code units), so it can be found again among
// the page's MetafileTextRuns to show where it stands.

#include <QByteArray>
#include <QString>
#include <vector>

class TRepPrinter;

class TRepPageTextIndex
{
public:
    struct Match
    {
        int Page = 0;
        int Offset = 0;
        int Length = 0;
        bool operator==(const Match &) const = default;
    };

    // Pages indexed, 1..PageCount.
    int PageCount() const { return int(FPages.size()); }
    void Clear() { FPages.clear(); }
    // Adds the next page with text (as MetafileText reads it).
    void AppendPage(const QString &text);
    // Reads the pages printer has ready beyond those indexed: every stored
    // page of a finished printer, the announced ones of a busy one. A page
    // the store cannot give counts as one without text. Returns how many
    // pages were added.
    int CatchUp(TRepPrinter &printer);

    // The matches of needle on pages from..to (1-based, clipped to the
    // pages indexed), in page order, at most limit of them; they never
    // overlap. Letters are folded as for every search (SearchFolding.h):
    // their case never matters, their accents only unless ignoreAccents.
    // An empty needle matches nothing.
    std::vector<Match> Find(const QString &needle, bool ignoreAccents, int from, int to, size_t limit) const;

    // Bytes of text held.
    qint64 Bytes() const;

    // needle as the index compares it.
    static QString Fold(const QString &text, bool ignoreAccents);

private:
    std::vector<QByteArray> FPages; // case-folded text, UTF-8
};
