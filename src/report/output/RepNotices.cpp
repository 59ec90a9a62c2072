#include "report/output/RepNotices.h"

namespace {
// The classic message numbers are kept as hints, so the types read
// familiar in a debugger when Qt can grant them.
QEvent::Type Registered(int hint)
{
    return QEvent::Type(QEvent::registerEventType(QEvent::User + hint));
}
} // namespace

QEvent::Type RepProgressNotice()
{
    static const QEvent::Type type = Registered(0x400);
    return type;
}

QEvent::Type RepPageAvailableNotice()
{
    static const QEvent::Type type = Registered(0x401);
    return type;
}

QEvent::Type RepRunEndedNotice()
{
    static const QEvent::Type type = Registered(0x403);
    return type;
}

QEvent::Type RepPrintRequest()
{
    static const QEvent::Type type = Registered(0x402);
    return type;
}

QEvent::Type RepPreviewClosedNotice()
{
    static const QEvent::Type type = Registered(0x404);
    return type;
}
