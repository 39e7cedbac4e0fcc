#include "tools/UninstallManager.h"

#include <cstring>
#include <vector>

#include "engine/RegEnumerator.h"
#include "engine/RegKey.h"
#include "engine/RegView.h"

namespace RegCheck {

namespace {

// Reads a string value that must hold a non-empty text; false for a missing
// value, another type, no data, or a text that is empty up to its first zero.
bool ReadNonEmptyText(const RegKey& key, const char* name, std::string& text) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (key.QueryValue(name, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 || size == MAXDWORD) return false;
  // One spare zero byte, since stored strings need not end in a terminator.
  std::vector<char> data(size + 1, '\0');
  if (key.QueryValue(name, &type, data.data(), &size) != ERROR_SUCCESS) return false;
  std::string read(data.data(), strnlen(data.data(), size));
  if (read.empty()) return false;
  text = read;
  return true;
}

}  // namespace

class CUninstallManager::CUninstallHandler : public CRegEnumHandlerBase {
 public:
  explicit CUninstallHandler(CUninstallManager* manager) : manager_(manager) {}

  void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override {
    RegKey program;
    if (program.Open(key, subkeyName.c_str(), kReadAccess) != ERROR_SUCCESS) return;
    std::string displayName;
    std::string uninstallString;
    if (ReadNonEmptyText(program, "DisplayName", displayName) &&
        ReadNonEmptyText(program, "UninstallString", uninstallString))
      manager_->entries_.emplace_back(subkeyName, displayName, uninstallString, path);
  }

 private:
  CUninstallManager* manager_;
};

int CUninstallManager::Refresh() {
  entries_.clear();
  CUninstallHandler handler(this);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kUninstallKeyPath))
    RegEnumerator::WalkLevel(context_, HKEY_LOCAL_MACHINE, path, RegEnumerator::kReportKeys,
                             handler);
  return 1;
}

}  // namespace RegCheck
