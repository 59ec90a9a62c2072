#pragma once
// Font names of the window designs mapped onto the fonts installed here.

// Registers the substitutions once per process: Garamond → "EB Garamond 12",
// then "EB Garamond"; Tahoma → "Liberation Sans", then "DejaVu Sans";
// "MS Sans Serif" → the system
// UI font; "Comic Sans MS", "Courier New" and "Arial" → Comic Neue and the
// metric-compatible Liberation fonts. Only this program's font look-ups are affected.
void InstallFontSubstitutions();
