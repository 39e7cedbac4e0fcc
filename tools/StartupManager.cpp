#include "tools/StartupManager.h"

#include <cstring>
#include <vector>

#include "engine/RegEnumerator.h"
#include "engine/RegView.h"

namespace RegCheck {

class CStartupManager::CStartupHandler : public CRegEnumHandlerBase {
 public:
  explicit CStartupHandler(CStartupManager* manager) : manager_(manager) {}

  void SetRootFlag(int rootFlag) { rootFlag_ = rootFlag; }

  void OnValue(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
               DWORD dataSize) override {
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    if (dataSize == MAXDWORD) return;  // the spare byte below would wrap the size
    // One spare zero byte: string data need not end in a terminator, and the
    // command must stop inside the buffer either way.
    std::vector<char> data(dataSize + 1, '\0');
    DWORD size = dataSize;
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
      return;
    std::string command(data.data(), strnlen(data.data(), size));
    manager_->entries_.emplace_back(rootFlag_, valueName, command, path);
  }

 private:
  CStartupManager* manager_;
  int rootFlag_ = StartupEntry::kMachineRoot;
};

void CStartupManager::Refresh() {
  entries_.clear();
  CStartupHandler handler(this);
  handler.SetRootFlag(StartupEntry::kMachineRoot);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kStartupRunKeyPath))
    RegEnumerator::WalkLevel(context_, HKEY_LOCAL_MACHINE, path, RegEnumerator::kReportValues,
                             handler);
  handler.SetRootFlag(StartupEntry::kUserRoot);
  RegEnumerator::WalkLevel(context_, HKEY_CURRENT_USER, kStartupRunKeyPath,
                           RegEnumerator::kReportValues, handler);
}

}  // namespace RegCheck
