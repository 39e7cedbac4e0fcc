#include "backup/BackupManager.h"

#include <objbase.h>

#include <string>

#include "backup/CleaningLog.h"
#include "backup/DeletionGuard.h"
#include "backup/RegKeyDeleteAction.h"
#include "backup/RegValueDeleteAction.h"
#include "engine/Handle.h"

namespace RegCheck {

namespace {

CBackupManager* g_testManager = nullptr;

std::string ProgramBackupFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length < MAX_PATH ? length : 0);
  const size_t slash = folder.find_last_of('\\');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
  return folder + "\\Backup";
}

std::string StripTrailingBackslashes(std::string path) {
  while (path.size() > 1 && path.back() == '\\') path.pop_back();
  return path;
}

bool HasExtension(const std::string& name, const char* extension) {
  // "*.rbk" also matches longer extensions through short file names.
  const size_t length = lstrlenA(extension);
  return name.size() > length && lstrcmpiA(name.c_str() + name.size() - length, extension) == 0;
}

// The files of `folder` with `extension`, in listing order.
std::vector<std::string> ListFiles(const std::string& folder, const char* extension) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  OwnedFind find(FindFirstFileA((folder + "\\*" + extension).c_str(), &found));
  if (!find) return names;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (HasExtension(found.cFileName, extension)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  return names;
}

// A fresh GUID in registry form, "{8-4-4-4-12}" in upper case; "" on failure.
std::string NewGuidText() {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return std::string();
  LPOLESTR wide = nullptr;
  if (FAILED(StringFromCLSID(guid, &wide))) return std::string();
  char text[64] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
  CoTaskMemFree(wide);
  return n > 0 ? std::string(text) : std::string();
}

// The system's text for a Windows error code, without the line break it
// ends with; the code in figures when the system has no text for it.
std::string ErrorText(DWORD error) {
  char text[256] = "";
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           error, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
  if (n == 0) return "error " + std::to_string(error);
  return std::string(text, n);
}

const char kJournalExtension[] = ".rbj";
const char kBackupExtension[] = ".rbk";

}  // namespace

const char* DeletionFailureName(DeletionFailure failure) {
  switch (failure) {
    case DeletionFailure::kNone:
      return "";
    case DeletionFailure::kGuard:
      return "guard";
    case DeletionFailure::kCapture:
      return "capture";
    case DeletionFailure::kVerification:
      return "verification";
    case DeletionFailure::kJournal:
      return "journal";
    case DeletionFailure::kDelete:
      return "delete";
  }
  return "";
}

CBackupManager::CBackupManager() : CBackupManager(ProgramBackupFolder()) {}

CBackupManager::CBackupManager(const std::string& backupFolder)
    : backupFolder_(StripTrailingBackslashes(backupFolder)) {
  if (GetFileAttributesA(backupFolder_.c_str()) == INVALID_FILE_ATTRIBUTES)
    CreateDirectoryA(backupFolder_.c_str(), nullptr);
  RecoverJournals();
  LoadSessions();
}

CBackupManager::~CBackupManager() { SaveSessions(); }

void CBackupManager::RecoverJournals() {
  for (const std::string& name : ListFiles(backupFolder_, kJournalExtension)) {
    const std::string stem = name.substr(0, name.size() - 4);
    CBackupJournal::Recover(backupFolder_ + "\\" + name, backupFolder_ + "\\" + stem + kBackupExtension);
  }
}

void CBackupManager::LoadSessions() {
  for (const std::string& name : ListFiles(backupFolder_, kBackupExtension)) {
    std::unique_ptr<CBackupSession> session(new CBackupSession());
    if (!session->Load(backupFolder_ + "\\" + name)) continue;
    session->SetDirty(0);
    sessions_.push_back(session.release());
  }
}

void CBackupManager::SaveSessions() {
  if (currentSession_.Count() > 0) {
    const std::string guid = journalGuid_.empty() ? NewGuidText() : journalGuid_;
    // Until the backup file is complete the journal is the backup.
    if (!guid.empty() && currentSession_.Save(backupFolder_ + "\\" + guid + kBackupExtension) &&
        journal_)
      journal_->Discard();
  } else if (journal_) {
    journal_->Discard();
  }
  journal_.reset();
  for (CBackupSession* session : sessions_) {
    if (session->IsDirty()) {
      if (session->Count() > 0)
        session->Save(session->GetFilePath());
      else
        DeleteFileA(session->GetFilePath().c_str());
    }
    delete session;
  }
  sessions_.clear();
}

