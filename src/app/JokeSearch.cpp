#include "app/JokeSearch.h"

#include "app/JokeFile.h"
#include "platform/SearchFolding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using FoldTable = SearchFoldTable;

const FoldTable &TableFor(FindOptions options)
{
    return SearchFolding(options.ignoreCase, options.ignoreAccents);
}

// Appends text folded by table, in UTF-8; see FoldForSearch.
void AppendFolded(std::string &out, QStringView text, const FoldTable &table, std::vector<int> *charOfByte)
{
    const qsizetype n = text.size();
    size_t at = out.size();
    out.resize(at + size_t(n) * 3);
    char *p = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const size_t before = at;
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            const char32_t u = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            p[at++] = char(0xF0 | (u >> 18));
            p[at++] = char(0x80 | ((u >> 12) & 0x3F));
            p[at++] = char(0x80 | ((u >> 6) & 0x3F));
            p[at++] = char(0x80 | (u & 0x3F));
            if (charOfByte)
                charOfByte->insert(charOfByte->end(), 4, int(i));
            ++i;
            continue;
        }
        const char16_t f = table[c];
        if (f == 0)
            continue;
        if (f < 0x80) {
            p[at++] = char(f);
        } else if (f < 0x800) {
            p[at++] = char(0xC0 | (f >> 6));
            p[at++] = char(0x80 | (f & 0x3F));
        } else {
            p[at++] = char(0xE0 | (f >> 12));
            p[at++] = char(0x80 | ((f >> 6) & 0x3F));
            p[at++] = char(0x80 | (f & 0x3F));
        }
        if (charOfByte)
            charOfByte->insert(charOfByte->end(), at - before, int(i));
    }
    out.resize(at);
    if (charOfByte)
        charOfByte->push_back(int(n));
}

// The matches of a needle in a stretch of folded text, taken from the left
// without overlapping. Jokes and lines start new stretches: a needle never
// holds a line break, so no match reaches over one.
class TScanner
{
public:
    TScanner(const QByteArray &text, const QByteArray &needle)
        : FText(text.constData()), FNeedle(needle.constData()), FLength(needle.size()),
          FOverlaps(SelfOverlapping(needle))
    {
    }

    // The first match in [from, to), or -1.
    qint64 First(qint64 from, qint64 to) const { return Edge(from, to, false); }
    // The last match in [from, to), counting from a match-free start.
    qint64 Last(qint64 from, qint64 to) const { return Edge(from, to, true); }

    qint64 Count(qint64 from, qint64 to) const
    {
        qint64 count = 0;
#if defined(__SSE2__)
        // A needle of one or two bytes that cannot overlap itself is found
        // exactly by the byte masks: whole blocks are counted at once.
        if (FLength <= 2 && !FOverlaps) {
            Blocks(from, to, [&](qint64, unsigned mask) {
                count += std::popcount(mask);
                return true;
            });
            return count;
        }
#endif
        Scan(from, to, [&](qint64) {
            ++count;
            return true;
        });
        return count;
    }

private:
    qint64 Edge(qint64 from, qint64 to, bool last) const
    {
        qint64 found = -1;
        Scan(from, to, [&](qint64 at) {
            found = at;
            return last;
        });
        return found;
    }

    // True when a match could begin inside another one ("aa", "abab").
    static bool SelfOverlapping(QByteArrayView needle)
    {
        for (qsizetype k = 1; k < needle.size(); ++k)
            if (needle.first(needle.size() - k) == needle.sliced(k))
                return true;
        return false;
    }

    // Calls visit(block start, mask) for blocks of 16 possible starts in
    // [from, to − length], each bit a start whose first and last bytes are
    // those of the needle; the starts beyond the last block one by one as
    // masks of one bit. visit returns false to stop.
    template <class Visit>
    void Blocks(qint64 from, qint64 to, Visit &&visit) const
    {
        const qint64 lastStart = to - FLength;
        qint64 at = from;
#if defined(__SSE2__)
        const __m128i first = _mm_set1_epi8(FNeedle[0]);
        const __m128i last = _mm_set1_epi8(FNeedle[FLength - 1]);
        for (; at + 15 <= lastStart; at += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(FText + at));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(FText + at + FLength - 1));
            const unsigned mask =
                unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
            if (mask != 0 && !visit(at, mask))
                return;
        }
