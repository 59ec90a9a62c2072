#pragma once
// Where the program finds its settings file and its sounds. Both rules take
// the program folder (the executable's folder, as it is, without a trailing
// '/') so that tests can point them anywhere.

#include <QString>

// The executable's folder, without a trailing '/'.
QString ExecutableFolder();

// The settings file "Zumoria.ini". When that file already exists in the
// program folder (a regular file) and the folder is writable, it is used
// (portable layout); it is never created there. Otherwise the file is
// $XDG_CONFIG_HOME/Zumoria/Zumoria.ini, with ~/.config when the variable is
// unset, empty or not an absolute path; it is created on the first write.
QString SettingsFilePath(const QString &programFolder);

// The folder of the sound files: "Hangok" in the program folder when it is
// a folder (the build tree copies it there), else Hangok in the installed
// data folder (InstallLayout::DataDirFor).
// The installed path is returned even when it does not exist, so a missing
// sound names the place where it was looked for.
QString SoundFolderPath(const QString &programFolder);

// The WAV file of a sound event: the sound folder, '/', the event, ".wav".
QString SoundFilePath(const QString &programFolder, const QString &eventName);
