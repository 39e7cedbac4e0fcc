#pragma once
// Every deletion of registry data goes through the backup manager, which
// snapshots what is about to disappear into the current backup session first.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "backup/BackupJournal.h"
#include "backup/BackupSession.h"
#include "backup/RegDeleteAction.h"

namespace RegCheck {

// What stopped a deletion, in the order its steps run: the guard refused
// it, the snapshot could not hold all of it, the snapshot did not read back
// as what is there, the journal could not be named or written, or the
// registry refused the deletion itself.
enum class DeletionFailure { kNone, kGuard, kCapture, kVerification, kJournal, kDelete };

// "guard", "capture", "verification", "journal" or "delete", as the
// cleaning log names them; "" for kNone.
const char* DeletionFailureName(DeletionFailure failure);

class CBackupManager {
 public:
  // The program's manager: backup folder "Backup" beside the program file.
  CBackupManager();
  // A manager over another folder (tests, tools). Either constructor creates
  // the folder when missing, turns recovery journals left by a crashed run
  // into ".rbk" files, and loads every ".rbk" file in it; files that do not
  // load are left alone.
  explicit CBackupManager(const std::string& backupFolder);
  // Saves the current session to a new GUID-named file when it holds
  // anything (then drops its journal), rewrites loaded sessions that changed
  // (or deletes the file of one that became empty) and destroys them.
  ~CBackupManager();
  CBackupManager(const CBackupManager&) = delete;
  CBackupManager& operator=(const CBackupManager&) = delete;

  // Deletes subkey `name` of `keyPath` under `root` with its whole subtree;
  // 1 when deleted and recorded, 0 otherwise with nothing recorded.
  // Nothing is deleted unless the snapshot holds all of it, parses back to
  // exactly what is there, and is on disk in the journal; deletions that the
  // guard refuses (containers, roots, names escaping their parent) are
  // logged and not attempted. Every deletion logs
  // "CBackupManager::DeleteKey (<keyPath>, <name>)"; one that fails adds
  // "CBackupManager::DeleteKey failed (<keyPath>, <name>): <stage>: <why>"
  // with the stage's DeletionFailureName.
  int DeleteKey(const std::string& description, HKEY root, const std::string& keyPath,
                const std::string& name);
  // Deletes value `name` ("" = default value) of key `keyPath`; 1 when
  // deleted and recorded, 0 otherwise. Logged as DeleteKey is, with
  // "DeleteValue" in the lines.
  int DeleteValue(const std::string& description, HKEY root, const std::string& keyPath,
                  const std::string& name);

  // Why the last DeleteKey or DeleteValue answered 0, in words for the
  // user ("the backup folder ... cannot be written: Access is denied.");
  // empty after a deletion that succeeded.
  const std::string& GetLastFailure() const { return lastFailure_; }
  // The step the last DeleteKey or DeleteValue failed at; kNone after a
  // deletion that succeeded.
  DeletionFailure GetLastFailureKind() const { return lastFailureKind_; }

  CBackupSession& GetCurrentSession() { return currentSession_; }
  // The sessions loaded at start-up, in directory-listing order.
  const std::vector<CBackupSession*>& GetSessions() const { return sessions_; }
  const std::string& GetBackupFolder() const { return backupFolder_; }
  // The ".rbk" file the current session is written to at exit (its name is
  // that of the recovery journal, so a crashed run's file gets it too);
  // empty while nothing was deleted.
  std::string GetCurrentSessionFile() const;

 private:
  void RecoverJournals();
  void LoadSessions();
  void SaveSessions();
  // What DeleteKey and DeleteValue share: the log lines, the guard's
  // `refusal` (null: allowed) and the commit of the operation `make` builds.
  int Delete(const char* call, const std::string& keyPath, const std::string& name,
             const char* refusal, const std::function<CRegDeleteAction*()>& make);
  // Verifies, journals and executes a new operation; keeps it on success.
  // On failure sets lastFailure_ and `detail`, the log's words for it.
  DeletionFailure Commit(std::unique_ptr<CRegDeleteAction> operation, std::string& detail);

  std::string backupFolder_;
  CBackupSession currentSession_;
  std::vector<CBackupSession*> sessions_;
  // Created with the first deletion; its GUID names the ".rbk" file too.
  std::unique_ptr<CBackupJournal> journal_;
  std::string journalGuid_;
  std::string lastFailure_;
  DeletionFailure lastFailureKind_ = DeletionFailure::kNone;
};

// The one backup manager of the process, created on first use.
CBackupManager& GetBackupManager();

// Makes GetBackupManager() answer `manager` (nullptr: the program's own
// again). For tests, so that code which deletes through the accessor records
// into a manager over a temporary folder; the program's own manager is then
// never created.
void SetBackupManagerForTesting(CBackupManager* manager);

}  // namespace RegCheck