std::string CBackupManager::GetCurrentSessionFile() const {
  if (journalGuid_.empty() || currentSession_.Count() == 0) return std::string();
  return backupFolder_ + "\\" + journalGuid_ + kBackupExtension;
}

DeletionFailure CBackupManager::Commit(std::unique_ptr<CRegDeleteAction> operation,
                                      std::string& detail) {
  // Nothing is deleted that the snapshot could not bring back.
  const char* mismatch = nullptr;
  if (!operation->IsCaptured() || !operation->VerifySnapshot(&mismatch)) {
    lastFailure_ = "it could not be backed up completely, so it was left in place";
    if (!operation->IsCaptured()) {
      detail = "the snapshot could not read all of it";
      return DeletionFailure::kCapture;
    }
    detail = mismatch;
    return DeletionFailure::kVerification;
  }
  if (!journal_) {
    journalGuid_ = NewGuidText();
    if (journalGuid_.empty()) {
      lastFailure_ = "no name could be made for the backup file";
      detail = lastFailure_;
      return DeletionFailure::kJournal;
    }
    journal_.reset(new CBackupJournal(backupFolder_ + "\\" + journalGuid_ + kJournalExtension,
                                      CBackupSession::ToStoredTime(currentSession_.GetTime())));
  }
  OperationRecord record;
  operation->Write(record);
  if (!journal_->Append(record)) {
    const DWORD error = GetLastError();
    lastFailure_ = "the backup folder " + backupFolder_ + " cannot be written: " + ErrorText(error);
    detail = lastFailure_;
    return DeletionFailure::kJournal;
  }
  if (!operation->Execute()) {
    lastFailure_ = "the registry refused the deletion";
    const DWORD error = static_cast<DWORD>(operation->GetDeleteError());
    detail = ErrorText(error) + " (error " + std::to_string(error) + ")";
    journal_->Revoke();
    return DeletionFailure::kDelete;
  }
  operation.release();
  return DeletionFailure::kNone;
}

int CBackupManager::Delete(const char* call, const std::string& keyPath, const std::string& name,
                           const char* refusal,
                           const std::function<CRegDeleteAction*()>& make) {
  CCleaningLog& log = GetCleaningLog();
  log.Print("CBackupManager::%s (%s, %s)", call, keyPath.c_str(), name.c_str());
  lastFailure_.clear();
  std::string detail;
  if (refusal) {
    log.Print("CBackupManager::%s refused (%s, %s): %s", call, keyPath.c_str(), name.c_str(),
              refusal);
    lastFailure_ = std::string("the deletion was refused: ") + refusal;
    lastFailureKind_ = DeletionFailure::kGuard;
    detail = refusal;
  } else {
    lastFailureKind_ = Commit(std::unique_ptr<CRegDeleteAction>(make()), detail);
  }
  if (lastFailureKind_ == DeletionFailure::kNone) return 1;
  log.Print("CBackupManager::%s failed (%s, %s): %s: %s", call, keyPath.c_str(), name.c_str(),
            DeletionFailureName(lastFailureKind_), detail.c_str());
  return 0;
}

int CBackupManager::DeleteKey(const std::string& description, HKEY root, const std::string& keyPath,
                              const std::string& name) {
  return Delete("DeleteKey", keyPath, name, KeyDeletionRefusal(root, keyPath, name), [&] {
    return new CRegKeyDeleteAction(&currentSession_, description, root, keyPath, name);
  });
}

int CBackupManager::DeleteValue(const std::string& description, HKEY root,
                                const std::string& keyPath, const std::string& name) {
  return Delete("DeleteValue", keyPath, name, ValueDeletionRefusal(root, keyPath), [&] {
    return new CRegValueDeleteAction(&currentSession_, description, root, keyPath, name);
  });
}

CBackupManager& GetBackupManager() {
  if (g_testManager) return *g_testManager;
  static CBackupManager manager;
  return manager;
}

void SetBackupManagerForTesting(CBackupManager* manager) { g_testManager = manager; }

}  // namespace RegCheck
