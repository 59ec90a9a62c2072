#include "app/BatchExport.h"

#include "app/JokeCollection.h"
#include "app/ListaNyom.h"
#include "platform/AppError.h"
#include "report/output/RepPdfExport.h"
#include "report/output/RepPrinter.h"

#include <QFileInfo>
#include <cstdio>

namespace {

int Fail(int status, const QString &text)
{
    std::fprintf(stderr, "zumoria: %s\n", text.toLocal8Bit().constData());
    return status;
}

} // namespace

int RunBatchExport(TBatchFormat format, const QString &target, const QString &jokeFile)
{
    const QFileInfo file(jokeFile);
    if (!CollectionExists(jokeFile))
        return Fail(BatchFailed, QStringLiteral("%1: no such joke file or folder").arg(jokeFile));
    try {
        const std::vector<TPrintJoke> jokes = PrintJokesOf(ReadJokeCollection(file.absoluteFilePath()).Jokes);
        if (jokes.empty())
            return Fail(BatchNoJokes, QStringLiteral("%1 holds no jokes; nothing written").arg(jokeFile));
        TrepLista report;
        report.SetPrintList(file.absoluteFilePath(), PrintListOf(jokes));
        TRepPrinter printer;
        report.RenderInto(printer);
        if (printer.Status() != TRepPrinter::StatusFinished || printer.PageCount() < 1)
            throw AppError(QStringLiteral("the joke list could not be produced"));
        if (format == TBatchFormat::Pdf)
            TRepPdfExportFilter(target).WritePages(printer);
        else
            printer.SaveReportFile(target);
    } catch (const std::exception &e) {
        return Fail(BatchFailed, ExceptionText(e));
    }
    return BatchOk;
}
