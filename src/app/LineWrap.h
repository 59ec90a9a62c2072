#pragma once
// Long joke lines wrapped at the width of a panel. The text font has a fixed
// pitch, so a row holds a fixed number of characters (columns). A line
// breaks after the last blank that lets a row fit; a word longer than a row
// is cut at the row's end. Every row takes the 15 pixels of a line.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

// The characters where the rows of line start; the first is 0. A line no
// longer than columns (or columns of 0 or less: no wrapping) is one row.
std::vector<int> WrapRows(QStringView line, int columns);

// The rows a joke's lines take beyond one per line, when wrapped at columns.
// withPictures: ">>" lines are pictures, which take one row whatever their
// length.
qint64 ExtraWrappedRows(const QStringList &lines, int columns, bool withPictures);
