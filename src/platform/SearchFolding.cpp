#include "platform/SearchFolding.h"

#include <QChar>
#include <QString>
#include <memory>

namespace {

// Letters that carry their stroke in the letter itself, so that no
// decomposition takes it off.
char16_t StrokeFree(char16_t c)
{
    switch (c) {
    case u'ł': return u'l';
    case u'Ł': return u'L';
    case u'ø': return u'o';
    case u'Ø': return u'O';
    case u'đ': return u'd';
    case u'Đ': return u'D';
    case u'ħ': return u'h';
    case u'Ħ': return u'H';
    default: return c;
    }
}

char16_t WithoutAccent(char16_t c)
{
    QChar ch(c);
    if (ch.category() == QChar::Mark_NonSpacing)
        return 0;
    // ǖ is ü and a macron, ü is u and a diaeresis: down to the letter.
    while (ch.decompositionTag() == QChar::Canonical) {
        const QString parts = ch.decomposition();
        if (parts.isEmpty() || parts.front().isSurrogate())
            break;
        ch = parts.front();
    }
    return StrokeFree(ch.unicode());
}

std::unique_ptr<SearchFoldTable> MakeTable(bool ignoreCase, bool ignoreAccents)
{
    auto table = std::make_unique<SearchFoldTable>();
    for (char32_t c = 0; c < 0x10000; ++c) {
        char16_t folded = char16_t(c);
        if (!QChar::isSurrogate(c)) {
            if (ignoreAccents)
                folded = WithoutAccent(folded);
            if (ignoreCase && folded != 0)
                folded = QChar::toCaseFolded(folded);
        }
        (*table)[c] = folded;
    }
    return table;
}

} // namespace

const SearchFoldTable &SearchFolding(bool ignoreCase, bool ignoreAccents)
{
    static const std::unique_ptr<SearchFoldTable> tables[] = {MakeTable(false, false), MakeTable(true, false),
                                                              MakeTable(false, true), MakeTable(true, true)};
    return *tables[int(ignoreCase) + 2 * int(ignoreAccents)];
}
