#pragma once
// One program that Windows starts at log-on, as found under a Run key.

#include <windows.h>

#include <string>

namespace RegCheck {

// The Run key, read under both HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
inline constexpr char kStartupRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// The program's own log-on value. The startup tool never offers it, so the
// user cannot switch off the scheduled cleaner from here by accident.
inline constexpr char kOwnStartupName[] = "Varnholt";

class StartupEntry {
 public:
  static constexpr int kMachineRoot = 0;  // found under HKEY_LOCAL_MACHINE
  static constexpr int kUserRoot = 1;     // found under HKEY_CURRENT_USER

  // `keyPath` is the Run key the value was found in (the native one or, on
  // 64-bit Windows, its 32-bit twin).
  StartupEntry(int rootFlag, const std::string& name, const std::string& command,
               const std::string& keyPath = kStartupRunKeyPath);

  int RootFlag() const { return rootFlag_; }
  // HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; null for any other flag.
  HKEY Root() const;
  const std::string& Name() const { return name_; }
  const std::string& KeyPath() const { return keyPath_; }
  // The value's data exactly as stored; REG_EXPAND_SZ data is not expanded.
  const std::string& Command() const { return command_; }

  // The list line: name, " - ", command ("name - " for an empty command).
  std::string DisplayText() const;
  // False only for the program's own value, matched with case, so
  // "varnholt" is still shown.
  bool IsShown() const;

  // Starts the command now with WinExec and SW_SHOW; returns WinExec's
  // result (above 31 when the program started).
  UINT Run() const;
  // Deletes this value from the Run key it was found in through the backup
  // manager, recorded as "Startup info entry <name>"; 1 done, 0 failed.
  int Remove() const;

 private:
  int rootFlag_;
  std::string name_;
  std::string command_;
  std::string keyPath_;
};

}  // namespace RegCheck
