#include "checkers/SharedDllChecker.h"

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/ViewWalk.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kSharedDllsPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

}  // namespace

void CSharedDllChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler handler(context, results);
  WalkLevelInViews(context, HKEY_LOCAL_MACHINE, kSharedDllsPath, RegEnumerator::kReportValues,
                   handler);
}

// The count in the data does not matter: a DLL that is gone needs no count.
void CSharedDllChecker::CHandler::OnValue(HKEY, const std::string& path, const std::string& valueName,
                                          DWORD, DWORD) {
  if (!CheckPath(context_, valueName, PATH_FILE))
    results_.Add(new CSharedDllAction(valueName, path));
}

CSharedDllAction::CSharedDllAction(const std::string& valueName, const std::string& keyPath)
    : valueName_(valueName), keyPath_(keyPath.empty() ? kSharedDllsPath : keyPath) {}

int CSharedDllAction::GetCategory() { return kCatSharedDll; }

int CSharedDllAction::Fix() {
  return GetBackupManager().DeleteValue("Shared DLL entry " + valueName_, HKEY_LOCAL_MACHINE,
                                        keyPath_, valueName_);
}

int CSharedDllAction::GetDescription(std::string& out) {
  out = "Shared dll " + valueName_ + " not exists";
  return 1;
}

int CSharedDllAction::GetLocation(std::string& out) {
  out = "HKLM\\" + keyPath_ + " (VALUE:" + valueName_ + ")";
  return 1;
}

}  // namespace RegCheck
