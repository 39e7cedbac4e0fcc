#include "backup/BackupJournal.h"

#include <windows.h>

#include <new>

#include "backup/BackupSession.h"
#include "backup/JournalCodec.h"

namespace RegCheck {

CBackupJournal::CBackupJournal(const std::string& path, const SessionTime& sessionTime)
    : path_(path), time_(sessionTime) {}

int CBackupJournal::AppendFrame(const Bytes& frame) {
  if (!file_.Valid()) {
    // Others may read it (a recovery by another instance) but never write.
    OwnedFile created(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created.Valid()) return 0;
    Bytes header;
    EncodeJournalHeader(time_, header);
    DWORD written = 0;
    if (!WriteFile(created.Get(), header.data(), static_cast<DWORD>(header.size()), &written, nullptr) ||
        written != header.size()) {
      created.Reset();
      DeleteFileA(path_.c_str());
      return 0;
    }
    file_.Reset(created.Release());
    goodEnd_ = static_cast<DWORD>(header.size());
  }
  DWORD written = 0;
  if (!WriteFile(file_.Get(), frame.data(), static_cast<DWORD>(frame.size()), &written, nullptr) ||
      written != frame.size() || !FlushFileBuffers(file_.Get())) {
    SetFilePointer(file_.Get(), static_cast<LONG>(goodEnd_), nullptr, FILE_BEGIN);
    SetEndOfFile(file_.Get());
    return 0;
  }
  goodEnd_ += written;
  return 1;
}

int CBackupJournal::Append(const OperationRecord& record) {
  Bytes frame;
  if (!EncodeJournalEntry(record, frame)) return 0;
  return AppendFrame(frame);
}

int CBackupJournal::Revoke() {
  if (!file_.Valid()) return 0;
  Bytes frame;
  EncodeJournalRevoke(frame);
  return AppendFrame(frame);
}

void CBackupJournal::Discard() {
  file_.Reset();
  DeleteFileA(path_.c_str());
}

int CBackupJournal::Recover(const std::string& journalPath, const std::string& backupPath) {
  if (GetFileAttributesA(backupPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
    DeleteFileA(journalPath.c_str());
    return 1;
  }
  try {
    OwnedFile file(CreateFileA(journalPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return 0;
    DWORD high = 0;
    const DWORD size = GetFileSize(file.Get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kMaxPayloadSize) return 0;
    Bytes content(size);
    DWORD got = 0;
    if (size && (!ReadFile(file.Get(), content.data(), size, &got, nullptr) || got != size)) return 0;
    file.Reset();
    SessionPayload payload;
    // A crash before the header reached the disk leaves a short file
    // holding nothing.
    if (!DecodeJournal(content.data(), content.size(), payload)) {
      if (size >= kJournalHeaderSize) return 0;
    } else if (!payload.operations.empty()) {
      CBackupSession session;
      session.Assign(payload);
      if (!session.Save(backupPath)) return 0;
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  DeleteFileA(journalPath.c_str());
  return 1;
}

}  // namespace RegCheck
