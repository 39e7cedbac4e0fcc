#pragma once
// The system description that opens every fix run's block in the cleaning log.

#include <string>

namespace RegCheck {

// The program's version text, as the About panel and the log show it.
constexpr char kVersionString[] = "Version 1.37";

// Version as "major.minor" and architecture code "9" (64-bit Windows, seen
// from either build) or "0".
void GetOsVersion(std::string& version, std::string& architecture);

// "\r\nVarnholt <versionString> on <major.minor>, <architecture>".
std::string GetSystemDescription(const std::string& versionString);

}  // namespace RegCheck
