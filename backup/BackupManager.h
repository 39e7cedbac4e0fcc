#pragma once
// Every deletion of registry data goes through the backup manager, which
// snapshots what is about to disappear into the current backup session first.

#include <windows.h>

#include <string>

namespace RegCheck {

class CBackupManager {
 public:
  // Deletes subkey `name` of `keyPath` under `root` with its whole subtree;
  // 1 when deleted and recorded, 0 otherwise with nothing recorded.
  int DeleteKey(const std::string& description, HKEY root, const std::string& keyPath,
                const std::string& name);
  // Deletes value `name` ("" = default value) of key `keyPath`; 1 when
  // deleted and recorded, 0 otherwise.
  int DeleteValue(const std::string& description, HKEY root, const std::string& keyPath,
                  const std::string& name);
};

// The one backup manager of the process.
CBackupManager& GetBackupManager();

}  // namespace RegCheck
