// Feeds arbitrary bytes through the joke-file reader: decoding, line
// splitting, comment removal, cutting into jokes and the heading rule, and
// the panel geometry of every joke.
#include "app/JokeFile.h"
#include "platform/TextFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList lines = SplitLines(DecodeText(bytes));
    RemoveCommentLines(lines);
    for (const QStringList &joke : CutIntoJokes(lines)) {
        const HeadingAndLines shown = TakeHeadingFrom(joke);
        if (shown.lines.size() > joke.size())
            __builtin_trap();
        if (JokePanelHeight(joke.size(), 0) < 60)
            __builtin_trap();
    }
    return 0;
}
