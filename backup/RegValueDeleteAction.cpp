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
  if (!root_) return 0;
  RegKey key;
  if (key.Open(root_, keyPath_.c_str(), kReadWriteAccess) != ERROR_SUCCESS) return 0;
  return key.DeleteValue(name_.c_str()) == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace RegCheck
