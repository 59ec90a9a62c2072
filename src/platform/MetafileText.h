#pragma once
// The text a metafile page shows: the characters of its text records, one
// run per record in the order of the records, and where the player draws
// each of them.
//
// MetafileText reads the records' characters alone and draws nothing.
// MetafileTextRuns lets the player place the text (without drawing it), so
// a run stands exactly where the page shows it: in pixels of the page (the
// picture frame's top left at 0, 0, Metafile::Width() x Height()), each
// character at the advance its record holds (measured with the font where
// it holds none). Text the player leaves out (of an absurd size or place)
// has no run. Runs drawn under a turning transform get the bounding boxes
// of their turned characters.

#include <QRectF>
#include <QString>
#include <QTransform>
#include <vector>

class Metafile;

struct MetafileTextRun
{
    QString text;
    // The run's character cell, unturned: x of its left edge, top, height.
    double left = 0;
    double top = 0;
    double height = 0;
    // edges[i] is the x of the boundary before character i, relative to
    // left; text.size() + 1 entries.
    std::vector<double> edges;
    // From the run's own coordinates to the page's pixels.
    QTransform toPage;

    // The box on the page of the characters from, from + count - 1.
    QRectF Box(qsizetype from, qsizetype count) const;
};

// Every text run the player draws of page, with its place.
std::vector<MetafileTextRun> MetafileTextRuns(const Metafile &page);

// The characters of every text record of page, one record after the other,
// each ended by a line feed. No font is looked at.
QString MetafileText(const Metafile &page);
