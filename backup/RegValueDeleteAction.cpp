#include "backup/RegValueDeleteAction.h"

#include "backup/Snapshot.h"
#include "engine/RegKey.h"
#include "engine/RegRoots.h"

namespace RegCheck {

CRegValueDeleteAction::CRegValueDeleteAction(CBackupSession* session) : CRegDeleteAction(session) {}

CRegValueDeleteAction::CRegValueDeleteAction(CBackupSession* session,
                                             const std::string& description, HKEY root,
                                             const std::string& keyPath, const std::string& name)
    : CRegDeleteAction(session, description, root, keyPath, name) {
  captured_ = SnapshotValue(root_, keyPath_, name_, snapshot_);
}

std::string CRegValueDeleteAction::SnapshotPath() const { return KeyPathText(root_, keyPath_); }

int CRegValueDeleteAction::Capture(Snapshot& out) const {
  return CaptureValue(root_, keyPath_, name_, out);
}

int CRegValueDeleteAction::Execute() {
  if (!root_) {
    deleteError_ = ERROR_INVALID_PARAMETER;
    return 0;
  }
  RegKey key;
  LONG rc = key.Open(root_, keyPath_.c_str(), kReadWriteAccess);
  if (rc == ERROR_SUCCESS) rc = key.DeleteValue(name_.c_str());
  if (rc != ERROR_SUCCESS) deleteError_ = rc;
  return rc == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace RegCheck
