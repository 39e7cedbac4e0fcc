#pragma once
// Programs started at log-on (or, through rundll32.exe, DLLs) that are gone,
// from the machine's and the user's start keys.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CStartupChecker {
 public:
  // Walks the values of each start key under HKLM, then HKCU; on 64-bit
  // Windows once more for their Wow6432Node twins.
  void Scan(CScanContext& context, CActionList& results);

  // False when the start command in a value's data names a
  // missing program, or a missing DLL when it runs through rundll32.exe; also
  // false when the text cannot be read or a rundll32.exe entry has no entry
  // point after a DLL name.
  static bool CheckStartupValue(CScanContext& context, const BYTE* data, DWORD size);

  class CHandler : public CResultsHandler {
   public:
    enum Root : int { kMachine = 0, kUser = 1 };

    using CResultsHandler::CResultsHandler;
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;

    // Where the next walk runs; stored in the actions it adds.
    void SetRoot(int root) { root_ = root; }
    void SetKeyPath(const std::string& keyPath) { keyPath_ = keyPath; }

   private:
    int root_ = kMachine;
    std::string keyPath_;
  };
};

class CStartupAction : public CRegistryAction {
 public:
  CStartupAction(const std::string& valueName, int root, const std::string& keyPath)
      : valueName_(valueName), root_(root), keyPath_(keyPath) {}

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetValueName() const { return valueName_; }
  int GetRoot() const { return root_; }
  const std::string& GetKeyPath() const { return keyPath_; }

 private:
  std::string valueName_;
  int root_;
  std::string keyPath_;
};

}  // namespace RegCheck
