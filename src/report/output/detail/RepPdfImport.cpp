#include "report/output/detail/RepPdfImport.h"

#include "report/output/detail/RepPdfDocument.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace {

constexpr int NestingLimit = 64;

[[noreturn]] void Unreadable(const char *why)
{
    throw std::runtime_error(std::string("the pages Qt's PDF engine wrote cannot be read: ") + why);
}

bool IsSpace(char c)
{
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c)
{
    return c != 0 && std::strchr("()<>[]{}/%", c) != nullptr;
}

struct Span
{
    qsizetype begin = 0, end = 0;
};

// The objects of one PDF file, found through its cross-reference table and
// read token by token where they lie.
class PdfFile
{
public:
    explicit PdfFile(const QByteArray &data) : D(data) { ReadCrossReferences(); }

    // An object's value, and for a stream its data.
    struct Object
    {
        Span value;
        std::optional<Span> data;
    };

    Object Get(int number) const
    {
        const auto it = Offsets.find(number);
        if (it == Offsets.end())
            Unreadable("an object is missing");
        qsizetype at = it->second;
        for (const char *word : std::initializer_list<const char *>{nullptr, nullptr, "obj"}) {
            const Span t = Next(at);
            if (word && !Is(t, word))
                Unreadable("an object does not start as one");
            at = t.end;
        }
        Object object;
        object.value = {Next(at).begin, ValueEnd(at)};
        const Span after = Next(object.value.end);
        if (Is(after, "stream")) {
            qsizetype begin = after.end;
            if (begin < D.size() && D[begin] == '\r')
                ++begin;
            if (begin < D.size() && D[begin] == '\n')
                ++begin;
            const qint64 length = Integer(Lookup(object.value, "/Length"));
            if (length < 0 || length > D.size() - begin)
                Unreadable("a stream runs past the end");
            object.data = Span{begin, begin + qsizetype(length)};
        }
        return object;
    }

    // The value of key in the dictionary spanned by dict.
    std::optional<Span> Lookup(Span dict, const char *key) const
    {
        if (!Is(Next(dict.begin), "<<"))
            return std::nullopt;
        for (qsizetype at = Next(dict.begin).end;;) {
            const Span name = Next(at);
            if (name.begin >= dict.end || Is(name, ">>"))
                return std::nullopt;
            const Span value{Next(name.end).begin, ValueEnd(name.end)};
            if (Is(name, key))
                return value;
            at = value.end;
        }
    }

    // The object a reference names, 0 when span is no reference.
    int Reference(std::optional<Span> span) const
    {
        if (!span)
            return 0;
        const Span n = Next(span->begin), g = Next(n.end), r = Next(g.end);
        return IsInteger(n) && IsInteger(g) && Is(r, "R") ? int(Number(n)) : 0;
    }

    // The objects a value refers to, each once, in order; whole objects are
    // resolved (a reference to an array of references gives those).
    std::vector<int> References(Span array) const
    {
        std::vector<int> refs;
        if (const int ref = Reference(array))
            return References(Get(ref).value);
        if (!Is(Next(array.begin), "["))
            return refs;
        for (qsizetype at = Next(array.begin).end; at < array.end;) {
            const Span item{Next(at).begin, ValueEnd(at)};
            if (Is(Next(item.begin), "]"))
                break;
            if (const int ref = Reference(item))
                refs.push_back(ref);
            at = item.end;
        }
        return refs;
    }

    // A number, a reference to one resolved; -1 otherwise.
    qint64 Integer(std::optional<Span> span) const
    {
        if (!span)
            return -1;
        if (const int ref = Reference(span))
            return Integer(Get(ref).value);
        const Span t = Next(span->begin);
        return IsInteger(t) ? Number(t) : -1;
    }

    int Root() const { return Reference(Lookup(Trailer, "/Root")); }

