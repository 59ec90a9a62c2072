#pragma once
// The application error box and the one guarded dispatch every handler runs
// through. Handlers raise AppError (or any std::exception); the guard turns
// it into the error box and the message loop goes on, so no exception ever
// unwinds through Qt's own frames.

#include <QString>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <utility>

// An error raised by the program's own code, carrying its user-visible text.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &text);
    const QString &text() const noexcept { return FText; }

private:
    QString FText;
};

// The text the error box shows: the error text with a full stop appended
// when its last character's code is above that of the full stop.
QString ErrorBoxText(const QString &errorText);

// The caption of the error box and the application's title.
inline constexpr const char *ApplicationTitle = "Zumoria V3";

// Shows the application error box (error icon, OK) for errorText. Tests and
// headless runs replace the box with their own sink; passing an empty
// function restores the message box. The previous sink is returned.
using ErrorBoxSink = std::function<void(const QString &boxText)>;
ErrorBoxSink SetErrorBoxSink(ErrorBoxSink sink);
void ShowApplicationError(const QString &errorText);

// The user-visible text of any exception.
QString ExceptionText(const std::exception &e);

// Runs f; an escaping exception ends it and is shown in the error box.
// Returns true when f ran to its end.
template <class F>
bool RunGuarded(F &&f) noexcept
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception &e) {
        ShowApplicationError(ExceptionText(e));
    } catch (...) {
        ShowApplicationError(QStringLiteral("Unknown error"));
    }
    return false;
}

namespace guarded_detail {
// Calls f with args when it takes them, else without (a dependent call, so
// every compiler judges it only for the arguments Qt actually hands over).
template <class F, class... A>
void Call(F &f, A &&...args)
{
    if constexpr (std::is_invocable_v<F &, A...>)
        f(std::forward<A>(args)...);
    else
        f();
}
} // namespace guarded_detail

// Wraps a handler so that connecting it to a signal is always guarded:
//   connect(button, &QToolButton::clicked, this, Guarded([this] { ... }));
template <class F>
auto Guarded(F f)
{
    // A handler that takes none of the signal's arguments is called without
    // them (Qt hands a variadic functor every argument of the signal).
    return [f = std::move(f)](auto &&...args) mutable {
        RunGuarded([&] { guarded_detail::Call(f, std::forward<decltype(args)>(args)...); });
    };
}
