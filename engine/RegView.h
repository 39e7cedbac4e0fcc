#pragma once
// The two registry views of 64-bit Windows. HKLM\SOFTWARE and the class
// registrations below HKCR (CLSID, AppID, TypeLib, Interface) have a native
// key and a 32-bit twin below "Wow6432Node". Every key path this program keeps names its view without
// ambiguity: "SOFTWARE\\X" is the native key, "SOFTWARE\\Wow6432Node\\X" the
// 32-bit one, from either build. A 64-bit process sees them so already; a
// 32-bit process under WOW64 opens every key with KEY_WOW64_64KEY to see
// them so too. On 32-bit Windows there is one view and no twin.

#include <windows.h>

#include <string>
#include <vector>

namespace RegCheck {

// Whether this 32-bit process runs on 64-bit Windows; computed once.
bool IsRunningUnderWow64();

// Whether Windows itself is 64-bit: a 64-bit process, or a 32-bit one under
// WOW64.
bool IsWindows64();

// `access` with the flag that makes key paths mean what they say.
REGSAM WithView(REGSAM access);

// Which program an entry belongs to, from where it was found: kNativeView
// for the native key of a key with a twin, kWow32View for the twin, kShared
// for keys that both kinds of program read (HKCU, HKLM outside SOFTWARE,
// file types and their commands in HKCR, and everything on 32-bit Windows).
enum class RegView { kShared, kNativeView, kWow32View };

RegView ViewOfKey(HKEY root, const std::string& path);

// The keys to walk for `path`: the path itself, then on 64-bit Windows its
// "Wow6432Node" twin when it is a native key with one, unless the twin's
// path leads to the native key itself (a key both kinds of program share).
std::vector<std::string> ViewsOf(HKEY root, const std::string& path);

// Whether both paths lead to one key: keys that both kinds of program share
// (App Paths, Registered Applications) can be reached through the twin's
// path too. False when either does not open.
bool IsSameKey(HKEY root, const std::string& path, const std::string& other);

// For reports: "32-bit" for a location inside a "\Wow6432Node\" key (any
// letter case), "native" for everything else.
const char* ViewNameOfLocation(const std::string& location);

// Deletes subkey `name` of `parent` with its whole subtree, in the view of
// the parent's path. ERROR_SUCCESS or the first error met.
LONG DeleteKeyTree(HKEY parent, const std::string& name);

}  // namespace RegCheck
