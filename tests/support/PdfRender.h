#pragma once
// PDF files as poppler and qpdf see them, for tests that compare written
// PDFs: a page rendered to grey pixels, a tolerant pixel comparison, the
// fonts and the structural check.
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

// Page n (1-based) of path rendered by pdftoppm in grey at dpi; a null image
// when the tool fails.
inline QImage RenderPdfPage(const QString &path, int n, int dpi = 150)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(n),
                QStringLiteral("-l"), QString::number(n), QStringLiteral("-gray"), QStringLiteral("-singlefile"),
                path, prefix});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        return {};
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// The pixels where a and b really differ: a pixel of one counts when no
// pixel of the other within one pixel around it is within tolerance of its
// grey. Edges that anti-aliasing shades differently, or that a rasteriser
// puts a fraction of a pixel aside, find their match; a missing or moved
// glyph, line or fill does not. Images of different sizes differ everywhere.
inline int PixelsApart(const QImage &a, const QImage &b, int tolerance = 128)
{
    if (a.size() != b.size() || a.isNull())
        return std::max(a.width() * a.height(), b.width() * b.height()) + 1;
    const int w = a.width(), h = a.height();
    auto grey = [](const QImage &img, int x, int y) { return int(img.constScanLine(y)[x]); };
    auto matched = [&](const QImage &other, int x, int y, int v) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int xx = x + dx, yy = y + dy;
                if (xx >= 0 && yy >= 0 && xx < w && yy < h && std::abs(grey(other, xx, yy) - v) <= tolerance)
                    return true;
            }
        return false;
    };
    int apart = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int va = grey(a, x, y), vb = grey(b, x, y);
            if (std::abs(va - vb) > tolerance && (!matched(b, x, y, va) || !matched(a, x, y, vb)))
                ++apart;
        }
    return apart;
}

// Runs program with args; its exit code and standard output (-1 and empty
// when it cannot run).
inline std::pair<int, QString> RunTool(const QString &program, const QStringList &args)
{
    QProcess tool;
    tool.start(program, args);
    if (!tool.waitForFinished(60000))
        return {-1, {}};
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput())};
}

// The font lines of pdffonts for path (its two heading lines left out).
inline QStringList PdfFonts(const QString &path)
{
    QStringList lines = RunTool(QStringLiteral("pdffonts"), {path}).second.split(u'\n', Qt::SkipEmptyParts);
    return lines.mid(2);
}
