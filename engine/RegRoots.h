#pragma once
// The three predefined roots the program works under and their text form.

#include <windows.h>

#include <string>

namespace RegCheck {

// "HKLM", "HKCU", "HKCR", or "" for any other handle.
const char* RootAbbreviation(HKEY root);

// Abbreviation + "\\" + subkey path, or "" when the root has no abbreviation.
std::string KeyPathText(HKEY root, const std::string& subkey);

// Joins a parent path and a child name with one backslash; an empty parent
// yields the name alone (a leading backslash would make the path invalid).
std::string JoinKeyPath(const std::string& parent, const std::string& name);

}  // namespace RegCheck
