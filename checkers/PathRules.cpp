#include "checkers/PathRules.h"

#include <windows.h>

#include <string.h>

#include <vector>

#include "checkers/FileProbe.h"

namespace RegCheck {

namespace {

constexpr size_t kExpandBufferChars = 260;

bool StartsWithNoCase(const std::string& text, const char* prefix, size_t length) {
  return text.size() >= length && _strnicmp(text.c_str(), prefix, length) == 0;
}

std::string Trim(const std::string& text, const char* characters) {
  size_t first = text.find_first_not_of(characters);
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(characters);
  return text.substr(first, last - first + 1);
}

// The variables whose value depends on the reading program's bitness, and
// what a 64-bit and a 32-bit program see for them. Both forms exist in the
// environment of either kind of process on 64-bit Windows.
struct ViewVariable {
  const char* name;
  const char* native;
  const char* wow32;
};
const ViewVariable kViewVariables[] = {
    {"%ProgramFiles%", "%ProgramW6432%", "%ProgramFiles(x86)%"},
    {"%CommonProgramFiles%", "%CommonProgramW6432%", "%CommonProgramFiles(x86)%"},
};

bool NamesViewVariable(const std::string& text) {
  for (const ViewVariable& variable : kViewVariables)
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1))
      if (StartsWithNoCase(text.substr(at), variable.name, strlen(variable.name))) return true;
  return false;
}

// Puts the reading program's form of each view-dependent variable in place.
void ApplyViewVariables(RegView view, std::string& path) {
  if (view == RegView::kShared) return;
  for (const ViewVariable& variable : kViewVariables) {
    const char* replacement = view == RegView::kNativeView ? variable.native : variable.wow32;
    const size_t length = strlen(variable.name);
    for (size_t at = path.find('%'); at != std::string::npos; at = path.find('%', at + 1)) {
      if (!StartsWithNoCase(path.substr(at), variable.name, length)) continue;
      path.replace(at, length, replacement);
      at += strlen(replacement) - 1;
    }
  }
}

}  // namespace

CPathViewScope::CPathViewScope(CScanContext& context, RegView view)
    : context_(context), previous_(context.GetView()) {
  context.SetView(view);
}

CPathViewScope::~CPathViewScope() { context_.SetView(previous_); }

void NormalizePath(const CScanContext& context, std::string& path) {
  if (StartsWithNoCase(path, "\\??\\", 4)) path.erase(0, 4);
  if (StartsWithNoCase(path, "\\SystemRoot\\", 12)) path = "%SYSTEMROOT%\\" + path.substr(12);
  ApplyViewVariables(context.GetView(), path);

  char expanded[kExpandBufferChars];
  DWORD needed = ExpandEnvironmentStringsA(path.c_str(), expanded, kExpandBufferChars);
  if (needed == 0 || needed > kExpandBufferChars) {
    path.clear();
    return;
  }
  path = expanded;
}

bool CheckFile(CScanContext& context, const std::string& path, unsigned flags) {
  // Once a scan is cancelled its results are discarded as incomplete; answer
  // at once so a long command line or PATH search stops within one probe,
  // and answer "found" so nothing new is reported meanwhile.
  if (context.IsCancelled() || !FileChecksEnabled()) return true;
  std::string candidate = Trim(path, " \"");
  // No file name can hold these characters, so such a candidate (typically
  // a whole quoted command line) is answered without asking the disk.
  if (candidate.empty() || candidate.find_first_of("\"<>|") != std::string::npos) return false;
  // One attribute lookup answers both "does it exist" and "is it a folder".
  DWORD attributes = ProbeFileAttributes(context, candidate);
  if (attributes == INVALID_FILE_ATTRIBUTES && (flags & PATH_TRY_COM))
    attributes = ProbeFileAttributes(context, candidate + ".com");
  if (attributes == INVALID_FILE_ATTRIBUTES && (flags & PATH_TRY_EXE))
    attributes = ProbeFileAttributes(context, candidate + ".exe");
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return (flags & PATH_ACCEPT_DIR) != 0;
  return (flags & PATH_ACCEPT_FILE) != 0;
}

