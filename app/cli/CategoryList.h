#pragma once
// Category names on the console command line: the settings value names
// without "reg" (ComObject, AppPath, ...), "all", or bit values such as
// 0x40 or 64, separated by commas.

#include <string>

namespace RegCheck {

// Parses `text` into a category mask. On failure returns false, leaves
// `mask` untouched and says why in `error`.
bool ParseCategoryList(const std::string& text, int& mask, std::string& error);

// The short name of a category bit ("ComObject"), or "" for no category.
std::string CategoryShortName(int bit);

// A scan panel label as it shows on screen ("&&" drawn as "&").
std::string DisplayLabel(const char* label);

}  // namespace RegCheck
