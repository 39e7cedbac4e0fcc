#pragma once
// Skin drawing that needs no window: the nine-part stretch of a skin bitmap
// and the cutting of a window shape out of an image along a key colour.

#include <windows.h>

namespace exmfc {

// Slice sizes of a skin bitmap: left width, centre source width, right
// width, top height, middle source height, bottom height. 0 takes the
// default (a third of the bitmap; the right and bottom take the rest).
struct SliceSizes {
  int left = 0, centre = 0, right = 0;
  int top = 0, middle = 0, bottom = 0;
};

// The sizes with defaults filled in for a bitmap of width x height.
SliceSizes ResolveSlices(const SliceSizes& s, int width, int height);

// Stretches `bitmap` over `target` so that its corners keep their size:
// nine StretchBlt pieces (SRCCOPY, halftone) in the order top-left,
// top-right, top edge, left edge, bottom-left, bottom edge, bottom-right,
// right edge, centre. The centre and edge pieces come from the centre
// source width/middle source height only, so ornaments between the centre
// piece and the right or bottom corner are never stretched in. `bitmap`
// must not be selected into a DC. False if it cannot be read.
bool DrawNineSlice(HDC dc, HBITMAP bitmap, const SliceSizes& slices, const RECT& target);

// A region of every pixel of `bitmap` whose colour lies outside the key
// range (per channel from the key's value to value + tolerance's value,
// capped at 255). Runs of pixels become one-pixel-high rectangles, merged
// in batches of 1000. Returns null when the bitmap cannot be read as 32-bit
// pixels; the caller owns the region. `bitmap` must not be selected into a
// DC.
HRGN BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance);

// A new device-dependent bitmap of width x height with `bitmap` stretched
// over it (halftone); null when `bitmap` cannot be read. The caller owns
// the result; `bitmap` must not be selected into a DC.
HBITMAP StretchedCopy(HBITMAP bitmap, int width, int height);

// The same in two parts: the source columns left of `sourceSplit` go left
// of `split`, the rest right of it, so a column line drawn in the bitmap can
// be moved to where a list draws its own. Null also when a split lies
// outside its width.
HBITMAP StretchedCopySplit(HBITMAP bitmap, int sourceSplit, int width, int height, int split);

// `region` (drawn for 96 DPI) with every rectangle edge scaled to `dpi` as
// ScaleTo scales control edges, so a shape cut from a 96-DPI skin fits the
// same window laid out at `dpi`. A new region the caller owns, or null.
HRGN ScaleRegion(HRGN region, int dpi);

}  // namespace exmfc
