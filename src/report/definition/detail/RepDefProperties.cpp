#include "report/definition/detail/RepDefProperties.h"

#include <charconv>

QString RepDefQuote(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case 10: out += QLatin1String("\\n"); break;
        case 13: out += QLatin1String("\\r"); break;
        case 9: out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 32)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString RepDefNumberText(double d)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString RepDefColorText(TRepColor color)
{
    const QString name = RepColorNames().Name(color);
    if (!name.isEmpty())
        return name;
    return QStringLiteral("0x%1").arg(color, 8, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("0X"),
                                                                                         QLatin1String("0x"));
}

TRepDefProperty RepDefHandler(const char *event)
{
    TRepDefProperty p;
    p.Name = QLatin1String(event);
    p.Kind = TRepDefKind::Handler;
    p.Read = [event = p.Name](TRepDefReader &r, TRepControl &c, const TRepDefValue &v) {
        r.BindHandler(c, event, r.Ident(v), v.Line);
    };
    p.Write = [event = p.Name](TRepControl &c) -> std::optional<TRepDefText> {
        const QString handler = c.HandlerNames.value(event);
        if (handler.isEmpty())
            return std::nullopt;
        return TRepDefText{handler};
    };
    return p;
}

TRepDefProperty RepDefRefused(const char *name, const char *fault)
{
    TRepDefProperty p;
    p.Name = QLatin1String(name);
    p.Kind = TRepDefKind::Refused;
    p.Read = [fault = QLatin1String(fault)](TRepDefReader &r, TRepControl &, const TRepDefValue &v) {
        r.Fail(v.Line, fault);
    };
    return p;
}
