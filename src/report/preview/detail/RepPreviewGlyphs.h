#pragma once
// The toolbar glyphs of the standard preview window, drawn as vector shapes
// on a 16 x 16 grid, so they are sharp at any size and device pixel ratio.
// Indices:
//   0 zoom to fit      1 zoom 100%        2 zoom to width
//   3 first page       4 previous page    5 next page      6 last page
//   7 printer setup    8 print            9 load report   10 save report
// A disabled glyph is drawn in grey.

#include <QIcon>

inline constexpr int PreviewGlyphCount = 11;

// The icon of glyph index (0..PreviewGlyphCount - 1); a null icon for any
// other index.
QIcon PreviewGlyph(int index);
