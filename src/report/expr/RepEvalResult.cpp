#include "report/expr/RepEvalResult.h"

#include "platform/AppError.h"
#include "report/expr/detail/RepExprText.h"
#include "report/expr/RepFloatFormat.h"

QString ResultToText(const EvalResult &result)
{
    switch (result.Kind()) {
    case KindInteger:
        return QString::number(result.AsInteger());
    case KindFloat:
        return FloatToText(result.AsFloat());
    case KindString:
        return result.Text();
    case KindBoolean:
        return QString::fromLatin1(result.AsBoolean() ? RepExprText::TrueText : RepExprText::FalseText);
    case KindError:
        break;
    }
    throw AppError(RepExprText::Message(RepExprText::ErrorInExpression, result.Text()));
}

QString DescribeResult(const EvalResult &result)
{
    static const char *const names[] = {"Integer", "Float", "String", "Boolean", "Error"};
    const QString value = result.IsError() ? result.Text() : ResultToText(result);
    return QStringLiteral("%1(%2)").arg(QLatin1String(names[result.Kind()]), value);
}
