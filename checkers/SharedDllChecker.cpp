#include "checkers/SharedDllChecker.h"

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kSharedDllsPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls";

}  // namespace

void CSharedDllChecker::Scan(CActionList& results) {
  CHandler handler(results);
  RegEnumerator::WalkLevel(HKEY_LOCAL_MACHINE, kSharedDllsPath, RegEnumerator::kReportValues,
                           handler);
}

// The count in the data does not matter: a DLL that is gone needs no count.
void CSharedDllChecker::CHandler::OnValue(HKEY, const std::string&, const std::string& valueName,
                                          DWORD, DWORD) {
  if (!CheckPath(valueName, PATH_FILE)) results_.Add(new CSharedDllAction(valueName));
}

int CSharedDllAction::GetCategory() { return kCatSharedDll; }

int CSharedDllAction::Fix() {
  return GetBackupManager().DeleteValue("Shared DLL entry " + valueName_, HKEY_LOCAL_MACHINE,
                                        kSharedDllsPath, valueName_);
}

int CSharedDllAction::GetDescription(std::string& out) {
  out = "Shared dll " + valueName_ + " not exists";
  return 1;
}

int CSharedDllAction::GetLocation(std::string& out) {
  out = std::string("HKLM\\") + kSharedDllsPath + " (VALUE:" + valueName_ + ")";
  return 1;
}

}  // namespace RegCheck
