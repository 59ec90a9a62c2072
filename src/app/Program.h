#pragma once
// What the program block needs besides the main window: the command-line
// grammar and the application-wide set-up.

#include <QString>
#include <QStringList>
#include <string>

class QLocale;
class QTranslator;

// zumoria [--version | --help | [--] [JOKE-FILE]]
// zumoria --export-pdf OUT FILE | --export-zrp OUT FILE (one export a run;
// FILE a joke file or a saved report file)
// zumoria --random [JOKE-FILE]...
// zumoria --find TEXT [-i | --ignore-case] [--ignore-accents] [JOKE-FILE]...
// A joke file may be any collection: a joke file, a fortune file or a folder
// of fortune files. Options that need no window (--version, --help) are
// answered before any window exists. A joke file that starts with a dash
// follows "--". The options of the windowing toolkit (-platform NAME,
// -style NAME, …) pass through; any other option is an error. Further joke
// files are ignored, except by --random, which picks from all of them, and
// --find, which searches all of them.
struct CommandLine
{
    enum Action { Run, Print, Fail, Export, Random, Find };
    Action action = Run;
    // What to print for Print (stdout) and Fail (stderr).
    std::string output;
    // The joke file as given, or empty.
    QString jokeFile;
    // Every joke file given, in order.
    QStringList jokeFiles;
    // Export: the format ("pdf" or "zrp") and the file to write.
    QString exportFormat;
    QString exportTarget;
    // Find: the text looked for and how letters match.
    QString findText;
    bool ignoreCase = false;
    bool ignoreAccents = false;
};
CommandLine ParseCommandLine(int argc, const char *const *argv);

// The joke file made absolute against the current folder, so that its own
// folder and its pictures resolve; empty stays empty.
QString AbsoluteJokePath(const QString &path);

// Application-wide set-up after the QApplication exists: name and version,
// the launcher entry's name and the window icon, font substitutions, Qt's
// own texts in the user's language, and no state of Qt's own on disk.
void StartApplication();

// Loads Qt's translations of its own texts (the buttons of message boxes,
// the file and print dialogs) for the languages of locale, from Qt's
// translations folder. The program's own texts are not translated. Returns
// the translator installed, or null when Qt has none for those languages.
QTranslator *InstallQtTranslations(const QLocale &locale);
