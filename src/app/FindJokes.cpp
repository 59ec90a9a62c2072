#include "app/FindJokes.h"

#include "app/CommandLineRuns.h"
#include "app/JokeCollection.h"
#include "app/JokeView.h"
#include "platform/AppError.h"

#include <cstdio>

namespace {

bool Write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

} // namespace

int RunFindJokes(const QString &text, FindOptions options, const QStringList &collections,
                 const QString &settingsPath)
{
    const QStringList paths = CollectionsToRead(collections, settingsPath);
    if (paths.isEmpty())
        return FailOnCommandLine(FindFailed, QStringLiteral("no collection given and none shown before"));
    bool matched = false;
    for (const QString &path : paths) {
        if (!CollectionExists(path))
            return FailOnCommandLine(FindFailed, QStringLiteral("%1: no such joke file or folder").arg(path));
        try {
            const TJokeCollection collection = ReadJokeCollection(path);
            const bool withPictures = !collection.PictureDir.isEmpty();
            TJokeSearch search(collection.Jokes, withPictures, options);
            search.Find(text, 0);
            for (const int k : search.JokesWithMatches()) {
                const JokeEntry &joke = collection.Jokes[size_t(k)];
                QString block = matched ? QStringLiteral("\n") : QString();
                block += joke.heading + u'\n';
                if (const QString lines = JokeText(joke, withPictures); !lines.isEmpty())
                    block += lines + u'\n';
                block += TJokeView::BottomText(k);
                if (paths.size() > 1)
                    block += u' ' + path;
                block += u'\n';
                if (!Write(block))
                    return FailOnCommandLine(FindFailed, QStringLiteral("cannot write to standard output"));
                matched = true;
            }
        } catch (const std::exception &e) {
            return FailOnCommandLine(FindFailed, ExceptionText(e));
        }
    }
    if (std::fflush(stdout) != 0)
        return FailOnCommandLine(FindFailed, QStringLiteral("cannot write to standard output"));
    return matched ? FindMatched : FindNothing;
}