    // The token starting at or after at (empty at the end of the data).
    Span Next(qsizetype at) const
    {
        while (at < D.size()) {
            if (D[at] == '%') {
                while (at < D.size() && D[at] != '\n' && D[at] != '\r')
                    ++at;
            } else if (IsSpace(D[at])) {
                ++at;
            } else {
                break;
            }
        }
        if (at >= D.size())
            return {D.size(), D.size()};
        const char c = D[at];
        qsizetype end = at + 1;
        if (c == '(') {
            for (int depth = 1; end < D.size() && depth > 0; ++end) {
                if (D[end] == '\\')
                    ++end;
                else if (D[end] == '(')
                    ++depth;
                else if (D[end] == ')')
                    --depth;
            }
        } else if ((c == '<' || c == '>') && end < D.size() && D[end] == c) {
            ++end;
        } else if (c == '<') {
            while (end < D.size() && D[end] != '>')
                ++end;
            end = std::min(end + 1, D.size());
        } else if (c == '/' || !IsDelimiter(c)) {
            while (end < D.size() && !IsSpace(D[end]) && !IsDelimiter(D[end]))
                ++end;
        }
        return {at, std::min(end, D.size())};
    }

    // Where the value starting at or after at ends.
    qsizetype ValueEnd(qsizetype at, int depth = 0) const
    {
        if (depth > NestingLimit)
            Unreadable("objects nest too deep");
        const Span t = Next(at);
        const char *close = Is(t, "<<") ? ">>" : Is(t, "[") ? "]" : nullptr;
        if (close) {
            for (qsizetype pos = t.end;;) {
                const Span item = Next(pos);
                if (item.begin >= D.size())
                    Unreadable("a dictionary or array never ends");
                if (Is(item, close))
                    return item.end;
                pos = ValueEnd(pos, depth + 1);
            }
        }
        if (IsInteger(t)) {
            const Span g = Next(t.end), r = Next(g.end);
            if (IsInteger(g) && Is(r, "R"))
                return r.end;
        }
        return t.end;
    }

    bool Is(Span t, const char *word) const
    {
        const qsizetype n = qsizetype(std::strlen(word));
        return t.end - t.begin == n && std::memcmp(D.constData() + t.begin, word, size_t(n)) == 0;
    }

    bool IsInteger(Span t) const
    {
        if (t.end == t.begin || t.end - t.begin > 12)
            return false;
        for (qsizetype i = t.begin; i < t.end; ++i)
            if (!(D[i] >= '0' && D[i] <= '9'))
                return false;
        return true;
    }

    qint64 Number(Span t) const { return QByteArray(D.constData() + t.begin, t.end - t.begin).toLongLong(); }

    QByteArrayView Bytes(Span s) const { return QByteArrayView(D.constData() + s.begin, s.end - s.begin); }

private:
    void ReadCrossReferences()
    {
        const qsizetype mark = D.lastIndexOf("startxref");
        if (mark < 0)
            Unreadable("there is no cross-reference table");
        qsizetype at = Next(Next(mark).end).begin;
        const Span offset = Next(at);
        if (!IsInteger(offset) || Number(offset) >= D.size())
            Unreadable("the cross-reference table is not where it is said to be");
        at = Next(qsizetype(Number(offset))).end; // "xref"
        for (;;) {
            const Span first = Next(at), count = Next(first.end);
            if (Is(first, "trailer")) {
                Trailer = {Next(first.end).begin, ValueEnd(first.end)};
                return;
            }
            if (!IsInteger(first) || !IsInteger(count))
                Unreadable("the cross-reference table is damaged");
            at = count.end;
            for (qint64 i = 0; i < Number(count); ++i) {
                const Span where = Next(at), generation = Next(where.end), kind = Next(generation.end);
                if (!IsInteger(where) || !IsInteger(generation))
                    Unreadable("the cross-reference table is damaged");
                if (Is(kind, "n"))
                    Offsets[int(Number(first) + i)] = qsizetype(std::min<qint64>(Number(where), D.size()));
                at = kind.end;
            }
        }
    }

    const QByteArray &D;
    std::unordered_map<int, qsizetype> Offsets;
    Span Trailer;
};

// Copies objects of the read file into the document, each once, under a
// number of the document.
class ObjectCopier
{
public:
    ObjectCopier(const PdfFile &file, RepPdfDocument &document) : F(file), FDocument(document) {}

