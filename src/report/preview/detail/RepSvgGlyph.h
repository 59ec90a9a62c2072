#pragma once
// Toolbar glyphs of the preview kept as SVG pictures in the resources
// (src/report/preview/glyphs/NAME.svg), drawn through Qt's SVG renderer at
// whatever size and device pixel ratio they are asked for, grey when
// disabled.

#include <QIcon>
#include <QString>

// The icon of glyph name ("zoom-in", "zoom-out", "thumbnails", "find",
// "find-next", "find-previous", "close"); a null icon for a name there is
// no picture of.
QIcon SvgGlyph(const QString &name);
