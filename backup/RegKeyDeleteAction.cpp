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
  if (name_.empty() || !root_) return 0;
  RegKey parent;
  if (parent.Open(root_, keyPath_.c_str(), kReadWriteAccess) != ERROR_SUCCESS) return 0;
  return DeleteKeyTree(parent.Handle(), name_) == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace RegCheck
