#pragma once
// The joke list written without a window: zumoria --export-pdf OUT FILE
// and --export-zrp OUT FILE. FILE is a collection (a joke file, a fortune
// file or a folder of them), read as the viewer reads it and run through the
// joke-list report into a page store, or a saved report file, loaded as the
// preview loads one (checked in full, played through the same guards). The
// pages are written as a PDF or as a saved report file.
//
// An export never destroys what it was not asked to make: OUT may not be
// FILE itself (the same file by device and inode, through links too), and
// an existing regular OUT that holds something must already hold the format
// being written (a PDF, a report file). Regular files are replaced
// atomically; character devices, FIFOs and standard output ("-",
// /dev/stdout) are written in place.

#include <QString>

enum class TBatchFormat { Pdf, Zrp };

// Exit statuses of a batch export.
inline constexpr int BatchOk = 0;
inline constexpr int BatchFailed = 1;   // unreadable input, refused or unwritable target
inline constexpr int BatchNoJokes = 2;  // the collection holds no jokes (the report no pages): nothing written

// Runs one export; needs a QGuiApplication. Every failure is told on stderr
// as one line starting with "zumoria: "; nothing is written then.
int RunBatchExport(TBatchFormat format, const QString &target, const QString &input);
