#pragma once
// One program registered for removal under the machine's Uninstall key.

#include <windows.h>

#include <string>

namespace RegCheck {

// Read under HKEY_LOCAL_MACHINE only.
inline constexpr char kUninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class UninstallEntry {
 public:
  // `keyPath` is the Uninstall key the program was found in (the native one
  // or, on 64-bit Windows, its 32-bit twin).
  UninstallEntry(const std::string& keyName, const std::string& displayName,
                 const std::string& uninstallString, const std::string& keyPath = kUninstallKeyPath);

  // The program's subkey under the Uninstall key.
  const std::string& KeyName() const { return keyName_; }
  const std::string& DisplayName() const { return displayName_; }
  // The uninstaller's command line exactly as stored, not expanded.
  const std::string& UninstallString() const { return uninstallString_; }
  const std::string& KeyPath() const { return keyPath_; }

  // The list line: the display name. Two programs may share it.
  const std::string& DisplayText() const { return displayName_; }

  // Starts the program's uninstaller with WinExec and SW_SHOW; returns
  // WinExec's result (above 31 when it started).
  UINT Run() const;
  // Deletes the program's subkey with its whole subtree through the backup
  // manager, recorded as "Uninstall info entry <key name>"; 1 done, 0 failed.
  int Remove() const;

 private:
  std::string keyName_;
  std::string displayName_;
  std::string uninstallString_;
  std::string keyPath_;
};

}  // namespace RegCheck
