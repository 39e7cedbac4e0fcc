#pragma once
// Which registry view a found location lies in, for reports.

#include <string>

namespace RegCheck {

// "32-bit" for a location inside a "\Wow6432Node\" key (any letter case),
// where 64-bit Windows keeps the 32-bit programs' part of HKLM\SOFTWARE;
// "native" for everything else.
const char* RegistryViewOfLocation(const std::string& location);

}  // namespace RegCheck