    // The bytes of value with every reference renumbered (the objects
    // referred to queued to be copied).
    QByteArray Copy(Span value)
    {
        QByteArray out;
        for (qsizetype at = value.begin; at < value.end;) {
            const Span t = F.Next(at);
            if (t.begin >= value.end)
                break;
            if (const int ref = F.IsInteger(t) ? F.Reference(Span{t.begin, value.end}) : 0) {
                out += QByteArray::number(Number(ref)) + " 0 R ";
                at = F.ValueEnd(t.begin);
                continue;
            }
            out += F.Bytes(t);
            out += ' ';
            at = t.end;
        }
        return out;
    }

    // Writes every queued object, and those they reach.
    void Drain()
    {
        while (!FQueue.empty()) {
            const int old = FQueue.front();
            FQueue.pop_front();
            const PdfFile::Object object = F.Get(old);
            if (!object.data) {
                FDocument.Write(FNumbers.at(old), Copy(object.value));
                continue;
            }
            // The dictionary's entries but its length, which is written anew.
            QByteArray entries;
            for (qsizetype at = F.Next(object.value.begin).end;;) {
                const Span name = F.Next(at);
                if (name.begin >= object.value.end || F.Is(name, ">>"))
                    break;
                const Span value{F.Next(name.end).begin, F.ValueEnd(name.end)};
                if (!F.Is(name, "/Length"))
                    entries += F.Bytes(name).toByteArray() + ' ' + Copy(value);
                at = value.end;
            }
            FDocument.WriteStream(FNumbers.at(old), entries, F.Bytes(*object.data), false);
        }
    }

private:
    int Number(int old)
    {
        const auto [it, added] = FNumbers.try_emplace(old, 0);
        if (added) {
            it->second = FDocument.Reserve();
            FQueue.push_back(old);
        }
        return it->second;
    }

    const PdfFile &F;
    RepPdfDocument &FDocument;
    std::unordered_map<int, int> FNumbers;
    std::deque<int> FQueue;
};

// The page objects under a page tree node, in order.
void CollectPages(const PdfFile &file, int node, std::vector<int> &pages, int depth = 0)
{
    if (depth > NestingLimit)
        Unreadable("the page tree nests too deep");
    const Span dict = file.Get(node).value;
    const std::optional<Span> type = file.Lookup(dict, "/Type");
    if (type && file.Is(file.Next(type->begin), "/Page")) {
        pages.push_back(node);
        return;
    }
    if (const std::optional<Span> kids = file.Lookup(dict, "/Kids"))
        for (int kid : file.References(*kids))
            CollectPages(file, kid, pages, depth + 1);
}

// key of a page, or of the nearest page tree node above it that has it.
std::optional<Span> Inherited(const PdfFile &file, int page, const char *key)
{
    for (int node = page, depth = 0; node && depth <= NestingLimit; ++depth) {
        const Span dict = file.Get(node).value;
        if (const std::optional<Span> value = file.Lookup(dict, key))
            return value;
        node = file.Reference(file.Lookup(dict, "/Parent"));
    }
    return std::nullopt;
}

} // namespace

void ImportPdfPages(RepPdfDocument &document, const QByteArray &pdf, const std::vector<int> &pageIds, int parent)
{
    const PdfFile file(pdf);
    const int catalog = file.Root();
    if (!catalog)
        Unreadable("there is no catalog");
    std::vector<int> pages;
    CollectPages(file, file.Reference(file.Lookup(file.Get(catalog).value, "/Pages")), pages);
    if (pages.size() != pageIds.size())
        Unreadable("it holds another number of pages");
    ObjectCopier copier(file, document);
    for (size_t i = 0; i < pages.size(); ++i) {
        QByteArray dict = "<</Type/Page/Parent " + QByteArray::number(parent) + " 0 R";
        for (const char *key : {"/MediaBox", "/CropBox", "/Rotate", "/Resources"})
            if (const std::optional<Span> value = Inherited(file, pages[i], key))
                dict += key + QByteArray(" ") + copier.Copy(*value);
        if (const std::optional<Span> contents = file.Lookup(file.Get(pages[i]).value, "/Contents"))
            dict += "/Contents " + copier.Copy(*contents);
        document.Write(pageIds[i], dict + ">>");
        copier.Drain();
    }
}
