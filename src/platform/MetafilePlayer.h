#pragma once
// Plays an enhanced metafile onto a QPainter or another surface. The
// records the recorder writes are all understood, and so are the common GDI
// records of other EMF producers (polylines and polygons, rectangles, ellipses, round rectangles,
// text in 8 and 16 bit, fills of regions, pens, brushes, fonts, mapping
// modes, world transforms, save and restore of the DC, clip rectangles).
// Records it does not know are skipped; pictures inside a metafile are not
// drawn. Nothing a record holds can make the player read outside the page's
// bytes, allocate without bound or draw a shape of absurd size.

#include <QRectF>

class Metafile;
class MetafileSurface;
class QPainter;

// Draws page with its picture frame mapped onto target (device coordinates
// of painter). The painter's state is the same afterwards.
void PlayMetafile(QPainter &painter, const Metafile &page, const QRectF &target);
// Draws page onto surface (MetafileSurface.h), its picture frame mapped
// onto target in the surface's device coordinates.
void PlayMetafile(MetafileSurface &surface, const Metafile &page, const QRectF &target);
