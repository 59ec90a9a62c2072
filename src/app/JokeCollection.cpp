#include "app/JokeCollection.h"

#include "platform/AppError.h"
#include "platform/JpegPicture.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <utility>

namespace {

// A file of a folder is looked at first this far: a fortune file has its
// first separator line in it, and a file with a NUL there is no text.
constexpr qint64 SniffSize = 64 * 1024;
// Files of a folder beyond this size are no fortune files.
constexpr qint64 MaxFolderFileSize = 64 * 1024 * 1024;
// Subfolders of a folder are read, theirs are not.
constexpr int MaxFolderDepth = 1;

const QString FortuneHeadingPrefix = QStringLiteral("*** ");

// A fortune file inside a folder, or nothing when the file is none or
// cannot be read.
std::optional<TCollectionFile> ReadFortuneFileIn(const QFileInfo &entry, const QString &name)
{
    QFile file(entry.filePath());
    if (entry.size() > MaxFolderFileSize || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<FortuneIndex> index = FortuneIndexOf(entry.filePath());
    const char delimiter = index ? index->Delimiter : FortuneDelimiter;
    QByteArray bytes = file.read(SniffSize);
    if (bytes.contains('\0') || (!index && !HasFortuneSeparator(bytes, delimiter)))
        return std::nullopt;
    bytes += file.readAll();
    if (file.error() != QFileDevice::NoError || (!index && !HasFortuneSeparator(bytes, delimiter)))
        return std::nullopt;
    return TCollectionFile{name, std::move(bytes), true, delimiter, index && index->Rotated()};
}

// The fortune files of folder and, while depth allows, of its subfolders;
// seen holds the files and folders already read, under their real names.
void AddFolder(const QString &folder, const QString &prefix, int depth, QSet<QString> &seen,
               std::vector<TCollectionFile> &files)
{
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    // A second name of a file in the folder (fortunes.u8 -> fortunes) leaves
    // it to be read under its own name.
    QSet<QString> own;
    for (const QFileInfo &entry : entries)
        if (!entry.isSymLink())
            own.insert(entry.canonicalFilePath());
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.endsWith(u".dat") || IsJokeFileName(name) || !RegularFileExists(entry.filePath()))
            continue;
        const QString real = entry.canonicalFilePath();
        if (seen.contains(real) || (entry.isSymLink() && own.contains(real)))
            continue;
        if (std::optional<TCollectionFile> file = ReadFortuneFileIn(entry, prefix + name)) {
            seen.insert(real);
            files.push_back(std::move(*file));
        }
    }
    if (depth >= MaxFolderDepth)
        return;
    for (const QFileInfo &entry : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString real = entry.canonicalFilePath();
        if (real.isEmpty() || seen.contains(real))
            continue;
        seen.insert(real);
        AddFolder(entry.filePath(), prefix + entry.fileName() + u'/', depth + 1, seen, files);
    }
}

TCollectionFile ReadSingleFile(const QString &path)
{
    TCollectionFile file{NamePart(path), ReadWholeFile(path)};
    if (IsJokeFileName(path))
        return file;
    const std::optional<FortuneIndex> index = FortuneIndexOf(path);
    file.Delimiter = index ? index->Delimiter : FortuneDelimiter;
    file.Fortune = index || HasFortuneSeparator(file.Bytes, file.Delimiter);
    file.Rotated = index && index->Rotated();
    return file;
}

// Lays the jokes out one below the other as they are added.
class TJokeStack
{
public:
    explicit TJokeStack(TJokeCollection &collection) : FCollection(collection) {}

    void Add(QString heading, QStringList lines, qint64 height)
    {
        FCollection.Jokes.push_back({std::move(heading), std::move(lines), FTop, height});
        FCollection.ScrollRange = FTop + height + 8;
        FTop += height + PanelGap;
    }

private:
    TJokeCollection &FCollection;
    qint64 FTop = FirstPanelTop;
};

void AddJokeFile(QByteArray bytes, PictureNames &pictures, const PictureSizeLookup &sizeOf,
                 TJokeStack &stack, QStringList &sourceLines)
{
    QStringList lines = DecodeLines(std::exchange(bytes, QByteArray()));
    RemoveCommentLines(lines);
    for (QStringList &buffer : CutIntoJokes(lines)) {
        // The heading line and the picture lines count in the height.
        const qint64 height = JokePanelHeight(buffer.size(), JokePictureHeightOf(buffer, pictures, sizeOf));
        HeadingAndLines shown = TakeHeadingFrom(std::move(buffer));
        stack.Add(std::move(shown.heading), std::move(shown.lines), height);
    }
    sourceLines = std::move(lines);
}

void AddFortuneFile(TCollectionFile file, TJokeStack &stack)
{
    QString text = DecodeForeignText(std::exchange(file.Bytes, QByteArray()));
    if (file.Rotated)
        text = Rot13(std::move(text));
    const QString heading = FortuneHeadingPrefix + file.Name;
    for (QStringList &lines : CutIntoFortunes(SplitLines(text), QChar::fromLatin1(file.Delimiter))) {
        const qint64 height = JokePanelHeight(lines.size(), 0);
        stack.Add(heading, std::move(lines), height);
    }
}

} // namespace

bool CollectionExists(const QString &path)
{
    return RegularFileExists(path) || (!path.isEmpty() && QFileInfo(path).isDir());
}

bool IsJokeFileName(const QString &path)
{
    return path.endsWith(u".vicc", Qt::CaseInsensitive);
}

TCollectionFiles ReadCollectionFiles(const QString &path)
{
    TCollectionFiles files;
    if (!QFileInfo(path).isDir()) {
        files.Files.push_back(ReadSingleFile(path));
        if (!files.Files.front().Fortune)
            files.PictureDir = FolderPart(path) + u'/';
        return files;
    }
    if (!QDir(path).isReadable())
        throw AppError(QStringLiteral("Cannot open folder \"%1\". Permission denied").arg(path));
    QSet<QString> seen{QFileInfo(path).canonicalFilePath()};
    AddFolder(path, QString(), 0, seen, files.Files);
    return files;
}

TJokeCollection JokesOf(TCollectionFiles files, const PictureSizeLookup &sizeOf)
{
    TJokeCollection collection;
    collection.PictureDir = files.PictureDir;
    collection.Pictures = std::make_shared<PictureNames>(files.PictureDir);
    TJokeStack stack(collection);
    for (TCollectionFile &file : files.Files) {
        if (file.Fortune)
            AddFortuneFile(std::move(file), stack);
        else
            AddJokeFile(std::move(file.Bytes), *collection.Pictures, sizeOf, stack, collection.SourceLines);
    }
    return collection;
}

TJokeCollection ReadJokeCollection(const QString &path)
{
    return JokesOf(ReadCollectionFiles(path), [](const QString &p) { return PictureCache::Instance().Size(p); });
}

QString JokeText(const JokeEntry &joke, bool withPictures)
{
    QStringList shown;
    for (const QString &line : joke.lines)
        if (!withPictures || !IsPictureLine(line))
            shown.append(line);
    return shown.join(u'\n');
}
