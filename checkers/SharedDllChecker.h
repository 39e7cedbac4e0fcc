#pragma once
// Shared DLL reference counts whose DLL is gone. Each value of the
// SharedDlls key is named by the DLL's full path; its data is the count.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CSharedDllChecker {
 public:
  // Walks the values of the machine's SharedDlls key.
  void Scan(CScanContext& context, CActionList& results);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValue(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                 DWORD dataSize) override;
  };
};

class CSharedDllAction : public CRegistryAction {
 public:
  // `keyPath` is the key the value was found in; "" names the native key.
  explicit CSharedDllAction(const std::string& valueName, const std::string& keyPath = std::string());

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetValueName() const { return valueName_; }
  const std::string& GetKeyPath() const { return keyPath_; }

 private:
  std::string valueName_;
  std::string keyPath_;
};

}  // namespace RegCheck
