#pragma once
// What a key deletion and a value deletion share: the recorded fields, the
// record form and the restore from the snapshot.

#include <windows.h>

#include <string>

#include "backup/RegistryOperation.h"
#include "backup/SnapshotCodec.h"

namespace RegCheck {

class CRegDeleteAction : public IRegistryOperation {
 public:
  std::string GetDescription() override { return description_; }
  Bytes GetSnapshot() override { return snapshot_; }
  int Restore() override;
  int GetRecordSize() override;
  void Write(OperationRecord& record) override;
  int Read(const OperationRecord& record) override;

  const std::string& GetName() const { return name_; }
  const std::string& GetKeyPath() const { return keyPath_; }
  // Null for an operation read from a record with an unknown root.
  HKEY GetRoot() const { return root_; }
  // 1 when the snapshot taken at construction holds everything that the
  // deletion would remove; a deletion is only executed when it does.
  int IsCaptured() const { return captured_; }
  // Parses the recorded snapshot back and checks that it names what it was
  // taken of and holds exactly what the registry holds now; 1 when it does.
  // On 0, `mismatch` (when given) receives which of those checks failed.
  int VerifySnapshot(const char** mismatch = nullptr);
  // The Windows error code of the last Execute that answered 0 (opening
  // the key or deleting); ERROR_SUCCESS before any such failure.
  LONG GetDeleteError() const { return deleteError_; }

 protected:
  // An empty operation, to be filled by Read.
  explicit CRegDeleteAction(CBackupSession* session) : IRegistryOperation(session) {}
  // Leading and trailing backslashes are removed from `keyPath`.
  CRegDeleteAction(CBackupSession* session, const std::string& description, HKEY root,
                   const std::string& keyPath, const std::string& name);

  // The path text the snapshot carries, and a fresh capture of the same
  // key or value.
  virtual std::string SnapshotPath() const = 0;
  virtual int Capture(Snapshot& out) const = 0;

  std::string description_;
  std::string name_;
  std::string keyPath_;
  HKEY root_ = nullptr;
  Bytes snapshot_;
  int captured_ = 0;
  LONG deleteError_ = ERROR_SUCCESS;
};

}  // namespace RegCheck
