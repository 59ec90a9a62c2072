#include "app/LineWrap.h"

#include "app/JokeFile.h"

namespace {

// Where the row that starts at start ends and the next one begins.
int NextRowStart(QStringView line, int start, int columns)
{
    // A blank just past the row's end may still end it: it hangs over the
    // edge, where it shows nothing.
    for (int at = start + columns; at > start; --at)
        if (line[at] == u' ')
            return at + 1;
    int cut = start + columns;
    // A character of two units stays whole.
    if (line[cut].isLowSurrogate() && cut - 1 > start)
        --cut;
    return cut;
}

} // namespace

std::vector<int> WrapRows(QStringView line, int columns)
{
    std::vector<int> rows{0};
    if (columns <= 0)
        return rows;
    for (int start = 0; line.size() - start > columns;) {
        start = NextRowStart(line, start, columns);
        rows.push_back(start);
    }
    return rows;
}

qint64 ExtraWrappedRows(const QStringList &lines, int columns, bool withPictures)
{
    if (columns <= 0)
        return 0;
    qint64 extra = 0;
    for (const QString &line : lines) {
        if (line.size() <= columns || (withPictures && IsPictureLine(line)))
            continue;
        int rows = 1;
        for (int start = 0; line.size() - start > columns; ++rows)
            start = NextRowStart(line, start, columns);
        extra += rows - 1;
    }
    return extra;
}
