#include "backup/RegistryOperation.h"

#include "backup/BackupSession.h"

namespace RegCheck {

IRegistryOperation::IRegistryOperation(CBackupSession* session) : session_(session) {
  session_->Link(this);
}

IRegistryOperation::~IRegistryOperation() { session_->Unlink(this); }

}  // namespace RegCheck
