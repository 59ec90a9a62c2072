#pragma once
// The joke list written without a window: zumoria --export-pdf OUT FILE
// and --export-zrp OUT FILE. The collection (a joke file, a fortune file or
// a folder of them) is read as the viewer reads it, its print list is run
// through the joke-list report into a page store, and the pages are written
// as a PDF or as a saved report file.

#include <QString>

enum class TBatchFormat { Pdf, Zrp };

// Exit statuses of a batch export.
inline constexpr int BatchOk = 0;
inline constexpr int BatchFailed = 1;   // unreadable joke file, unwritable target
inline constexpr int BatchNoJokes = 2;  // the collection holds no jokes: nothing written

// Runs one export; needs a QApplication. Every failure is told on stderr
// as one line starting with "zumoria: "; nothing is written then.
int RunBatchExport(TBatchFormat format, const QString &target, const QString &jokeFile);
