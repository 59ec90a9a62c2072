#include "platform/ScreenDensity.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

int ScreenPixelsPerInch()
{
    const QScreen *screen = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return 96;
    const int dpi = int(std::lround(screen->logicalDotsPerInch()));
    return dpi > 0 ? dpi : 96;
}