bool SearchEnvPath(CScanContext& context, const std::string& name, unsigned flags) {
  std::string trimmed = Trim(name, " \"");
  // An empty name would turn every PATH folder itself into a hit, and a
  // drive-qualified path joined to a folder can never exist.
  if (trimmed.empty() || trimmed.find(":\\") != std::string::npos) return false;
  std::string pathVariable;
  DWORD needed = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (needed > 0) {
    std::vector<char> buffer(needed);
    DWORD got = GetEnvironmentVariableA("PATH", buffer.data(), needed);
    if (got > 0 && got < needed) pathVariable.assign(buffer.data(), got);
  }

  size_t start = 0;
  while (start < pathVariable.size()) {
    size_t end = pathVariable.find(';', start);
    if (end == std::string::npos) end = pathVariable.size();
    std::string folder = pathVariable.substr(start, end - start);
    start = end + 1;
    if (folder.empty()) continue;
    size_t keep = folder.find_last_not_of('\\');
    folder.erase(keep == std::string::npos ? 0 : keep + 1);
    if (CheckFile(context, folder + "\\" + trimmed, flags)) return true;
  }
  return false;
}

// The program part of a command line: the quoted part, or each prefix of
// the text that ends at a word boundary.
static bool CheckCommandLine(CScanContext& context, const std::string& text, unsigned flags) {
  unsigned inner = flags & ~PATH_STRIP_ARGS;
  std::string line = Trim(text, " \t\r\n");
  if (line.empty()) return false;

  if (line[0] == '"') {
    size_t close = line.find('"', 1);
    if (close == std::string::npos) return false;
    return CheckPath(context, line.substr(1, close - 1), inner);
  }

  // Each word's end gives one candidate: the text from the start up to it.
  size_t position = 0;
  while (position < line.size()) {
    size_t wordStart = line.find_first_not_of(' ', position);
    if (wordStart == std::string::npos) break;
    size_t wordEnd = line.find(' ', wordStart);
    if (wordEnd == std::string::npos) wordEnd = line.size();
    if (CheckPath(context, line.substr(0, wordEnd), inner)) return true;
    position = wordEnd;
  }
  return false;
}

static bool CheckPathInView(CScanContext& context, std::string text, unsigned flags);

bool CheckPath(CScanContext& context, std::string text, unsigned flags) {
  // An entry of a shared key may have been written by either kind of
  // program: it exists when either one's expansion names a file.
  if ((flags & PATH_EXPAND) && context.GetView() == RegView::kShared && IsWindows64() &&
      NamesViewVariable(text)) {
    {
      CPathViewScope native(context, RegView::kNativeView);
      if (CheckPathInView(context, text, flags)) return true;
    }
    CPathViewScope wow32(context, RegView::kWow32View);
    return CheckPathInView(context, text, flags);
  }
  return CheckPathInView(context, text, flags);
}

static bool CheckPathInView(CScanContext& context, std::string text, unsigned flags) {
  if (flags & PATH_EXPAND) {
    std::string raw = text;
    NormalizePath(context, text);
    // A command line too long to expand as a whole can still name a program
    // of ordinary length: its arguments are stripped first, and each
    // candidate is expanded on its own by the inner calls.
    if (text.empty() && !Trim(raw, " \t\r\n").empty() && (flags & PATH_STRIP_ARGS)) {
      return CheckCommandLine(context, raw, flags);
    }
  }
  if (CheckFile(context, text, flags)) return true;
  if ((flags & PATH_SEARCH_ENV) && SearchEnvPath(context, text, flags)) return true;

  if (flags & (PATH_TRY_WINDIR | PATH_TRY_SYSDIRS)) {
    unsigned inner = (flags | PATH_EXPAND) & ~(PATH_SEARCH_ENV | PATH_TRY_WINDIR | PATH_TRY_SYSDIRS);
    std::string name = Trim(text, "\" ");
    if (name.empty()) return false;
    if ((flags & PATH_TRY_WINDIR) && CheckPath(context, "%SYSTEMROOT%\\" + name, inner))
      return true;
    if (flags & PATH_TRY_SYSDIRS) {
      if (CheckPath(context, "%SYSTEMROOT%\\System32\\" + name, inner)) return true;
      if (CheckPath(context, "%SYSTEMROOT%\\SysWOW64\\" + name, inner)) return true;
    }
  }

  if (!(flags & PATH_STRIP_ARGS)) return false;
  return CheckCommandLine(context, text, flags);
}

}  // namespace RegCheck
