#include "checkers/UninstallChecker.h"

#include <string.h>
#include <wchar.h>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/ViewWalk.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kUninstallPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kArpCachePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache";

constexpr DWORD kEntryBufferBytes = 512;

// "SlowInfoCache" record: a fixed-size structure whose program path, a
// NUL-terminated UTF-16 string, fills the bytes from offset 28 to the end.
constexpr DWORD kSlowInfoCacheBytes = 552;
constexpr DWORD kCachedPathOffset = 28;
constexpr size_t kCachedPathUnits = (kSlowInfoCacheBytes - kCachedPathOffset) / sizeof(WCHAR);
constexpr int kAnsiPathBytes = 512;

}  // namespace

void CUninstallChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler entries(context, results);
  WalkLevelInViews(context, HKEY_LOCAL_MACHINE, kUninstallPath, RegEnumerator::kReportKeys,
                   entries);
  CARPHandler cache(context, results);
  WalkLevelInViews(context, HKEY_LOCAL_MACHINE, kArpCachePath, RegEnumerator::kReportKeys, cache);
}

bool CUninstallChecker::CheckUninstallEntry(CScanContext& context, HKEY uninstallKey,
                                            const std::string& subkey, std::string& displayName) {
  RegKey entry;
  if (entry.Open(uninstallKey, subkey.c_str(), kReadAccess) != ERROR_SUCCESS) return false;

  RegKeyInfo info;
  if (QueryKeyInfo(entry.Handle(), info) == ERROR_SUCCESS && info.values == 0)
    return false;

  // Each read gets the whole buffer again: a size left over from the
  // previous read would make a later, longer value look unreadable.
  char buffer[kEntryBufferBytes];
  DWORD size = sizeof(buffer);
  if (entry.QueryStringValue("DisplayName", buffer, size) == ERROR_SUCCESS) displayName = buffer;

  DWORD type = REG_NONE;
  size = sizeof(buffer);
  if (entry.QueryValue("UninstallString", &type, buffer, &size) == ERROR_SUCCESS) {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // Stored strings need not end in a terminator.
    return CheckPath(context, std::string(buffer, strnlen(buffer, size)), PATH_COMMAND);
  }

  size = sizeof(buffer);
  if (entry.QueryStringValue("UninstallPath", buffer, size) == ERROR_SUCCESS) return true;

  size = sizeof(buffer);
  return entry.QueryStringValue("InstallSource", buffer, size) == ERROR_SUCCESS && buffer[0] != '\0';
}

bool CUninstallChecker::CheckArpCacheEntry(CScanContext& context, HKEY arpCacheKey,
                                           const std::string& subkey) {
  RegKey entry;
  if (entry.Open(arpCacheKey, subkey.c_str(), kReadAccess) != ERROR_SUCCESS) return true;

  BYTE record[kSlowInfoCacheBytes];
  DWORD type = REG_NONE;
  DWORD size = sizeof(record);
  if (entry.QueryValue("SlowInfoCache", &type, record, &size) != ERROR_SUCCESS ||
      size != kSlowInfoCacheBytes)
    return true;

  WCHAR path[kCachedPathUnits];
  memcpy(path, record + kCachedPathOffset, sizeof(path));
  const size_t length = wcsnlen(path, kCachedPathUnits);
  if (length == 0) return false;
  // A path without its terminator is a damaged record, not a missing file.
  if (length == kCachedPathUnits) return true;

  // Without best-fit mapping a character the code page lacks becomes the
  // default character; such a path names no file the ANSI calls can see,
  // so the entry cannot be judged and is left alone.
  char ansi[kAnsiPathBytes];
  BOOL usedDefault = FALSE;
  int converted = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, static_cast<int>(length),
                                      ansi, kAnsiPathBytes, nullptr, &usedDefault);
  if (converted <= 0 || usedDefault) return true;
  return CheckPath(context, std::string(ansi, static_cast<size_t>(converted)), PATH_ACCEPT_FILE);
}

void CUninstallChecker::CHandler::OnKey(HKEY key, const std::string& path,
                                       const std::string& subkeyName) {
  std::string displayName;
  if (!CheckUninstallEntry(context_, key, subkeyName, displayName))
    results_.Add(new CUninstallAction(subkeyName, displayName, CUninstallAction::kUninstallEntry, path));
}

void CUninstallChecker::CARPHandler::OnKey(HKEY key, const std::string& path,
                                           const std::string& subkeyName) {
  if (!CheckArpCacheEntry(context_, key, subkeyName))
    results_.Add(new CUninstallAction(subkeyName, std::string(), CUninstallAction::kArpCacheEntry, path));
}

CUninstallAction::CUninstallAction(const std::string& keyName, const std::string& displayName, int kind,
                                   const std::string& keyPath)
    : keyName_(keyName), displayName_(displayName), kind_(kind),
      keyPath_(!keyPath.empty() ? keyPath : kind == kArpCacheEntry ? kArpCachePath : kUninstallPath) {}

// The two keys differ only in their last two components, in either view.
std::string CUninstallAction::UninstallKeyPath() const {
  if (kind_ != kArpCacheEntry) return keyPath_;
  const std::string tail = "App Management\\ARPCache";
  if (keyPath_.size() < tail.size()) return kUninstallPath;
  return keyPath_.substr(0, keyPath_.size() - tail.size()) + "Uninstall";
}

int CUninstallAction::GetCategory() { return kCatUninstall; }

int CUninstallAction::Fix() {
  if (kind_ == kArpCacheEntry)
    return GetBackupManager().DeleteKey("ARPCache entry for " + keyName_, HKEY_LOCAL_MACHINE,
                                        keyPath_, keyName_);
  return GetBackupManager().DeleteKey("Uninstall entry for " + keyName_, HKEY_LOCAL_MACHINE,
                                      keyPath_, keyName_);
}

int CUninstallAction::GetDescription(std::string& out) {
  if (kind_ == kArpCacheEntry) {
    out = "ARPCache entry for " + keyName_ + " is obsolete";
  } else {
    out = "Application " + (displayName_.empty() ? keyName_ : displayName_) + " already uninstalled";
  }
  return 1;
}

// Both kinds name the Uninstall entry: that is the program the user knows
// the cache entry by.
int CUninstallAction::GetLocation(std::string& out) {
  out = "HKLM\\" + UninstallKeyPath() + "\\" + keyName_;
  return 1;
}

}  // namespace RegCheck
