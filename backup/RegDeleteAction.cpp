#include "backup/RegDeleteAction.h"

#include <cstring>

#include "backup/Snapshot.h"
#include "engine/RegRoots.h"

namespace RegCheck {

namespace {

std::string StripBackslashes(const std::string& path) {
  const size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return std::string();
  const size_t last = path.find_last_not_of('\\');
  return path.substr(first, last - first + 1);
}

HKEY RootFromRecordBytes(const std::string& bytes) {
  // Exact comparison: the record always spells the root in upper case.
  if (bytes == "HKLM") return HKEY_LOCAL_MACHINE;
  if (bytes == "HKCU") return HKEY_CURRENT_USER;
  if (bytes == "HKCR") return HKEY_CLASSES_ROOT;
  return nullptr;
}

}  // namespace

CRegDeleteAction::CRegDeleteAction(CBackupSession* session, const std::string& description,
                                   HKEY root, const std::string& keyPath, const std::string& name)
    : IRegistryOperation(session),
      description_(description),
      name_(name),
      keyPath_(StripBackslashes(keyPath)),
      root_(root) {}

int CRegDeleteAction::Restore() { return RestoreSnapshot(snapshot_); }

int CRegDeleteAction::VerifySnapshot(const char** mismatch) {
  const char* failed = nullptr;
  Snapshot recorded;
  Snapshot now;
  if (!DecodeSnapshot(snapshot_.data(), snapshot_.size(), recorded))
    failed = "the snapshot does not parse back";
  else if (recorded.path != SnapshotPath())
    failed = "the snapshot names another key";
  else if (!Capture(now))
    failed = "the registry could not be read again";
  else if (!SameNode(recorded.root, now.root))
    failed = "the snapshot differs from the registry";
  if (failed && mismatch) *mismatch = failed;
  return failed ? 0 : 1;
}

int CRegDeleteAction::GetRecordSize() {
  OperationRecord record;
  Write(record);
  return static_cast<int>(RecordSize(record));
}

void CRegDeleteAction::Write(OperationRecord& record) {
  record.type = static_cast<uint32_t>(GetType());
  // An operation read with an unknown root keeps four zero bytes, which read
  // back as "no root" again.
  const char* abbreviation = RootAbbreviation(root_);
  record.root = std::strlen(abbreviation) == 4 ? std::string(abbreviation) : std::string(4, '\0');
  record.keyPath = keyPath_;
  record.name = name_;
  record.description = description_;
  record.snapshot = snapshot_;
}

int CRegDeleteAction::Read(const OperationRecord& record) {
  root_ = RootFromRecordBytes(record.root);
  keyPath_ = record.keyPath;
  name_ = record.name;
  description_ = record.description;
  snapshot_ = record.snapshot;
  captured_ = 1;
  return 1;
}

}  // namespace RegCheck
