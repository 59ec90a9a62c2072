#pragma once
// Where the reader left each collection: the joke at the top of the view
// when it was last closed, for the last 50 collections, newest first. They
// stand in a section of their own of the settings file,
//   [Places]  Place0 … Place49 = <joke number> <full path>
// (the number as the joke's panel shows it, from 1), so the other sections
// keep their keys. The section is read once, at the first question, and
// written once, at the end of the run, merged with what another run of the
// program wrote there meanwhile.

#include <QList>
#include <QPair>
#include <QString>

class TReadingPlaces
{
public:
    static constexpr int MaxPlaces = 50;

    explicit TReadingPlaces(QString settingsPath);

    // The joke (from 0) at the top when the collection at path was last
    // closed, or -1 when it is not remembered.
    int PlaceOf(const QString &path);
    // Remembers joke (from 0) as the place of path, the newest of all.
    void Remember(const QString &path, int joke);
    // Writes the places remembered in this run, before those only the file
    // holds, up to 50; nothing when nothing was remembered. Raises AppError
    // "Unable to write to <path>" when the settings file refuses it.
    void Save();

private:
    using Place = QPair<QString, int>;
    QList<Place> ReadFile() const;
    void Load();

    QString FPath;
    bool FLoaded = false;
    bool FChanged = false;
    QList<Place> FPlaces;
};
