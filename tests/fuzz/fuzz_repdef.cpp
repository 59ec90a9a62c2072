// libFuzzer target for the report definition reader: any text is either
// loaded or refused with an AppError; a loaded definition saves and loads
// again to the same text.
#include "platform/AppError.h"
#include "report/definition/RepDefinition.h"
#include "report/model/RepReport.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>

namespace {
QGuiApplication *App()
{
    static int argc = 1;
    static char name[] = "fuzz_repdef";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    return app;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App();
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    TRepReport report;
    try {
        LoadReportDefinition(report, text, QStringLiteral("fuzz"));
    } catch (const AppError &) {
        return 0;
    }
    const QByteArray saved = SaveReportDefinition(report);
    TRepReport again;
    LoadReportDefinition(again, saved, QStringLiteral("saved"));
    if (SaveReportDefinition(again) != saved)
        std::abort();
    return 0;
}
