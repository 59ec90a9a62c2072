#include "report/expr/detail/RepExprText.h"

QString RepExprText::Message(const char *text, const QString &a, const QString &b)
{
    QString s = QString::fromLatin1(text);
    if (s.contains(QLatin1String("%2")))
        return s.arg(a, b);
    if (s.contains(QLatin1String("%1")))
        return s.arg(a);
    return s;
}