#endif
        for (; at <= lastStart; ++at) {
            const char *p = static_cast<const char *>(std::memchr(FText + at, FNeedle[0], size_t(lastStart - at + 1)));
            if (!p)
                return;
            at = p - FText;
            if (FText[at + FLength - 1] == FNeedle[FLength - 1] && !visit(at, 1u))
                return;
        }
    }

    // Calls visit(at) for every match in [from, to), from the left, each one
    // after the end of the one before; visit returns false to stop.
    template <class Visit>
    void Scan(qint64 from, qint64 to, Visit &&visit) const
    {
        if (FLength == 0)
            return;
        qint64 next = from;
        Blocks(from, to, [&](qint64 block, unsigned mask) {
            while (mask != 0) {
                const qint64 at = block + std::countr_zero(mask);
                mask &= mask - 1;
                if (at < next || (FLength > 2 && std::memcmp(FText + at + 1, FNeedle + 1, size_t(FLength - 2)) != 0))
                    continue;
                if (!visit(at))
                    return false;
                next = at + FLength;
            }
            return true;
        });
    }

    const char *FText;
    const char *FNeedle;
    qint64 FLength;
    bool FOverlaps;
};

// Previous matches are looked for this many bytes at a time, going back
// from joke to joke.
constexpr qint64 BackwardStep = 1 << 20;

} // namespace

QByteArray FoldForSearch(QStringView text, FindOptions options, std::vector<int> *charOfByte)
{
    std::string out;
    if (charOfByte)
        charOfByte->clear();
    AppendFolded(out, text, TableFor(options), charOfByte);
    return QByteArray(out.data(), qsizetype(out.size()));
}

TJokeSearch::TJokeSearch(const std::vector<JokeEntry> &jokes, bool withPictures, FindOptions options)
    : FOptions(options), FWithPictures(withPictures)
{
    const FoldTable &table = TableFor(options);
    std::string text;
    FStarts.reserve(jokes.size());
    for (const JokeEntry &joke : jokes) {
        FStarts.push_back(qint64(text.size()));
        for (int line = -1; line < int(joke.lines.size()); ++line) {
            AppendFolded(text, SegmentText(joke, line), table, nullptr);
            text.push_back('\n');
        }
    }
    text.shrink_to_fit();
    FText = QByteArray(text.data(), qsizetype(text.size()));
}

QString TJokeSearch::SegmentText(const JokeEntry &joke, int line) const
{
    if (line < 0) {
        // A fortune's heading names its file, and "*** vicc" stands for a
        // joke without one: neither is the joke's text.
        return FWithPictures && joke.heading != QStringView(NoHeadingText) ? joke.heading : QString();
    }
    const QString &text = joke.lines.at(line);
    return FWithPictures && IsPictureLine(text) ? QString() : text;
}

qint64 TJokeSearch::StartOf(int joke) const
{
    return joke < JokeCount() ? FStarts[size_t(joke)] : FText.size();
}

qint64 TJokeSearch::EndOf(int joke) const
{
    return StartOf(joke + 1);
}

SearchHit TJokeSearch::Find(const QString &text, int fromJoke)
{
    const QByteArray needle = FoldForSearch(text, FOptions);
    FNeedle = needle.contains('\n') ? QByteArray() : needle;
    FCount = 0;
    if (FNeedle.isEmpty())
        return {};
    // One pass: the matches above the joke, the first one from it on, and
    // those from it on.
    const TScanner scanner(FText, FNeedle);
    const qint64 from = StartOf(std::clamp(fromJoke, 0, JokeCount()));
    const qint64 before = scanner.Count(0, from);
    FCount = before + scanner.Count(from, FText.size());
    if (const qint64 at = scanner.First(from, FText.size()); at >= 0)
        return {at, before};
    return FCount > 0 ? SearchHit{scanner.First(0, from), 0} : SearchHit{};
}

