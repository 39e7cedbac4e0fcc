#pragma once
// The deletion of one subkey with its whole subtree.

#include "backup/RegDeleteAction.h"

namespace RegCheck {

class CRegKeyDeleteAction : public CRegDeleteAction {
 public:
  // An empty operation, to be filled by Read.
  explicit CRegKeyDeleteAction(CBackupSession* session);
  // Records the deletion of subkey `name` of `keyPath` and snapshots
  // `keyPath`\`name` (or `name` alone when `keyPath` is empty) at once;
  // IsCaptured() tells whether the snapshot holds the whole subtree.
  CRegKeyDeleteAction(CBackupSession* session, const std::string& description, HKEY root,
                      const std::string& keyPath, const std::string& name);

  // Deletes the subkey with all its subkeys. Refuses (0, with
  // ERROR_INVALID_PARAMETER as the delete error) an empty name, which would
  // make the parent itself the key deleted.
  int Execute() override;
  int GetType() override { return static_cast<int>(kKeyDeleteType); }
  // Path of the deleted key below its root.
  std::string GetFullPath() const;

 protected:
  std::string SnapshotPath() const override;
  int Capture(Snapshot& out) const override;
};

}  // namespace RegCheck
