#pragma once
// Pictures kept as SVG files (usually resources of the program) and drawn by
// Qt's SVG renderer, so they stay sharp at every size and density and can be
// edited as pictures.
//
// A picture's disabled look is drawn from the same file with its colours
// turned grey: every paint colour (fill, stroke, stop-color and the like, as
// an attribute or in a style) that the file writes as #rrggbb is looked up in
// the picture's grey table and replaced by the grey it names there; a colour
// the table does not name becomes a light grey of its own lightness. Colours
// written otherwise (by name, as rgb()) keep their colour.

#include <QIcon>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>
#include <utility>
#include <vector>

// Colour → the grey it becomes in the disabled look (alpha ignored).
using SvgGreyTable = std::vector<std::pair<QRgb, QRgb>>;

// The picture of the SVG file at path, stretched over size device pixels of
// a transparent image that is shown at devicePixelRatio; in its disabled look
// when greys is given. A null image when the file cannot be read or holds no
// SVG.
QImage RenderSvgPicture(const QString &path, QSize size, qreal devicePixelRatio = 1.0,
                        const SvgGreyTable *greys = nullptr);

// The SVG text with every #rrggbb colour turned grey as described above.
QByteArray GreySvgColours(const QByteArray &svg, const SvgGreyTable &greys);

// An icon drawing the picture of the SVG file at path at every size and
// density it is asked for, and in its disabled look for QIcon::Disabled.
// A file that cannot be read draws nothing.
QIcon SvgPictureIcon(const QString &path, SvgGreyTable greys = {});