SearchHit TJokeSearch::FirstFrom(int joke) const
{
    if (FCount == 0)
        return {};
    const TScanner scanner(FText, FNeedle);
    const qint64 from = StartOf(std::clamp(joke, 0, JokeCount()));
    if (const qint64 at = scanner.First(from, FText.size()); at >= 0)
        return {at, scanner.Count(0, at)};
    return {scanner.First(0, from), 0};
}

SearchHit TJokeSearch::Next(const SearchHit &hit) const
{
    if (!hit.Found() || FCount == 0)
        return {};
    const qint64 at = TScanner(FText, FNeedle).First(hit.at + FNeedle.size(), FText.size());
    return at >= 0 ? SearchHit{at, hit.index + 1} : FirstFrom(0);
}

SearchHit TJokeSearch::Previous(const SearchHit &hit) const
{
    if (!hit.Found() || FCount == 0)
        return {};
    const TScanner scanner(FText, FNeedle);
    // Matches are taken from the left of each line, so the one before is
    // found by reading forward from a joke's start: first the joke of the
    // match, then ever larger stretches of the jokes above it.
    qint64 to = hit.at;
    int joke = JokeOf(hit);
    while (to > 0) {
        const qint64 goal = qMax<qint64>(0, to - BackwardStep);
        while (joke > 0 && StartOf(joke) > goal)
            --joke;
        const qint64 from = StartOf(joke);
        if (const qint64 at = scanner.Last(from, to); at >= 0)
            return {at, hit.index - 1};
        to = from;
    }
    return {scanner.Last(0, FText.size()), FCount - 1};
}

int TJokeSearch::JokeOf(const SearchHit &hit) const
{
    const auto after = std::upper_bound(FStarts.begin(), FStarts.end(), hit.at);
    return int(after - FStarts.begin()) - 1;
}

LineMatch TJokeSearch::PlaceOf(const std::vector<JokeEntry> &jokes, const SearchHit &hit) const
{
    const int joke = JokeOf(hit);
    qint64 segment = StartOf(joke);
    int line = -1;
    for (;;) {
        const qint64 end = FText.indexOf('\n', segment);
        if (end >= hit.at)
            break;
        segment = end + 1;
        ++line;
    }
    std::vector<int> charOfByte;
    FoldForSearch(SegmentText(jokes[size_t(joke)], line), FOptions, &charOfByte);
    const qint64 offset = hit.at - segment;
    const int column = charOfByte[size_t(offset)];
    return {line, column, charOfByte[size_t(offset + FNeedle.size())] - column};
}

std::vector<LineMatch> TJokeSearch::MatchesIn(const std::vector<JokeEntry> &jokes, int joke) const
{
    std::vector<LineMatch> matches;
    if (FCount == 0 || joke < 0 || joke >= JokeCount() || size_t(joke) >= jokes.size())
        return matches;
    const TScanner scanner(FText, FNeedle);
    const JokeEntry &entry = jokes[size_t(joke)];
    qint64 segment = StartOf(joke);
    std::vector<int> charOfByte;
    for (int line = -1; line < int(entry.lines.size()); ++line) {
        const qint64 end = FText.indexOf('\n', segment);
        bool folded = false;
        for (qint64 at = scanner.First(segment, end); at >= 0; at = scanner.First(at + FNeedle.size(), end)) {
            if (!folded) {
                FoldForSearch(SegmentText(entry, line), FOptions, &charOfByte);
                folded = true;
            }
            const int column = charOfByte[size_t(at - segment)];
            matches.push_back({line, column, charOfByte[size_t(at - segment + FNeedle.size())] - column});
        }
        segment = end + 1;
    }
    return matches;
}

std::vector<int> TJokeSearch::JokesWithMatches() const
{
    std::vector<int> found;
    if (FCount == 0)
        return found;
    const TScanner scanner(FText, FNeedle);
    for (qint64 at = scanner.First(0, FText.size()); at >= 0;) {
        const int joke = JokeOf({at, 0});
        found.push_back(joke);
        at = scanner.First(EndOf(joke), FText.size());
    }
    return found;
}
