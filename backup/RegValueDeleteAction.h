#pragma once
// The deletion of one value.

#include "backup/RegDeleteAction.h"

namespace RegCheck {

class CRegValueDeleteAction : public CRegDeleteAction {
 public:
  // An empty operation, to be filled by Read.
  explicit CRegValueDeleteAction(CBackupSession* session);
  // Records the deletion of value `name` ("" = default value) of key
  // `keyPath` and snapshots that one value at once.
  CRegValueDeleteAction(CBackupSession* session, const std::string& description, HKEY root,
                        const std::string& keyPath, const std::string& name);

  int Execute() override;
  int GetType() override { return static_cast<int>(kValueDeleteType); }
 protected:
  std::string SnapshotPath() const override;
  int Capture(Snapshot& out) const override;
};

}  // namespace RegCheck
