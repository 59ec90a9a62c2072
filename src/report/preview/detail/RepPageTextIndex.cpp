#include "report/preview/detail/RepPageTextIndex.h"

#include "platform/MetafileText.h"
#include "platform/SearchFolding.h"
#include "report/output/RepPrinter.h"

#include <algorithm>

namespace {

// Both foldings give one code unit for each, so a folded text is as long as
// the text and a match's offsets are the text's own; a mark that only
// carries an accent folds to 0 and so never matches a letter.
void FoldInPlace(QString &text, const SearchFoldTable &table)
{
    for (QChar &c : text)
        c = QChar(table[c.unicode()]);
}

const SearchFoldTable &Folding(bool ignoreAccents)
{
    return SearchFolding(true, ignoreAccents);
}

} // namespace

QString TRepPageTextIndex::Fold(const QString &text, bool ignoreAccents)
{
    QString folded = text;
    FoldInPlace(folded, Folding(ignoreAccents));
    return folded;
}

void TRepPageTextIndex::AppendPage(const QString &text)
{
    FPages.push_back(Fold(text, false).toUtf8());
    FPages.back().squeeze();
}

int TRepPageTextIndex::CatchUp(TRepPrinter &printer)
{
    const int before = PageCount();
    while (PageCount() < printer.ReadyPages()) {
        const std::optional<Metafile> page = printer.FetchPage(PageCount() + 1);
        AppendPage(page ? MetafileText(*page) : QString());
    }
    return PageCount() - before;
}

std::vector<TRepPageTextIndex::Match> TRepPageTextIndex::Find(const QString &needle, bool ignoreAccents,
                                                              int from, int to, size_t limit) const
{
    std::vector<Match> found;
    // A mark typed on its own is dropped, as on the page it never matches.
    const QString wanted = Fold(needle, ignoreAccents).remove(QChar(0));
    if (wanted.isEmpty())
        return found;
    from = std::max(from, 1);
    to = std::min(to, PageCount());
    QString text;
    for (int page = from; page <= to && found.size() < limit; ++page) {
        text = QString::fromUtf8(FPages[size_t(page - 1)]);
        if (ignoreAccents)
            FoldInPlace(text, Folding(true));
        for (qsizetype at = text.indexOf(wanted); at >= 0 && found.size() < limit;
             at = text.indexOf(wanted, at + wanted.size()))
            found.push_back({page, int(at), int(wanted.size())});
    }
    return found;
}

qint64 TRepPageTextIndex::Bytes() const
{
    qint64 bytes = 0;
    for (const QByteArray &page : FPages)
        bytes += page.capacity();
    return bytes;
}
