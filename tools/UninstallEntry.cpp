#include "tools/UninstallEntry.h"

#include "backup/BackupManager.h"

namespace RegCheck {

UninstallEntry::UninstallEntry(const std::string& keyName, const std::string& displayName,
                               const std::string& uninstallString, const std::string& keyPath)
    : keyName_(keyName), displayName_(displayName), uninstallString_(uninstallString),
      keyPath_(keyPath) {}

UINT UninstallEntry::Run() const { return WinExec(uninstallString_.c_str(), SW_SHOW); }

int UninstallEntry::Remove() const {
  // An empty subkey name would make the deletion take the whole Uninstall key.
  if (keyName_.empty()) return 0;
  return GetBackupManager().DeleteKey("Uninstall info entry " + keyName_, HKEY_LOCAL_MACHINE, keyPath_,
                                      keyName_);
}

}  // namespace RegCheck
