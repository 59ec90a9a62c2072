#pragma once
// The fortune file format: texts, each ended by a line that holds only the
// delimiter ('%'), the last one also by the end of the file; and the index
// strfile writes beside such a file (NAME.dat). The file's own text is what
// counts: the index is read only for its flags and its delimiter, so an
// index that no longer matches its file changes nothing.

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

inline constexpr char FortuneDelimiter = '%';

// The header of a strfile index: five 32-bit numbers in network byte order
// (version, number of texts, longest and shortest text, flags), the
// delimiter byte and three bytes of padding; then one 32-bit offset per text
// and one for the end of the file.
struct FortuneIndex
{
    static constexpr int HeaderSize = 24;
    static constexpr quint32 FlagRandom = 1, FlagOrdered = 2, FlagRotated = 4;

    quint32 Version = 0;
    quint32 Count = 0;
    quint32 Flags = 0;
    char Delimiter = FortuneDelimiter;

    // The texts are stored with every letter turned 13 places (ROT13).
    bool Rotated() const { return (Flags & FlagRotated) != 0; }
};

// The index held in bytes, or nothing when they are no strfile index: a
// version other than 1 or 2, a delimiter that is no printable ASCII
// character, or a length other than the header and Count + 1 offsets.
std::optional<FortuneIndex> ParseFortuneIndex(QByteArrayView bytes);

// The index beside the fortune file at path (path + ".dat", or, when path is
// a link, the index beside the file it names); nothing when there is none.
std::optional<FortuneIndex> FortuneIndexOf(const QString &path);

// True when the text in bytes (up to the first NUL) has a separator line:
// the delimiter alone on its line, blanks after it allowed.
bool HasFortuneSeparator(QByteArrayView bytes, char delimiter = FortuneDelimiter);

// A line as a fortune text shows it: tabs expanded to stops every eight
// columns, trailing blanks removed.
QString TidyFortuneLine(const QString &line);

// Cuts the lines of a fortune file into its texts at the separator lines
// (compared after tidying). Every line is tidied; a text that holds nothing
// but blank lines (two separators in a row) is dropped; lines after the last
// separator are the last text.
std::vector<QStringList> CutIntoFortunes(const QStringList &lines, QChar delimiter = QChar(FortuneDelimiter));

// Every letter A–Z and a–z turned 13 places in the alphabet; everything else
// stays. Its own inverse.
QString Rot13(QString text);
