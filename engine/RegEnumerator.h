#pragma once
// Recursive registry walker. Every visited key and value is counted in the
// walk's scan context, and a cancel pending there ends the walk at its next
// step.

#include <windows.h>

#include <string>
#include <vector>

#include "engine/RegKey.h"
#include "engine/ScanContext.h"

namespace RegCheck {

// Receives what a walk finds. Handlers are usually locals of the caller, so
// there is no virtual destructor.
class IRegEnumHandler {
 public:
  // One value of the key being walked; `key` is open with KEY_READ so the
  // handler can query the data itself.
  virtual void OnValue(HKEY key, const std::string& path, const std::string& valueName,
                       DWORD type, DWORD dataSize) = 0;
  // One direct subkey of the key being walked.
  virtual void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) = 0;
  // The same value with the `dataSize` bytes of data the walk read along
  // with its name, as RegQueryValueEx would return them. Handlers that judge
  // the data override this instead of OnValue and need not read it again;
  // by default it passes the value on to OnValue.
  virtual void OnValueData(HKEY key, const std::string& path, const std::string& valueName,
                           DWORD type, const BYTE* /*data*/, DWORD dataSize) {
    OnValue(key, path, valueName, type, dataSize);
  }

 protected:
  ~IRegEnumHandler() = default;
};

// A handler base with both slots empty, for handlers that need only one.
class CRegEnumHandlerBase : public IRegEnumHandler {
 public:
  void OnValue(HKEY, const std::string&, const std::string&, DWORD, DWORD) override {}
  void OnKey(HKEY, const std::string&, const std::string&) override {}

 protected:
  ~CRegEnumHandlerBase() = default;
};

class RegEnumerator {
 public:
  static constexpr int kReportKeys = 0x1;
  static constexpr int kReportValues = 0x2;

  void SetRoot(HKEY root) { root_ = root; }
  void SetPath(const std::string& path) { path_ = path; }
  void SetFlags(int flags) { flags_ = flags; }
  // The start key is level 0; a negative depth means no limit.
  void SetMaxDepth(int maxDepth) { maxDepth_ = maxDepth; }

  // Walks from `path` under `root`: at each key its values (flag 0x2), then
  // its subkeys reported (flag 0x1), then the subkeys descended into while
  // the depth allows. Returns 1 when a cancel was already pending, else 0.
  // Each key is opened below its parent's open handle and listed once; the
  // subkeys descended into are the ones reported, even if the key changes
  // in between (one that went away is skipped, one that came is not seen).
  int Walk(CScanContext& context, IRegEnumHandler& handler);

  // Reports only what lies directly below `path` (values or subkeys, as
  // `flags` say), the walk most checkers and tools need.
  static int WalkLevel(CScanContext& context, HKEY root, const std::string& path, int flags,
                       IRegEnumHandler& handler);

 private:
  // Visits subkey `name` of the open key `parent`, whose path is `path`.
  void Visit(CScanContext& context, HKEY parent, const std::string& name, const std::string& path,
             int level, IRegEnumHandler& handler);
  static void VisitValues(CScanContext& context, HKEY key, const std::string& path,
                          const std::string& keyText, const RegKeyInfo& info,
                          IRegEnumHandler& handler);
  // The names of the key's first `count` subkeys, fewer when the listing
  // fails or a cancel comes first.
  static std::vector<std::string> ListSubkeys(const CScanContext& context, const RegKey& key,
                                              DWORD count);

  int maxDepth_ = -1;
  int flags_ = kReportKeys | kReportValues;
  std::string path_;
  HKEY root_ = HKEY_LOCAL_MACHINE;
};

}  // namespace RegCheck
