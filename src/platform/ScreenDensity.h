#pragma once
// The screen's logical density in pixels per inch (96 under the offscreen
// platform; the physical density is never used), captured by report
// objects when they are made.

int ScreenPixelsPerInch();
