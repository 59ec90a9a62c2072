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

QString PicturePathOf(const QString &dir, const QString &pictureLine)
{
    return ResolveExistingFile(dir + u'/' + pictureLine.mid(2));
}

int JokePictureHeightOf(const QStringList &jokeLines, const QString &dir,
                        const PictureSizeLookup &sizeOf)
{
    int h = 0;
    for (const QString &line : jokeLines) {
        if (!IsPictureLine(line))
            continue;
        const QString path = PicturePathOf(dir, line);
        if (path.isEmpty())
            continue;
        if (const std::optional<QSize> size = sizeOf(path))
            h = size->height();
    }
    return h;
}
