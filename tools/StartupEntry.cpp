#include "tools/StartupEntry.h"

#include "backup/BackupManager.h"

namespace RegCheck {

StartupEntry::StartupEntry(int rootFlag, const std::string& name, const std::string& command,
                           const std::string& keyPath)
    : rootFlag_(rootFlag), name_(name), command_(command), keyPath_(keyPath) {}

HKEY StartupEntry::Root() const {
  if (rootFlag_ == kMachineRoot) return HKEY_LOCAL_MACHINE;
  if (rootFlag_ == kUserRoot) return HKEY_CURRENT_USER;
  return nullptr;
}

std::string StartupEntry::DisplayText() const { return name_ + " - " + command_; }

bool StartupEntry::IsShown() const { return name_ != kOwnStartupName; }

UINT StartupEntry::Run() const { return WinExec(command_.c_str(), SW_SHOW); }

int StartupEntry::Remove() const {
  HKEY root = Root();
  if (!root) return 0;
  return GetBackupManager().DeleteValue("Startup info entry " + name_, root, keyPath_, name_);
}

}  // namespace RegCheck
