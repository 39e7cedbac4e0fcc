#pragma once
// Fonts by small index, made once from a descriptor list at the screen's
// resolution and kept as long as the table.

#include <windows.h>

#include <map>

#include "framework/GdiObject.h"

namespace exmfc {

// Style bits of a descriptor.
enum : int { FONT_BOLD = 0x01, FONT_ITALIC = 0x02, FONT_UNDERLINE = 0x04, FONT_STRIKEOUT = 0x08 };

struct FontDescriptor {
  enum Kind : int { kEnd = 0, kCreate = 1, kStock = 2 };
  Kind kind;
  int index;
  int stockObject;  // for kStock
  const char* face;
  int points;
  int style;  // FONT_* bits; bold is weight 700, else 400
  BYTE charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
};

class CFontTable {
 public:
  // Makes a font for every descriptor of `list` up to the one of kind kEnd.
  explicit CFontTable(const FontDescriptor* list);
  CFontTable(const CFontTable&) = delete;
  CFontTable& operator=(const CFontTable&) = delete;

  // The font of `index`, or null for an index the list did not name. The
  // table keeps ownership.
  fw::BorrowedFont Get(int index) const;

 private:
  std::map<int, fw::OwnedFont> fonts_;
};

// The LOGFONT height of a font of `points` on a device with `dpiY` pixels
// per vertical inch: -(points * dpiY / 72), rounded as MulDiv rounds.
int FontHeight(int points, int dpiY);

// A new font with the LOGFONT of `font`, for windows that keep their own
// copy; the caller owns it. Null when `font` cannot be read.
HFONT CopyFont(HFONT font);

}  // namespace exmfc
