#pragma once
// A set of image lists for the components' animations: list k holds the
// frames of one animation, drawn in order.

#include <QImage>
#include <QList>
#include <QObject>

class TDskImageList : public QObject
{
public:
    using QObject::QObject;

    // Appends a list of frames; returns its index.
    int AddList(QList<QImage> frames)
    {
        FLists.append(std::move(frames));
        return int(FLists.size()) - 1;
    }
    int ListCount() const { return int(FLists.size()); }
    // Number of frames in list `list`; 0 for a list that does not exist.
    int Count(int list) const { return Valid(list) ? int(FLists[list].size()) : 0; }
    QImage Image(int list, int index) const
    {
        if (!Valid(list) || index < 0 || index >= FLists[list].size())
            return {};
        return FLists[list][index];
    }

private:
    bool Valid(int list) const { return list >= 0 && list < FLists.size(); }
    QList<QList<QImage>> FLists;
};
