#include "app/FindJokes.h"

#include "app/JokeCollection.h"
#include "app/JokeView.h"
#include "app/Settings.h"
#include "platform/AppError.h"

#include <cstdio>

namespace {

int Fail(int status, const QString &text)
{
    std::fprintf(stderr, "zumoria: %s\n", text.toLocal8Bit().constData());
    return status;
}

bool Write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

} // namespace

int RunFindJokes(const QString &text, FindOptions options, const QStringList &collections,
                 const QString &settingsPath)
{
    QStringList paths = collections;
    if (paths.isEmpty()) {
        SettingsFile(settingsPath).LoadRecentFiles(paths);
        paths = paths.mid(0, 1);
        if (paths.isEmpty())
            return Fail(FindFailed, QStringLiteral("no collection given and none shown before"));
    }
    bool matched = false;
    for (const QString &path : paths) {
        if (!CollectionExists(path))
            return Fail(FindFailed, QStringLiteral("%1: no such joke file or folder").arg(path));
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
                    return Fail(FindFailed, QStringLiteral("cannot write to standard output"));
                matched = true;
            }
        } catch (const std::exception &e) {
            return Fail(FindFailed, ExceptionText(e));
        }
    }
    if (std::fflush(stdout) != 0)
        return Fail(FindFailed, QStringLiteral("cannot write to standard output"));
    return matched ? FindMatched : FindNothing;
}
