#pragma once
// One recorded deletion: what was removed, the byte snapshot that can write
// it back, and the record form it takes in a backup file.

#include <windows.h>

#include <string>

#include "backup/SessionCodec.h"

namespace RegCheck {

class CBackupSession;

class IRegistryOperation {
 public:
  IRegistryOperation(const IRegistryOperation&) = delete;
  IRegistryOperation& operator=(const IRegistryOperation&) = delete;

  // Unlinks the operation from its session, which becomes dirty.
  virtual ~IRegistryOperation();
  virtual std::string GetDescription() = 0;
  // The recorded snapshot of the deleted key or value.
  virtual Bytes GetSnapshot() = 0;
  // Writes the snapshot back into the registry; 1 on success, 0 when the
  // snapshot is damaged (nothing is then written) or a registry call fails.
  virtual int Restore() = 0;
  // Performs the deletion; 1 on success, 0 on failure.
  virtual int Execute() = 0;
  // Size in bytes of the record that Write produces.
  virtual int GetRecordSize() = 0;
  // Fills `record` with this operation's fields.
  virtual void Write(OperationRecord& record) = 0;
  // Takes the fields from a record read from a file. A root spelled other
  // than exactly "HKLM", "HKCU" or "HKCR" leaves the operation without a
  // root. Returns 1.
  virtual int Read(const OperationRecord& record) = 0;
  // kKeyDeleteType or kValueDeleteType.
  virtual int GetType() = 0;

  CBackupSession* GetSession() const { return session_; }

 protected:
  // Appends the operation to `session`, which becomes dirty.
  explicit IRegistryOperation(CBackupSession* session);

 private:
  CBackupSession* const session_;
};

}  // namespace RegCheck
