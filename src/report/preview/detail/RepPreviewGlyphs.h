#pragma once
// The toolbar glyphs of the standard preview window: SVG pictures of
// src/report/preview/glyphs on a 16 x 16 grid, compiled in as resources and
// drawn by Qt's SVG renderer, so they are sharp at any size and device pixel
// ratio. Indices:
//   0 zoom to fit      1 zoom 100%        2 zoom to width
//   3 first page       4 previous page    5 next page      6 last page
//   7 printer setup    8 print            9 load report   10 save report
//  11 zoom in         12 zoom out        13 thumbnails    14 find
//  15 next match      16 previous match  17 close (a bar)
// A disabled glyph is drawn in grey: each ink colour of the glyphs has its
// own grey (RepPreviewGlyphs.cpp), any other colour a grey of its lightness.
// A new glyph is an SVG file in the glyphs folder and one line of
// PreviewGlyphNames.

#include <QIcon>
#include <iterator>

// The glyphs' files, glyphs/<name>.svg, in the order of their indices.
inline constexpr const char *PreviewGlyphNames[] = {
    "zoom-fit",  "zoom-100",      "zoom-width", "first-page",  "previous-page", "next-page",
    "last-page", "printer-setup", "print",      "load-report", "save-report",   "zoom-in",
    "zoom-out",  "thumbnails",    "find",       "find-next",   "find-previous", "close",
};
inline constexpr int PreviewGlyphCount = int(std::size(PreviewGlyphNames));

// The icon of glyph index (0..PreviewGlyphCount - 1); a null icon for any
// other index.
QIcon PreviewGlyph(int index);
// The icon of the glyph called name (of PreviewGlyphNames); a null icon for
// any other name.
QIcon PreviewGlyph(const char *name);
