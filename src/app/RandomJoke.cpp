#include "app/RandomJoke.h"

#include "app/CommandLineRuns.h"
#include "app/JokeCollection.h"
#include "platform/AppError.h"

#include <QRandomGenerator>
#include <cstdio>

namespace {

struct PickedJoke
{
    JokeEntry joke;
    bool withPictures = false;
};

} // namespace

int RunRandomJoke(const QStringList &collections, const QString &settingsPath)
{
    const QStringList paths = CollectionsToRead(collections, settingsPath);
    if (paths.isEmpty())
        return FailOnCommandLine(RandomNoJokes, QStringLiteral("no collection given and none shown before"));
    // One pass over the collections, keeping each joke seen with the chance
    // 1/(jokes seen so far): every joke is as likely as any other, and only
    // one collection is held at a time.
    std::optional<PickedJoke> picked;
    quint64 seen = 0;
    for (const QString &path : paths) {
        if (!CollectionExists(path))
            return FailOnCommandLine(RandomFailed, QStringLiteral("%1: no such joke file or folder").arg(path));
        try {
            TJokeCollection collection = ReadJokeCollection(path);
            for (JokeEntry &joke : collection.Jokes) {
                if (QRandomGenerator::global()->bounded(++seen) == 0)
                    picked = PickedJoke{std::move(joke), !collection.PictureDir.isEmpty()};
            }
        } catch (const std::exception &e) {
            return FailOnCommandLine(RandomFailed, ExceptionText(e));
        }
    }
    if (!picked)
        return FailOnCommandLine(RandomNoJokes, QStringLiteral("no jokes in %1").arg(paths.join(QStringLiteral(", "))));
    const QByteArray text = JokeText(picked->joke, picked->withPictures).toUtf8() + '\n';
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return std::fflush(stdout) == 0 ? RandomOk : RandomFailed;
}
