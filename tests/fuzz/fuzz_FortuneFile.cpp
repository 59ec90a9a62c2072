// Feeds arbitrary bytes through the fortune reader: the separator test on
// raw bytes, the index header, and the collection reader making the jokes of
// the bytes as a fortune file (rotated or not) and as a joke file, with the
// layout of every joke.
#include "app/JokeCollection.h"

#include <cstddef>
#include <cstdint>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void CheckLayout(const TJokeCollection &collection)
{
    int top = FirstPanelTop;
    for (const JokeEntry &joke : collection.Jokes) {
        Check(joke.top == top && joke.height >= 60);
        top += joke.height + PanelGap;
    }
    Check(collection.Jokes.empty() ? collection.ScrollRange == 0 : collection.ScrollRange == top - PanelGap + 8);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<FortuneIndex> index = ParseFortuneIndex(bytes))
        Check(bytes.size() == FortuneIndex::HeaderSize + 4 * (qint64(index->Count) + 1));
    const bool separated = HasFortuneSeparator(bytes);

    const bool rotated = size > 0 && (data[0] & 1);
    TCollectionFiles fortune;
    fortune.Files.push_back({QStringLiteral("f"), bytes, true, FortuneDelimiter, rotated});
    const TJokeCollection texts = JokesOf(fortune, [](const QString &) { return std::nullopt; });
    CheckLayout(texts);
    for (const JokeEntry &joke : texts.Jokes) {
        Check(joke.heading == QStringLiteral("*** f"));
        bool blank = true;
        for (const QString &line : joke.lines) {
            Check(!line.contains(u'\t') && !line.endsWith(u' ') && line != QStringLiteral("%"));
            blank = blank && line.isEmpty();
        }
        Check(!blank);
    }
    // Without a separator line the whole text is one joke at most.
    if (!separated)
        Check(texts.Jokes.size() <= 1);

    TCollectionFiles joke;
    joke.PictureDir = QStringLiteral("/nonexistent/");
    joke.Files.push_back({QStringLiteral("j.vicc"), bytes});
    CheckLayout(JokesOf(joke, [](const QString &) { return std::nullopt; }));
    return 0;
}
