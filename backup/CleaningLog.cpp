#include "backup/CleaningLog.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/Handle.h"

namespace RegCheck {

namespace {

class LockGuard {
 public:
  explicit LockGuard(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~LockGuard() { LeaveCriticalSection(&lock_); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  CRITICAL_SECTION& lock_;
};

std::string FormatV(const char* format, va_list args) {
  std::vector<char> buffer(1024);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    // Some C runtimes answer -1 instead of the needed length when the text
    // does not fit; grow until it does.
    if (n >= 0 && static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(n >= 0 ? static_cast<size_t>(n) + 1 : buffer.size() * 2);
  }
}

}  // namespace

CCleaningLog::CCleaningLog() : logPath_("c:\\reg_clean.log") { InitializeCriticalSection(&lock_); }

CCleaningLog::~CCleaningLog() { DeleteCriticalSection(&lock_); }

void CCleaningLog::Print(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatV(format, args);
  va_end(args);
  Append(text + "\n");
}

void CCleaningLog::Append(const std::string& text) {
  LockGuard guard(lock_);
  OwnedFile file(CreateFileA(logPath_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  SetFilePointer(file.Get(), 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string CCleaningLog::GetPath() {
  LockGuard guard(lock_);
  return logPath_;
}

void CCleaningLog::SetPathForTesting(const std::string& path) {
  CCleaningLog& log = GetCleaningLog();
  LockGuard guard(log.lock_);
  log.logPath_ = path;
}

CCleaningLog& GetCleaningLog() {
  static CCleaningLog log;
  return log;
}

}  // namespace RegCheck
