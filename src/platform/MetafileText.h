#pragma once
// The text a metafile page shows, read from its text records without
// drawing anything: one run per text record, in the order of the records,
// with where each of its characters stands on the page.
//
// Positions are in pixels of the page (the picture frame's top left at
// 0, 0, Metafile::Width() x Height()). A run keeps its characters'
// advances as recorded, so a character's box is exact wherever the record
// carries advances, and measured with the font otherwise. Runs of records
// drawn under a rotating world transform get the bounding boxes of their
// turned characters.

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

// Every text run of page, with its geometry.
std::vector<MetafileTextRun> MetafileTextRuns(const Metafile &page);

// The characters of every text run of page, one run after the other, each
// ended by a line feed: the runs of MetafileTextRuns in the same order.
// Cheaper than the runs: no font is looked at.
QString MetafileText(const Metafile &page);
