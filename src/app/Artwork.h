#pragma once
// The program's own pictures, drawn in code: the 14 images of the toolbar
// image list, the "KEZ1" hand cursor, the close glyph of the About window.

#include <QCursor>
#include <QImage>
#include <QPixmap>

class QIcon;

inline constexpr int ToolbarImageCount = 14;

// Image k (0…13) of the toolbar image list, 16 × 16 with transparency:
// 0 a yellow smiling face, 1 a recycle bin, 2 a notepad, 3 a monitor with a
// paint palette, 4 musical notes on a staff, 5 a globe on a stand, 6 an
// envelope, 7 a filing cabinet, 8 a blue figure, 9 a red cross, 10 a printer,
// 11 a globe with a network cable, 12 a folder with a document, 13 a blue star.
QImage ToolbarImage(int k);

// The find button's image, 16 × 16: a magnifying glass.
QImage MagnifierImage();

// The "KEZ1" cursor picture: a hand, 32 × 32, 16 colours, hot spot (15, 16).
QImage HandCursorImage();
inline constexpr int HandCursorHotX = 15;
inline constexpr int HandCursorHotY = 16;
QCursor HandCursor();

// The close glyph of the About window's close button (a small cross).
QPixmap CloseGlyph();

// The logo picture shown by the splash and About windows, decoded from the
// program's own JPEG resource (a null image if it cannot be decoded).
QImage LogoPicture();

// The program's icon for its windows: the icon theme's "zumoria" (the
// installed one, in every size the theme holds), else the drawing built into
// the program.
QIcon ProgramIcon();
