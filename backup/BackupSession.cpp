#include "backup/BackupSession.h"

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <iterator>
#include <new>

#include "backup/RegKeyDeleteAction.h"
#include "backup/RegValueDeleteAction.h"
#include "backup/SessionFile.h"
#include "engine/Handle.h"

namespace RegCheck {

namespace {

bool ReadWholeFile(const std::string& path, Bytes& content) {
  OwnedFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD high = 0;
  const DWORD size = GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  // No valid backup file comes near this; refuse before allocating.
  if (high != 0 || size == 0 || size > kMaxPayloadSize) return false;
  content.resize(size);
  DWORD got = 0;
  if (!ReadFile(file.Get(), content.data(), size, &got, nullptr) || got != size) return false;
  return true;
}

bool WriteWholeFile(const std::string& path, const Bytes& content) {
  OwnedFile file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                            nullptr);
  const bool complete = ok && written == content.size() && FlushFileBuffers(file.Get());
  file.Reset();
  if (!complete) DeleteFileA(path.c_str());
  return complete;
}

}  // namespace

SessionTime CBackupSession::ToStoredTime(int64_t time) {
  SessionTime out;
  __time64_t value = time;
  const struct tm* local = _localtime64(&value);
  if (!local) {
    // The earliest time a SYSTEMTIME holds; it reads back as time 0.
    out.year = 1601;
    out.month = 1;
    out.day = 1;
    out.dayOfWeek = 1;
    return out;
  }
  out.year = static_cast<uint16_t>(local->tm_year + 1900);
  out.month = static_cast<uint16_t>(local->tm_mon + 1);
  out.dayOfWeek = static_cast<uint16_t>(local->tm_wday);
  out.day = static_cast<uint16_t>(local->tm_mday);
  out.hour = static_cast<uint16_t>(local->tm_hour);
  out.minute = static_cast<uint16_t>(local->tm_min);
  out.second = static_cast<uint16_t>(local->tm_sec);
  out.milliseconds = 0;
  return out;
}

int64_t CBackupSession::FromStoredTime(const SessionTime& time) {
  if (time.year < 1900) return 0;
  struct tm local = {};
  local.tm_year = time.year - 1900;
  local.tm_mon = time.month - 1;
  local.tm_mday = time.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;
  const __time64_t value = _mktime64(&local);
  return value == -1 ? 0 : static_cast<int64_t>(value);
}

CBackupSession::CBackupSession() : time_(static_cast<int64_t>(_time64(nullptr))) {}

CBackupSession::~CBackupSession() { Clear(); }

void CBackupSession::Clear() {
  // Each destructor unlinks its operation, so take them from the back.
  while (!operations_.empty()) delete operations_.back();
}

void CBackupSession::Link(IRegistryOperation* operation) {
  operations_.push_back(operation);
  dirty_ = 1;
}

void CBackupSession::Unlink(IRegistryOperation* operation) {
  // Searched from the back: Clear destroys from there, so tearing down a
  // large session stays linear.
  auto found = std::find(operations_.rbegin(), operations_.rend(), operation);
  if (found == operations_.rend()) return;
  operations_.erase(std::next(found).base());
  dirty_ = 1;
}

int CBackupSession::Serialize(Bytes& payload) {
  SessionPayload parts;
  parts.time = ToStoredTime(time_);
  parts.operations.resize(operations_.size());
  for (size_t i = 0; i < operations_.size(); ++i) operations_[i]->Write(parts.operations[i]);
  return EncodePayload(parts, payload) ? 1 : 0;
}

int CBackupSession::Deserialize(const Bytes& payload) {
  Clear();
  SessionPayload parts;
  if (!DecodePayload(payload.data(), payload.size(), parts)) return 0;
  Assign(parts);
  return 1;
}

void CBackupSession::Assign(const SessionPayload& parts) {
  Clear();
  time_ = FromStoredTime(parts.time);
  for (const OperationRecord& record : parts.operations) {
    IRegistryOperation* operation = nullptr;
    if (record.type == kKeyDeleteType)
      operation = new CRegKeyDeleteAction(this);
    else
      operation = new CRegValueDeleteAction(this);
    operation->Read(record);
  }
}

int CBackupSession::Load(const std::string& path) {
  Clear();
  // A hostile size claim is refused by the codec; what is left is the
  // allocation of a plausible but large session failing.
  try {
    Bytes file;
    Bytes payload;
    if (!ReadWholeFile(path, file) || !UnpackSessionFile(file.data(), file.size(), payload)) return 0;
    file = Bytes();
    if (!Deserialize(payload)) return 0;
  } catch (const std::bad_alloc&) {
    Clear();
    return 0;
  }
  filePath_ = path;
  dirty_ = 0;
  return 1;
}

int CBackupSession::Save(const std::string& path) {
  try {
    Bytes payload;
    Bytes file;
    if (!Serialize(payload) || !PackSessionFile(payload, file)) return 0;
    // Write beside the target and move over it, so a failed write never
    // costs the backup that was already there.
    const std::string temporary = path + ".tmp";
    if (!WriteWholeFile(temporary, file)) return 0;
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      DeleteFileA(temporary.c_str());
      return 0;
    }
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

}  // namespace RegCheck
