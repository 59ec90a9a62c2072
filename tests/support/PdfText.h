#pragma once
// The text of a PDF file as poppler's pdftotext reads it (what a reader
// would select and search), for tests that check written PDFs.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// pdftotext -layout of path (all pages, form feeds between pages); empty
// when the tool fails.
inline QString PdfText(const QString &path, bool layout = true)
{
    QProcess tool;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << QStringLiteral("-enc") << QStringLiteral("UTF-8") << path << QStringLiteral("-");
    tool.start(QStringLiteral("pdftotext"), args);
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The page count pdfinfo reports for path, -1 when it cannot tell.
inline int PdfPageCount(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {path});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return -1;
    for (const QString &line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

// The "Page size:" line of pdfinfo for page 1 of path.
inline QString PdfPageSize(const QString &path)
{
    QProcess tool;
    tool.start(QStringLiteral("pdfinfo"), {path});
    if (!tool.waitForFinished(30000))
        return {};
    for (const QString &line : QString::fromUtf8(tool.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.startsWith(QStringLiteral("Page size:")))
            return line.mid(10).trimmed();
    return {};
}

// text without the dates and times of day in it ("8 Dec 2026 00:54:08",
// "2026.12.08. 00:54", "08/12/2026 0:54"): pages of two runs of a report
// differ there and nowhere else.
inline QString WithoutDateTimes(QString text)
{
    static const QRegularExpression stamp(QStringLiteral(
        "(\\d{1,4}[./-]\\d{1,2}[./-]\\d{1,4}\\.?|\\d{1,2}\\.? \\S+ \\d{4}\\.?)\\s+\\d{1,2}:\\d{2}(:\\d{2})?"));
    return text.remove(stamp);
}
