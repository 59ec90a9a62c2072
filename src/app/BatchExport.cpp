#include "app/BatchExport.h"

#include "app/CommandLineRuns.h"
#include "app/JokeCollection.h"
#include "app/ListaNyom.h"
#include "platform/AppError.h"
#include "platform/OutputFile.h"
#include "report/output/RepPageList.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"

#include <QFile>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// What stands at a path, links followed; none when nothing does.
std::optional<struct stat> StatOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

// What an export target names: standard output for "-" and /dev/stdout.
std::optional<struct stat> StatOfTarget(const QString &target)
{
    struct stat st {};
    if (!OutputFile::NamesStandardOutput(target))
        return StatOf(target);
    if (::fstat(STDOUT_FILENO, &st) != 0)
        return std::nullopt;
    return st;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QByteArray FirstBytes(const QString &path, qint64 count)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(count) : QByteArray();
}

bool HoldsFormat(const QByteArray &head, TBatchFormat format)
{
    return format == TBatchFormat::Pdf ? head.startsWith("%PDF-") : TRepPageList::StartsLikeReportFile(head);
}

// Why target may not be written, or an empty text when it may. An empty
// regular file holds nothing to lose (a name made by mktemp, say).
QString Refusal(TBatchFormat format, const QString &target, const struct stat &input)
{
    const std::optional<struct stat> st = StatOfTarget(target);
    if (!st)
        return {};
    if (SameFile(*st, input))
        return QStringLiteral("%1 is the file being exported; nothing written").arg(target);
    if (OutputFile::NamesStandardOutput(target) || !S_ISREG(st->st_mode) || st->st_size == 0)
        return {};
    if (!HoldsFormat(FirstBytes(target, 8), format))
        return QStringLiteral("%1 exists and is not a %2; nothing written (remove it to replace it)")
            .arg(target, format == TBatchFormat::Pdf ? QStringLiteral("PDF file") : QStringLiteral("report file"));
    return {};
}

// The pages of the joke list of lines into printer. The report is gone
// when it returns, and with it the lines, so writing the pages has their
// memory.
void RenderJokeList(const QString &path, QStringList lines, TRepPrinter &printer)
{
    TrepLista report;
    report.SetPrintList(path, std::exchange(lines, {}));
    report.RenderInto(printer);
    if (printer.Status() != TRepPrinter::StatusFinished || printer.PageCount() < 1)
        throw AppError(QStringLiteral("the joke list could not be produced"));
}

// Loads a saved report into printer; a failure names the file.
void LoadReportFile(TRepPrinter &printer, const QString &input)
{
    try {
        printer.LoadReportFile(QFileInfo(input).absoluteFilePath());
    } catch (const AppError &e) {
        if (e.text().contains(input))
            throw;
        throw AppError(QStringLiteral("%1: %2").arg(input, e.text()));
    }
}

// Hands memory freed in the heap back to the system. A batch export frees
// big structures between its steps (the collection read, the report run);
// without this the memory they held would still count while the next step
// makes its own.
void ReturnFreedMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void WritePages(TBatchFormat format, const QString &target, TRepPrinter &printer)
{
    if (format == TBatchFormat::Pdf)
        TRepPdfExportFilter(target).WritePages(printer);
    else
        printer.SaveReportFile(target);
}

} // namespace

int RunBatchExport(TBatchFormat format, const QString &target, const QString &input)
{
    const QFileInfo file(input);
    const std::optional<struct stat> inputStat = StatOf(input);
    if (!inputStat || !CollectionExists(input))
        return FailOnCommandLine(BatchFailed, QStringLiteral("%1: no such joke file or folder").arg(input));
    if (const QString why = Refusal(format, target, *inputStat); !why.isEmpty())
        return FailOnCommandLine(BatchFailed, why);
    try {
        const QString path = file.absoluteFilePath();
        if (file.isFile() && TRepPageList::StartsLikeReportFile(FirstBytes(path, 8))) {
            // A saved report is untrusted: the load checks it whole, and its
            // pages are played through the player's guards.
            TRepPrinter printer;
            LoadReportFile(printer, input);
            if (printer.PageCount() < 1)
                return FailOnCommandLine(BatchNoJokes, QStringLiteral("%1 holds no pages; nothing written").arg(input));
            WritePages(format, target, printer);
            return BatchOk;
        }
        QStringList lines = PrintListOf(PrintJokesOf(ReadJokeCollection(path).Jokes));
        if (lines.isEmpty())
            return FailOnCommandLine(BatchNoJokes,
                                     QStringLiteral("%1 holds no jokes; nothing written").arg(input));
        // The printer is made once the collection is read: reading it is
        // the peak of an export's memory, and a printer device's own memory
        // is not to come on top of it.
        ReturnFreedMemory();
        TRepPrinter printer;
        RenderJokeList(path, std::move(lines), printer);
        ReturnFreedMemory();
        WritePages(format, target, printer);
    } catch (const std::exception &e) {
        return FailOnCommandLine(BatchFailed, ExceptionText(e));
    }
    return BatchOk;
}
