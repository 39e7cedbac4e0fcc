#pragma once
// Layout lengths are written for 96 dots per inch; the program declares
// itself DPI aware, so at 120 or 144 DPI Windows neither stretches its
// windows nor shrinks its fonts. Every pixel length of a layout goes through
// Scale so windows, skins and text grow together.

#include <windows.h>

namespace exmfc {

// Logical dots per inch of the screen (LOGPIXELSY), read once: a system
// DPI aware process keeps the DPI it started with.
int ScreenDpi();

// `length` pixels at 96 DPI, at `dpi` (rounded to nearest, as MulDiv).
int ScaleTo(int length, int dpi);
RECT ScaleTo(const RECT& rect, int dpi);

// The same at the screen's DPI.
int Scale(int length);
RECT Scale(const RECT& rect);

}  // namespace exmfc
