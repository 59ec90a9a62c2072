#pragma once
// zumoria --find TEXT [-i] [--ignore-accents] [JOKE-FILE]...: every joke of
// the collections that holds TEXT, as grep and fortune -m find them, printed
// to standard output in UTF-8: its heading, its lines (without a joke file's
// picture lines) and its number "#n" as its panel shows it (followed by the
// collection's path when several are searched), one empty line between
// jokes. Letters match in their case unless ignoreCase; ignoreAccents lets
// "szorny" find "szörny". Without a collection, the first of the
// recent-files list is searched.

#include "app/JokeSearch.h"

#include <QString>
#include <QStringList>

// Exit statuses of a search.
inline constexpr int FindMatched = 0;
inline constexpr int FindNothing = 1;
inline constexpr int FindFailed = 2;  // a collection missing or unreadable

// Searches and prints; needs a QCoreApplication. Failures are told on stderr
// as one line starting with "zumoria: ".
int RunFindJokes(const QString &text, FindOptions options, const QStringList &collections,
                 const QString &settingsPath);
