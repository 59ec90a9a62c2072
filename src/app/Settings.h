#pragma once
// The program's settings and its recent-files list in the settings file
// "Zumoria.ini":
//   [File]     File0 … File3   the recent-files list, newest first
//   [Defaults] Path, Sound     the stored path (kept, not used), sounds on/off
//   [Screen]   Color, Left, Top, Width, Height   scheme number, window bounds
// Every read and write goes to the file at once (ProfileFile), nothing is
// cached. Missing or unreadable values give the defaults silently; a write
// the system refuses raises AppError "Unable to write to <path>" and stops
// at the failing key.

#include "platform/ProfileFile.h"

#include <QString>
#include <QStringList>

// The values LoadSettings reads and SaveSettings writes.
struct SettingsValues
{
    QString Path;       // [Defaults] Path
    bool Sound = true;  // [Defaults] Sound
    int Color = 1;      // [Screen] Color, a scheme number 1…4
    int Left = 10;      // [Screen] Left, Top, Width, Height
    int Top = 10;
    int Width = 0;
    int Height = 0;
};

class SettingsFile
{
public:
    // The recent-files list holds at most this many paths.
    static constexpr int MaxRecentFiles = 4;

    explicit SettingsFile(QString path);
    const QString &path() const { return FIni.path(); }

    // Reads Path, Sound, Color, Left, Top, Width, Height in this order.
    // Defaults: Path = programFolder + "/Viccek", Sound on, Color 1, Left and
    // Top 10, Width and Height the given window size. No value is range
    // checked except Color: a scheme number outside 1…4 reads as 1.
    SettingsValues LoadSettings(const QString &programFolder, int windowWidth, int windowHeight) const;
    // Writes Path, Sound (1/0), Color, Left, Top, Width, Height in this order.
    void SaveSettings(const SettingsValues &values);

    // Clears list and fills it with the non-empty values of File0 … File3,
    // in key order, gaps closed up; paths are not checked, duplicates stay.
    void LoadRecentFiles(QStringList &list) const;
    // Writes entries 0 … 3 of list as File0 … File3 and removes the keys
    // File<n> … File3 beyond the list's length n, so a dropped path does not
    // return at the next start.
    void SaveRecentFiles(const QStringList &list);

private:
    ProfileFile FIni;
};
