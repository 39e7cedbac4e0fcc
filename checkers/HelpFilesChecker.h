#pragma once
// Registered help files that are gone. The values of the "Help" and the
// "HTML Help" keys are named by the help file; their data is its folder.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CHelpFilesChecker {
 public:
  // Walks the values of the "Help" key, then those of the "HTML Help" key.
  void Scan(CScanContext& context, CActionList& results);

  // False when help file `valueName` is not found in the folder its data
  // names, or the data is too long to be a folder.
  static bool CheckHelpValue(CScanContext& context, const std::string& valueName, const BYTE* data,
                             DWORD size);

  // The "Help" key.
  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;
  };

  // The "HTML Help" key.
  class CHtmlHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;
  };
};

class CHelpFilesAction : public CRegistryAction {
 public:
  enum Key : int { kHelpKey = 0, kHtmlHelpKey = 1 };

  // `keyPath` is the key the value was found in; "" names the native key
  // of its kind.
  CHelpFilesAction(const std::string& valueName, int key, const std::string& keyPath = std::string());

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetValueName() const { return valueName_; }
  int GetKey() const { return key_; }
  const std::string& GetKeyPath() const { return keyPath_; }

 private:
  std::string valueName_;
  int key_;
  std::string keyPath_;
};

}  // namespace RegCheck
