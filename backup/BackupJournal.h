#pragma once
// The recovery journal of the current session: every deletion is appended
// and flushed before it happens, so a crash or power loss in a long fix run
// keeps the backup of everything already deleted. At a clean exit the
// session is saved as a ".rbk" file and the journal removed; a journal left
// by a crash is turned into a ".rbk" file at the next start.

#include <windows.h>

#include <string>

#include "backup/SessionCodec.h"
#include "engine/Handle.h"

namespace RegCheck {

class CBackupJournal {
 public:
  // Nothing is created until the first Append.
  CBackupJournal(const std::string& path, const SessionTime& sessionTime);
  ~CBackupJournal() = default;
  CBackupJournal(const CBackupJournal&) = delete;
  CBackupJournal& operator=(const CBackupJournal&) = delete;

  // Appends one operation and flushes it to disk (creating the file with its
  // header the first time); 1 when it is on disk.
  int Append(const OperationRecord& record);
  // Records that the last appended operation did not happen; 1 on success.
  int Revoke();
  // Closes and deletes the file.
  void Discard();
  const std::string& GetPath() const { return path_; }

  // Turns the journal at `journalPath` into the backup file `backupPath`
  // and deletes the journal. A journal whose backup file already exists
  // (the exit saved it, then the journal could not be deleted) or that
  // holds no operation is just deleted. 0, leaving the journal in place,
  // when it cannot be read or the backup cannot be written.
  static int Recover(const std::string& journalPath, const std::string& backupPath);

 private:
  int AppendFrame(const Bytes& frame);

  std::string path_;
  SessionTime time_;
  OwnedFile file_;
  // End of the last complete frame: a failed append is cut back to it so
  // later frames never follow a torn one.
  DWORD goodEnd_ = 0;
};

}  // namespace RegCheck
