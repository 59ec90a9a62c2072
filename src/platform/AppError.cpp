#include "platform/AppError.h"

#include <QApplication>
#include <QMessageBox>

namespace {
ErrorBoxSink &CurrentSink()
{
    static ErrorBoxSink sink;
    return sink;
}
} // namespace

AppError::AppError(const QString &text)
    : std::runtime_error(text.toStdString()), FText(text)
{
}

QString ErrorBoxText(const QString &errorText)
{
    if (!errorText.isEmpty() && errorText.back().unicode() > u'.')
        return errorText + u'.';
    return errorText;
}

ErrorBoxSink SetErrorBoxSink(ErrorBoxSink sink)
{
    return std::exchange(CurrentSink(), std::move(sink));
}

void ShowApplicationError(const QString &errorText)
{
    const QString text = ErrorBoxText(errorText);
    if (CurrentSink()) {
        CurrentSink()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(ApplicationTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

QString ExceptionText(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e))
        return app->text();
    return QString::fromUtf8(e.what());
}
