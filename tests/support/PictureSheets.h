#pragma once
// Reference pictures for the program's drawings: a sheet holds equal cells
// side by side (one row per look), stored as PNG beside the tests. A drawing
// matches its cell when at most 1% of its pixels are off by more than 32 of
// 255 in a channel, which forgives anti-aliasing and nothing else: a shifted
// stroke, a wrong colour or another picture is far beyond it.
//
// With ZUMORIA_WRITE_PICTURES=DIR in the environment the tests write the
// sheets they would compare against into DIR, to be looked at and copied
// over the references when a picture is changed on purpose.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

// cells[row][column], all of one size, as one sheet.
inline QImage PictureSheet(const std::vector<std::vector<QImage>> &cells)
{
    const QSize cell = cells.front().front().size();
    QImage sheet(cell.width() * int(cells.front().size()), cell.height() * int(cells.size()),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    QPainter painter(&sheet);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (size_t row = 0; row < cells.size(); ++row)
        for (size_t column = 0; column < cells[row].size(); ++column) {
            QImage image = cells[row][column];
            image.setDevicePixelRatio(1);
            painter.drawImage(QPoint(int(column) * cell.width(), int(row) * cell.height()), image);
        }
    return sheet;
}

inline int PixelsOff(const QImage &shown, const QImage &reference)
{
    const QImage a = shown.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = reference.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int off = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            off += d > 32;
        }
    return off;
}

// Compares every cell of sheet with the same cell of the reference sheet at
// path; cells are square, names are their names by column.
inline void ExpectSheetMatches(const QImage &sheet, const QString &path, const std::vector<QString> &names)
{
    if (const char *dir = std::getenv("ZUMORIA_WRITE_PICTURES")) {
        QDir().mkpath(QString::fromLocal8Bit(dir));
        sheet.save(QDir(QString::fromLocal8Bit(dir)).filePath(QFileInfo(path).fileName()));
    }
    const QImage reference(path);
    ASSERT_FALSE(reference.isNull()) << path.toStdString();
    ASSERT_EQ(sheet.size(), reference.size()) << path.toStdString();
    const int side = sheet.width() / int(names.size());
    for (int row = 0; row * side < sheet.height(); ++row)
        for (int column = 0; column < int(names.size()); ++column) {
            const QRect cell(column * side, row * side, side, side);
            EXPECT_LE(PixelsOff(sheet.copy(cell), reference.copy(cell)), side * side / 100)
                << names[size_t(column)].toStdString() << " (row " << row << ") in " << path.toStdString();
        }
}
