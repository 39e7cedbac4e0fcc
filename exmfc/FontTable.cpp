#include "exmfc/FontTable.h"

#include <map>

#include "framework/GdiObject.h"

namespace exmfc {

namespace {

enum : int { kEnd = 0, kCreate = 1, kStock = 2 };
enum : int { kBold = 0x01, kItalic = 0x02, kUnderline = 0x04, kStrikeOut = 0x08 };

struct FontDescriptor {
  int kind;
  int index;
  int stockObject;
  const char* face;
  int points;
  int style;
  BYTE charSet, outPrecision, clipPrecision, quality, pitchAndFamily;
};

const FontDescriptor kFonts[] = {
    {kCreate, 0, 0, "Tahoma", 13, kBold | kItalic, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 1, 0, "Tahoma", 8, kBold, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 2, 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 3, 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 4, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 5, 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 6, 0, "Tahoma", 8, kBold, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 7, 0, "Tahoma", 8, kBold, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kCreate, 8, 0, "Wingdings", 16, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {kEnd, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0},
};

class FontTable {
 public:
  FontTable() {
    fw::ClientDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    for (const FontDescriptor* d = kFonts; d->kind != kEnd; ++d) {
      if (d->kind == kStock) {
        // Stock fonts belong to the system; DeleteObject ignores them.
        fonts_[d->index].Reset(static_cast<HFONT>(GetStockObject(d->stockObject)));
        continue;
      }
      LOGFONTA lf{};
      lf.lfHeight = FontHeight(d->points, dpi);
      lf.lfWeight = (d->style & kBold) ? FW_BOLD : FW_NORMAL;
      lf.lfItalic = (d->style & kItalic) ? 1 : 0;
      lf.lfUnderline = (d->style & kUnderline) ? 1 : 0;
      lf.lfStrikeOut = (d->style & kStrikeOut) ? 1 : 0;
      lf.lfCharSet = d->charSet;
      lf.lfOutPrecision = d->outPrecision;
      lf.lfClipPrecision = d->clipPrecision;
      lf.lfQuality = d->quality;
      lf.lfPitchAndFamily = d->pitchAndFamily;
      lstrcpynA(lf.lfFaceName, d->face, LF_FACESIZE);
      fonts_[d->index].Reset(CreateFontIndirectA(&lf));
    }
  }
  HFONT Get(int index) const {
    auto it = fonts_.find(index);
    return it == fonts_.end() ? nullptr : it->second.Get();
  }

 private:
  std::map<int, fw::OwnedFont> fonts_;
};

}  // namespace

int FontHeight(int points, int dpiY) { return -MulDiv(points, dpiY, 72); }

HFONT GetFont(int index) {
  static const FontTable table;
  return table.Get(index);
}

HFONT CopyFont(HFONT font) {
  LOGFONTA lf{};
  if (!font || GetObjectA(font, sizeof lf, &lf) != sizeof lf) return nullptr;
  return CreateFontIndirectA(&lf);
}

}  // namespace exmfc
