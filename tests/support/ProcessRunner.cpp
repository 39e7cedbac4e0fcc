#include "support/ProcessRunner.h"

#include <windows.h>

#include <cstdlib>

namespace testsupport {

namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// Drains the pipe on its own thread so a chatty child never blocks on a
// full pipe while the parent waits for it.
struct Reader {
  HANDLE pipe;
  std::string text;
};

DWORD WINAPI ReadAll(LPVOID param) {
  Reader* reader = static_cast<Reader*>(param);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(reader->pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0)
    reader->text.append(buffer, got);
  return 0;
}

}  // namespace

ProcessResult RunProcess(const std::string& exe, const std::vector<std::string>& args,
                         unsigned long timeoutMs) {
  ProcessResult result;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return result;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  std::string commandLine = Quote(exe);
  for (const std::string& arg : args) commandLine += " " + Quote(arg);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  result.started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &startup, &process) != FALSE;
  CloseHandle(writeEnd);
  if (!result.started) {
    CloseHandle(readEnd);
    return result;
  }
  Reader reader{readEnd, std::string()};
  HANDLE readerThread = CreateThread(nullptr, 0, &ReadAll, &reader, 0, nullptr);
  if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 259);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  WaitForSingleObject(readerThread, INFINITE);
  CloseHandle(readerThread);
  CloseHandle(readEnd);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  result.output = reader.text;
  return result;
}

namespace {

std::string TreeFile(const char* variable, const std::string& relative) {
  const char* root = getenv(variable);
  std::string path = std::string("Z:") + (root ? root : "") + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

std::string BuildTreeFile(const std::string& relative) { return TreeFile("VARNHOLT_BUILD_DIR", relative); }

std::string SourceTreeFile(const std::string& relative) { return TreeFile("VARNHOLT_SOURCE_DIR", relative); }

std::string PrefixDirFile(const std::string& relative) { return TreeFile("VARNHOLT_PREFIX_DIR", relative); }

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

}  // namespace testsupport
