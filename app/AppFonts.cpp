#include "app/AppFonts.h"

#include "exmfc/FontTable.h"


namespace {

using exmfc::FontDescriptor;

constexpr int Index(AppFont font) { return static_cast<int>(font); }

const FontDescriptor kFonts[] = {
    {FontDescriptor::kCreate, Index(AppFont::kTitle), 0, "Tahoma", 13,
     exmfc::FONT_BOLD | exmfc::FONT_ITALIC, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kButton), 0, "Tahoma", 8, exmfc::FONT_BOLD,
     DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kLarge), 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kLargeAlt), 0, "Arial", 14, 0, DEFAULT_CHARSET, 0, 0, 0,
     0},
    {FontDescriptor::kCreate, Index(AppFont::kPath), 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kText), 0, "Tahoma", 8, 0, DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kLabel), 0, "Tahoma", 8, exmfc::FONT_BOLD,
     DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kList), 0, "Tahoma", 8, exmfc::FONT_BOLD,
     DEFAULT_CHARSET, 0, 0, 0, 0},
    {FontDescriptor::kCreate, Index(AppFont::kSymbol), 0, "Wingdings", 16, 0, DEFAULT_CHARSET, 0, 0,
     0, 0},
    {FontDescriptor::kEnd, 0, 0, nullptr, 0, 0, 0, 0, 0, 0, 0},
};

}  // namespace

fw::BorrowedFont GetAppFont(AppFont font) {
  static const exmfc::CFontTable table(kFonts);
  return table.Get(Index(font));
}
