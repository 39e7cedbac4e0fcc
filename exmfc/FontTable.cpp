#include "exmfc/FontTable.h"

namespace exmfc {

CFontTable::CFontTable(const FontDescriptor* list) {
  fw::ClientDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  for (const FontDescriptor* d = list; d->kind != FontDescriptor::kEnd; ++d) {
    if (d->kind == FontDescriptor::kStock) {
      // Stock fonts belong to the system; DeleteObject ignores them.
      fonts_[d->index].Reset(static_cast<HFONT>(GetStockObject(d->stockObject)));
      continue;
    }
    LOGFONTA lf{};
    lf.lfHeight = FontHeight(d->points, dpi);
    lf.lfWeight = (d->style & FONT_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (d->style & FONT_ITALIC) ? 1 : 0;
    lf.lfUnderline = (d->style & FONT_UNDERLINE) ? 1 : 0;
    lf.lfStrikeOut = (d->style & FONT_STRIKEOUT) ? 1 : 0;
    lf.lfCharSet = d->charSet;
    lf.lfOutPrecision = d->outPrecision;
    lf.lfClipPrecision = d->clipPrecision;
    lf.lfQuality = d->quality;
    lf.lfPitchAndFamily = d->pitchAndFamily;
    lstrcpynA(lf.lfFaceName, d->face, LF_FACESIZE);
    fonts_[d->index].Reset(CreateFontIndirectA(&lf));
  }
}

fw::BorrowedFont CFontTable::Get(int index) const {
  auto it = fonts_.find(index);
  return it == fonts_.end() ? fw::BorrowedFont() : fw::BorrowedFont(it->second);
}

int FontHeight(int points, int dpiY) { return -MulDiv(points, dpiY, 72); }

HFONT CopyFont(HFONT font) {
  LOGFONTA lf{};
  if (!font || GetObjectA(font, sizeof lf, &lf) != sizeof lf) return nullptr;
  return CreateFontIndirectA(&lf);
}

}  // namespace exmfc
