#include "app/JokeFile.h"

#include "platform/Paths.h"

bool IsCommentLine(const QString &line)
{
    return line.startsWith(u"//");
}

bool IsSeparatorLine(const QString &line)
{
    return line == u"<<";
}

bool IsHeadingLine(const QString &line)
{
    return line.startsWith(u"##");
}

bool IsPictureLine(const QString &line)
{
    return line.startsWith(u">>");
}

void RemoveCommentLines(QStringList &lines)
{
    lines.removeIf(IsCommentLine);
}

std::vector<QStringList> CutIntoJokes(const QStringList &lines)
{
    std::vector<QStringList> jokes;
    QStringList buffer;
    for (const QString &line : lines) {
        if (IsSeparatorLine(line)) {
            jokes.push_back(std::move(buffer));
            buffer = QStringList();
        } else {
            buffer.append(line);
        }
    }
    return jokes;
}

HeadingAndLines TakeHeadingFrom(QStringList lines)
{
    if (!lines.isEmpty() && IsHeadingLine(lines.first())) {
        QString heading = lines.takeFirst().mid(2);
        return {std::move(heading), std::move(lines)};
    }
    return {QString::fromUtf16(NoHeadingText), std::move(lines)};
}

QString PictureNames::PathOf(const QString &pictureLine)
{
    auto it = FPaths.find(pictureLine);
    if (it == FPaths.end())
        it = FPaths.insert(pictureLine, ResolveExistingFile(FDir + u'/' + pictureLine.mid(2), &FListings));
    return *it;
}

int JokePictureHeightOf(const QStringList &jokeLines, PictureNames &pictures, const PictureSizeLookup &sizeOf)
{
    int h = 0;
    for (const QString &line : jokeLines) {
        if (!IsPictureLine(line))
            continue;
        const QString path = pictures.PathOf(line);
        if (path.isEmpty())
            continue;
        if (const std::optional<QSize> size = sizeOf(path))
            h = size->height();
    }
    return h;
}
