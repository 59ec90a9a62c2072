#pragma once
// The program's own pictures. The toolbar images, the "KEZ1" hand cursor and
// the About window's close glyph are SVG files of src/app/pictures, compiled
// in as resources and drawn by Qt's SVG renderer at the size and density
// they are shown at. The logo is the program's own JPEG picture.

#include <QCursor>
#include <QIcon>
#include <QImage>

inline constexpr int ToolbarImageCount = 14;

// Image k (0…13) of the toolbar image list, 16 × 16 with transparency, at
// any density: 0 a yellow smiling face, 1 a recycle bin, 2 a notepad, 3 a
// monitor with a paint palette, 4 musical notes on a staff, 5 a globe on a
// stand, 6 an envelope, 7 a filing cabinet, 8 a blue figure, 9 a red cross,
// 10 a printer, 11 a globe with a network cable, 12 a folder with a
// document, 13 a blue star. A null icon for any other k.
QIcon ToolbarImage(int k);

// The find button's image, 16 × 16 at any density: a magnifying glass.
QIcon MagnifierImage();

// The "KEZ1" cursor picture: a hand of 32 × 32 pixels in 16 colours, drawn
// at devicePixelRatio device pixels per pixel; hot spot (15, 16).
QImage HandCursorImage(qreal devicePixelRatio = 1.0);
inline constexpr int HandCursorHotX = 15;
inline constexpr int HandCursorHotY = 16;
// The hand cursor at the density of the application's screens.
QCursor HandCursor();

// The close glyph of the About window's close button: a small cross drawn
// on 12 × 12.
QIcon CloseGlyph();

// The logo picture shown by the splash and About windows, decoded from the
// program's own JPEG resource (a null image if it cannot be decoded).
QImage LogoPicture();

// The program's icon for its windows: the icon theme's "zumoria" (the
// installed one, in every size the theme holds), else the drawing built into
// the program.
QIcon ProgramIcon();
