#pragma once
// zumoria --random [JOKE-FILE]...: one joke picked at random from all the
// jokes of the collections given, every joke as likely as any other whatever
// collection holds it, printed to standard output in UTF-8. Without a
// collection, the first of the recent-files list is used.

#include <QString>
#include <QStringList>

// Exit statuses of a random pick.
inline constexpr int RandomOk = 0;
inline constexpr int RandomNoJokes = 1;  // nothing to choose from
inline constexpr int RandomFailed = 2;   // a collection that is missing or cannot be read

// Picks and prints one joke; needs a QCoreApplication. Failures are told on
// stderr as one line starting with "zumoria: ".
int RunRandomJoke(const QStringList &collections, const QString &settingsPath);
