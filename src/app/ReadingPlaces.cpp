#include "app/ReadingPlaces.h"

#include "platform/ProfileFile.h"

#include <algorithm>

namespace {

const QString Section = QStringLiteral("Places");

QString PlaceKey(int k)
{
    return QStringLiteral("Place") + QString::number(k);
}

} // namespace

TReadingPlaces::TReadingPlaces(QString settingsPath) : FPath(std::move(settingsPath)) {}

QList<TReadingPlaces::Place> TReadingPlaces::ReadFile() const
{
    QList<Place> places;
    for (const auto &[key, value] : ProfileFile(FPath).ReadSection(Section)) {
        // "<number> <path>"; a value that is no such pair is passed over.
        const qsizetype blank = value.indexOf(u' ');
        int number = 0;
        if (!key.startsWith(QStringLiteral("Place"), Qt::CaseInsensitive) || blank <= 0
            || !ParseProfileInteger(value.first(blank), &number) || number < 1)
            continue;
        const QString path = value.sliced(blank + 1);
        if (!path.isEmpty() && std::none_of(places.begin(), places.end(), [&](const Place &p) { return p.first == path; }))
            places.append({path, number - 1});
    }
    return places;
}

void TReadingPlaces::Load()
{
    if (FLoaded)
        return;
    FLoaded = true;
    FPlaces = ReadFile().mid(0, MaxPlaces);
}

int TReadingPlaces::PlaceOf(const QString &path)
{
    Load();
    const auto it = std::find_if(FPlaces.begin(), FPlaces.end(), [&](const Place &p) { return p.first == path; });
    return it == FPlaces.end() ? -1 : it->second;
}

void TReadingPlaces::Remember(const QString &path, int joke)
{
    if (path.isEmpty() || joke < 0)
        return;
    Load();
    FPlaces.removeIf([&](const Place &p) { return p.first == path; });
    FPlaces.prepend({path, joke});
    if (FPlaces.size() > MaxPlaces)
        FPlaces.resize(MaxPlaces);
    FChanged = true;
}

void TReadingPlaces::Save()
{
    if (!FChanged)
        return;
    QList<Place> places = FPlaces;
    for (const Place &other : ReadFile()) {
        if (std::none_of(places.begin(), places.end(), [&](const Place &p) { return p.first == other.first; }))
            places.append(other);
    }
    ProfileFile::Entries entries;
    for (int k = 0; k < qMin(int(places.size()), MaxPlaces); ++k)
        entries.append({PlaceKey(k), QString::number(places[k].second + 1) + u' ' + places[k].first});
    ProfileFile(FPath).WriteSection(Section, entries);
    FChanged = false;
}
