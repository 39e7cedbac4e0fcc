#include "backup/RegKeyDeleteAction.h"

#include "backup/Snapshot.h"
#include "engine/RegKey.h"
#include "engine/RegRoots.h"
#include "engine/RegView.h"

namespace RegCheck {

CRegKeyDeleteAction::CRegKeyDeleteAction(CBackupSession* session) : CRegDeleteAction(session) {}

CRegKeyDeleteAction::CRegKeyDeleteAction(CBackupSession* session, const std::string& description,
                                         HKEY root, const std::string& keyPath,
                                         const std::string& name)
    : CRegDeleteAction(session, description, root, keyPath, name) {
  captured_ = SnapshotKey(root_, GetFullPath(), snapshot_);
}

std::string CRegKeyDeleteAction::GetFullPath() const { return JoinKeyPath(keyPath_, name_); }

std::string CRegKeyDeleteAction::SnapshotPath() const { return KeyPathText(root_, GetFullPath()); }

int CRegKeyDeleteAction::Capture(Snapshot& out) const { return CaptureKey(root_, GetFullPath(), out); }

int CRegKeyDeleteAction::Execute() {
  if (name_.empty() || !root_) {
    deleteError_ = ERROR_INVALID_PARAMETER;
    return 0;
  }
  RegKey parent;
  LONG rc = parent.Open(root_, keyPath_.c_str(), kReadWriteAccess);
  if (rc == ERROR_SUCCESS) rc = DeleteKeyTree(parent.Handle(), name_);
  if (rc != ERROR_SUCCESS) deleteError_ = rc;
  return rc == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace RegCheck
