#include "bench/RegeditExport.h"

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

namespace {

// Owns a kernel handle for the few lines it is needed.
struct Handle {
  HANDLE h;
  ~Handle() {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

std::vector<wchar_t> ReadUtf16(const std::string& file) {
  std::vector<wchar_t> text;
  Handle in{CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                        nullptr)};
  if (in.h == INVALID_HANDLE_VALUE) return text;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(in.h, &size)) return text;
  text.resize(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t));
  DWORD got = 0;
  if (!ReadFile(in.h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &got,
                nullptr))
    text.clear();
  return text;
}

}  // namespace

ExportFigures MeasureRegeditExport() {
  ExportFigures f;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  // A prefix that no program has used yet may lack its temp folder.
  CreateDirectoryA(temp, nullptr);
  const std::string file = std::string(temp) + "varnholt-bench-export.reg";
  std::string command = "regedit.exe /e \"" + file + "\"";

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  const double start = Now();
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return f;
  Handle thread{process.hThread};
  Handle child{process.hProcess};
  WaitForSingleObject(child.h, INFINITE);
  f.seconds = Now() - start;

  // A key is a "[...]" line, a value a line that starts with its quoted
  // name or "@" for the default; hex data continues on indented lines.
  const std::vector<wchar_t> text = ReadUtf16(file);
  DeleteFileA(file.c_str());
  bool lineStart = true;
  for (wchar_t c : text) {
    if (lineStart) {
      if (c == L'[') ++f.keys;
      if (c == L'"' || c == L'@') ++f.values;
    }
    lineStart = c == L'\n';
  }
  f.ok = f.keys > 0;
  return f;
}

}  // namespace bench
