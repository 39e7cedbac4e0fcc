#pragma once
// Deletions the backup manager refuses whatever the caller asks: a parsing
// slip in a checker must never take a whole container of entries with it.

#include <windows.h>

#include <string>

namespace RegCheck {

// Null when subkey `name` of `keyPath` under `root` may be deleted; else a
// short reason for the log. Refused: a root other than HKLM, HKCU and HKCR;
// an empty name or one of backslashes only; a name or path with an empty,
// "." or ".." component or a leading backslash; a key whose own name is one
// of the containers that checkers and tools work in (CLSID, Uninstall, Run,
// ...); a key fewer than three levels below "UserData" except a child of a
// security identifier other than "Components" or "Products". `keyPath` is
// taken as given, outer backslashes allowed.
const char* KeyDeletionRefusal(HKEY root, const std::string& keyPath, const std::string& name);

// Null when value `name` of key `keyPath` may be deleted; any value name is
// allowed (value names may hold backslashes), the key path is checked as for
// a key deletion.
const char* ValueDeletionRefusal(HKEY root, const std::string& keyPath);

}  // namespace RegCheck
