#pragma once
// What the runs of the program without a window share (--random, --find,
// the exports): how they say a failure, and which collections they read.

#include <QString>
#include <QStringList>

// Prints "zumoria: " and text as one line on stderr; returns status.
int FailOnCommandLine(int status, const QString &text);

// The collections given on the command line, else the first of the
// recent-files list in the settings file (the one shown last); empty when
// there is neither.
QStringList CollectionsToRead(const QStringList &given, const QString &settingsPath);
