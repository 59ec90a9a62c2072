#include "report/preview/detail/RepPageTextIndex.h"

#include "platform/MetafileText.h"
#include "report/output/RepPrinter.h"

#include <array>
#include <memory>

namespace {

// One folded code unit for every code unit of the basic plane, so a
// folded text is as long as the text and a match's offsets are the
// text's own. Surrogates fold to themselves.
struct FoldTables
{
    std::array<char16_t, 0x10000> cased{};
    std::array<char16_t, 0x10000> bare{}; // case folded and without accents
};

QChar BaseLetter(QChar c)
{
    for (int depth = 0; depth < 4 && c.decompositionTag() == QChar::Canonical; ++depth)
        c = c.decomposition().at(0);
    return c;
}

const FoldTables &Tables()
{
    static const std::unique_ptr<FoldTables> tables = [] {
        auto t = std::make_unique<FoldTables>();
        for (int u = 0; u < 0x10000; ++u) {
            const QChar c{char16_t(u)};
            const bool plain = c.isSurrogate();
            t->cased[size_t(u)] = plain ? char16_t(u) : c.toCaseFolded().unicode();
            t->bare[size_t(u)] = plain ? char16_t(u) : BaseLetter(c).toCaseFolded().unicode();
        }
        return t;
    }();
    return *tables;
}

void FoldInPlace(QString &text, const std::array<char16_t, 0x10000> &table)
{
    for (QChar &c : text)
        c = QChar(table[c.unicode()]);
}

} // namespace

QString TRepPageTextIndex::Fold(const QString &text, bool ignoreAccents)
{
    QString folded = text;
    FoldInPlace(folded, ignoreAccents ? Tables().bare : Tables().cased);
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
    const QString wanted = Fold(needle, ignoreAccents);
    if (wanted.isEmpty())
        return found;
    from = std::max(from, 1);
    to = std::min(to, PageCount());
    QString text;
    for (int page = from; page <= to && found.size() < limit; ++page) {
        text = QString::fromUtf8(FPages[size_t(page - 1)]);
        if (ignoreAccents)
            FoldInPlace(text, Tables().bare);
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
