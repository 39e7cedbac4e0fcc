#include "checkers/StartupChecker.h"

#include <ctype.h>
#include <string.h>

#include <string>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kNativePrefix[] = "SOFTWARE\\";
const char kTwinPrefix[] = "SOFTWARE\\Wow6432Node\\";

// Below kNativePrefix; on 64-bit Windows also below kTwinPrefix.
const char* const kStartKeys[] = {
    "Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Microsoft\\Windows\\CurrentVersion\\RunOnce\\Setup",
    "Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Microsoft\\Windows\\CurrentVersion\\RunEx",
    "Microsoft\\Windows\\CurrentVersion\\Run",
};

constexpr DWORD kCommandBufferBytes = 260;

const char kRundll[] = "rundll32.exe";
// The DLL path starts after "rundll32.exe" and one separator.
constexpr size_t kRundllDllStart = sizeof(kRundll);

// Walks every start key below `prefix`, machine first, then user.
void ScanKeys(CScanContext& context, const char* prefix, CStartupChecker::CHandler& handler) {
  RegEnumerator walker;
  walker.SetFlags(RegEnumerator::kReportValues);
  walker.SetMaxDepth(0);
  const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
  const int selectors[] = {CStartupChecker::CHandler::kMachine, CStartupChecker::CHandler::kUser};
  for (const char* key : kStartKeys) {
    const std::string path = std::string(prefix) + key;
    walker.SetPath(path);
    handler.SetKeyPath(path);
    for (int i = 0; i < 2; ++i) {
      CPathViewScope view(context, ViewOfKey(roots[i], path));
      walker.SetRoot(roots[i]);
      handler.SetRoot(selectors[i]);
      walker.Walk(context, handler);
    }
  }
}

}  // namespace

void CStartupChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler handler(context, results);
  ScanKeys(context, kNativePrefix, handler);
  // The 32-bit programs' start keys, a key of their own on 64-bit Windows.
  if (IsWindows64()) ScanKeys(context, kTwinPrefix, handler);
}

bool CStartupChecker::CheckStartupValue(CScanContext& context, const BYTE* data, DWORD size) {
  // Stored strings need not end in a terminator; a multi-string is judged by
  // its first string.
  std::string command;
  if (!DataText(data, size, kCommandBufferBytes, command)) return false;
  std::string lower = command;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));

  if (lower.compare(0, sizeof(kRundll) - 1, kRundll) != 0)
    return CheckPath(context, command, PATH_COMMAND);
  const size_t comma = lower.find(',');
  if (comma == std::string::npos || comma <= kRundllDllStart) return false;
  return CheckPath(context, lower.substr(kRundllDllStart, comma - kRundllDllStart), PATH_COMMAND);
}

void CStartupChecker::CHandler::OnValueData(HKEY, const std::string&,
                                            const std::string& valueName, DWORD type,
                                            const BYTE* data, DWORD dataSize) {
  if (type != REG_SZ && type != REG_MULTI_SZ) return;
  if (!CheckStartupValue(context_, data, dataSize))
    results_.Add(new CStartupAction(valueName, root_, keyPath_));
}

int CStartupAction::GetCategory() { return kCatStartup; }

int CStartupAction::Fix() {
  return GetBackupManager().DeleteValue("Startup entry for " + valueName_,
                                        root_ == CStartupChecker::CHandler::kUser
                                            ? HKEY_CURRENT_USER
                                            : HKEY_LOCAL_MACHINE,
                                        keyPath_, valueName_);
}

int CStartupAction::GetDescription(std::string& out) {
  out = "Application " + valueName_ + " does not exist";
  return 1;
}

int CStartupAction::GetLocation(std::string& out) {
  out = std::string(root_ == CStartupChecker::CHandler::kUser ? "HKCU\\" : "HKLM\\") + keyPath_ +
        " (VALUE:" + valueName_ + ")";
  return 1;
}

}  // namespace RegCheck
