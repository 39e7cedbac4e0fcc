#include "engine/RegView.h"

#include <string.h>

#include <utility>

#include "engine/RegCallCounter.h"
#include "engine/RegKey.h"

namespace RegCheck {

namespace {

const char kSoftware[] = "SOFTWARE\\";
constexpr size_t kSoftwareLength = sizeof(kSoftware) - 1;
const char kTwin[] = "Wow6432Node";

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix, size_t length) {
  return text.size() >= at + length && _strnicmp(text.c_str() + at, prefix, length) == 0;
}

// Class registrations that 32-bit and 64-bit programs keep apart; the rest
// of HKCR (file types, their commands, ProgIDs) is one key for both.
const char* const kSplitClassKeys[] = {"CLSID", "AppID", "TypeLib", "Interface"};

bool FirstComponentIs(const std::string& path, size_t at, const char* name) {
  const size_t length = strlen(name);
  return StartsWithNoCase(path, at, name, length) &&
         (path.size() == at + length || path[at + length] == '\\');
}

// Where the part of a key path below the view split starts, for keys that
// have a twin (or are one); npos for keys without.
size_t ViewSplit(HKEY root, const std::string& path) {
  if (root == HKEY_LOCAL_MACHINE && StartsWithNoCase(path, 0, kSoftware, kSoftwareLength)) {
    // HKLM\SOFTWARE\Classes is HKCR's machine half: shared but for the
    // class registrations, which are twinned below "Classes\Wow6432Node".
    return FirstComponentIs(path, kSoftwareLength, "Classes") ? std::string::npos : kSoftwareLength;
  }
  if (root != HKEY_CLASSES_ROOT) return std::string::npos;
  if (FirstComponentIs(path, 0, kTwin)) return 0;
  for (const char* name : kSplitClassKeys)
    if (FirstComponentIs(path, 0, name)) return 0;
  return std::string::npos;
}

using RegDeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

// Present on every 64-bit Windows, missing on 32-bit Windows XP, where a
// plain delete is the same.
LONG DeleteOneKey(HKEY parent, const char* name) {
  static const RegDeleteKeyExFn deleteEx = reinterpret_cast<RegDeleteKeyExFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32"), "RegDeleteKeyExA")));
  CountRegistryCall();
  if (IsRunningUnderWow64() && deleteEx) return deleteEx(parent, name, KEY_WOW64_64KEY, 0);
  return RegDeleteKeyA(parent, name);
}

// NtQueryKey's KeyNameInformation class: the key's full name in the kernel.
constexpr int kKeyNameInformation = 3;
using NtQueryKeyFn = LONG(WINAPI*)(HANDLE key, int infoClass, void* info, ULONG size, ULONG* resultSize);

// The kernel's name of the key, or "" when it cannot be learnt.
std::wstring KernelName(HKEY root, const std::string& path) {
  static const NtQueryKeyFn query = reinterpret_cast<NtQueryKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll"), "NtQueryKey")));
  RegKey key;
  if (!query || key.Open(root, path.c_str(), kReadAccess) != ERROR_SUCCESS) return std::wstring();
  // KEY_NAME_INFORMATION: a byte count followed by the UTF-16 name.
  ULONG info[1024];
  ULONG size = 0;
  CountRegistryCall();
  if (query(key.Handle(), kKeyNameInformation, info, sizeof(info), &size) != 0) return std::wstring();
  const ULONG bytes = info[0];
  if (bytes > sizeof(info) - sizeof(ULONG)) return std::wstring();
  return std::wstring(reinterpret_cast<const wchar_t*>(info + 1), bytes / sizeof(wchar_t));
}

}  // namespace

bool IsSameKey(HKEY root, const std::string& path, const std::string& other) {
  const std::wstring name = KernelName(root, path);
  return !name.empty() && name == KernelName(root, other);
}

bool IsRunningUnderWow64() {
  static const bool answer = [] {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "IsWow64Process") : nullptr));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
  }();
  return answer;
}

bool IsWindows64() { return sizeof(void*) == 8 || IsRunningUnderWow64(); }

REGSAM WithView(REGSAM access) { return IsRunningUnderWow64() ? access | KEY_WOW64_64KEY : access; }

RegView ViewOfKey(HKEY root, const std::string& path) {
  if (!IsWindows64()) return RegView::kShared;
  const size_t split = ViewSplit(root, path);
  if (split == std::string::npos) return RegView::kShared;
  return FirstComponentIs(path, split, kTwin) ? RegView::kWow32View : RegView::kNativeView;
}

std::vector<std::string> ViewsOf(HKEY root, const std::string& path) {
  std::vector<std::string> views{path};
  if (ViewOfKey(root, path) != RegView::kNativeView) return views;
  const size_t split = ViewSplit(root, path);
  std::string twin = path.substr(0, split) + kTwin + "\\" + path.substr(split);
  // Walking a shared key again through its twin's path would report each of
  // its entries twice.
  if (!IsSameKey(root, path, twin)) views.push_back(std::move(twin));
  return views;
}

const char* ViewNameOfLocation(const std::string& location) {
  static const char kNode[] = "\\Wow6432Node\\";
  const size_t length = sizeof(kNode) - 1;
  for (size_t i = 0; i + length <= location.size(); ++i)
    if (_strnicmp(location.c_str() + i, kNode, length) == 0) return "32-bit";
  return "native";
}

LONG DeleteKeyTree(HKEY parent, const std::string& name) {
  {
    RegKey key;
    LONG rc = key.Open(parent, name.c_str(), kReadWriteAccess);
    if (rc != ERROR_SUCCESS) return rc;
    // Always the first child: each one is gone before the next is asked for.
    char child[256];
    for (;;) {
      DWORD size = sizeof(child);
      rc = key.EnumKey(0, child, size);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc != ERROR_SUCCESS) return rc;
      rc = DeleteKeyTree(key.Handle(), std::string(child, size));
      if (rc != ERROR_SUCCESS) return rc;
    }
  }
  return DeleteOneKey(parent, name.c_str());
}

}  // namespace RegCheck
