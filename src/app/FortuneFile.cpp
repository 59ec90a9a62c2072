#include "app/FortuneFile.h"

#include "platform/Paths.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

// No real index comes near this (four million texts); a bigger file beside
// a fortune file is something else.
constexpr qint64 MaxIndexSize = 16 * 1024 * 1024;
constexpr int TabWidth = 8;

quint32 NumberAt(QByteArrayView bytes, qsizetype offset)
{
    return qFromBigEndian<quint32>(bytes.data() + offset);
}

std::optional<FortuneIndex> ReadIndexFile(const QString &path)
{
    if (!RegularFileExists(path) || QFileInfo(path).size() > MaxIndexSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseFortuneIndex(file.read(MaxIndexSize + 1));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<FortuneIndex> ParseFortuneIndex(QByteArrayView bytes)
{
    if (bytes.size() < FortuneIndex::HeaderSize)
        return std::nullopt;
    FortuneIndex index;
    index.Version = NumberAt(bytes, 0);
    index.Count = NumberAt(bytes, 4);
    index.Flags = NumberAt(bytes, 16);
    index.Delimiter = bytes[20];
    if (index.Version < 1 || index.Version > 2 || index.Delimiter < '!' || index.Delimiter > '~')
        return std::nullopt;
    if ((bytes.size() - FortuneIndex::HeaderSize) / 4 != qint64(index.Count) + 1
        || (bytes.size() - FortuneIndex::HeaderSize) % 4 != 0)
        return std::nullopt;
    return index;
}

std::optional<FortuneIndex> FortuneIndexOf(const QString &path)
{
    const QString suffix = QStringLiteral(".dat");
    if (std::optional<FortuneIndex> beside = ReadIndexFile(path + suffix))
        return beside;
    // A second name (fortunes.u8 -> fortunes) shares the index of its file.
    const QFileInfo info(path);
    if (!info.isSymLink())
        return std::nullopt;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? std::nullopt : ReadIndexFile(target + suffix);
}

bool HasFortuneSeparator(QByteArrayView bytes, char delimiter)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    for (qsizetype at = bytes.indexOf(delimiter); at >= 0; at = bytes.indexOf(delimiter, at + 1)) {
        if (at > 0 && bytes[at - 1] != '\n' && bytes[at - 1] != '\r')
            continue;
        qsizetype end = at + 1;
        while (end < bytes.size() && IsBlank(bytes[end]))
            ++end;
        if (end == bytes.size() || bytes[end] == '\n' || bytes[end] == '\r')
            return true;
    }
    return false;
}

QString TidyFortuneLine(const QString &line)
{
    QString tidy;
    if (line.contains(u'\t')) {
        tidy.reserve(line.size() + TabWidth);
        for (const QChar c : line) {
            if (c == u'\t')
                tidy.append(QString(TabWidth - tidy.size() % TabWidth, u' '));
            else
                tidy.append(c);
        }
    } else {
        tidy = line;
    }
    qsizetype end = tidy.size();
    while (end > 0 && tidy.at(end - 1) == u' ')
        --end;
    tidy.truncate(end);
    return tidy;
}

std::vector<QStringList> CutIntoFortunes(const QStringList &lines, QChar delimiter)
{
    std::vector<QStringList> texts;
    QStringList text;
    bool blank = true;
    const auto endText = [&] {
        if (!blank)
            texts.push_back(std::move(text));
        text = QStringList();
        blank = true;
    };
    for (const QString &line : lines) {
        QString tidy = TidyFortuneLine(line);
        if (tidy.size() == 1 && tidy.front() == delimiter) {
            endText();
            continue;
        }
        blank = blank && tidy.isEmpty();
        text.append(std::move(tidy));
    }
    endText();
    return texts;
}

QString Rot13(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(u'a' + (u - u'a' + 13) % 26);
        else if (u >= u'A' && u <= u'Z')
            c = QChar(u'A' + (u - u'A' + 13) % 26);
    }
    return text;
}
