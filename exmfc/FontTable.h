#pragma once
// The program's fonts by small index, built once on first use from a fixed
// descriptor list and kept until the process ends.

#include <windows.h>

namespace exmfc {

// Font `index` of the table (0 to 8), or null for an unknown index. The
// table keeps ownership; never delete the returned font.
HFONT GetFont(int index);

// The LOGFONT height of a font of `points` on a device with `dpiY` pixels
// per vertical inch: -(points * dpiY / 72), rounded as MulDiv rounds.
int FontHeight(int points, int dpiY);

// A new font with the LOGFONT of `font`, for windows that keep their own
// copy; the caller owns it. Null when `font` cannot be read.
HFONT CopyFont(HFONT font);

}  // namespace exmfc
