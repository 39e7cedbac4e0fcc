#pragma once
// Registered fonts whose file is gone. The values of the Fonts key are named
// by the font's display name; their data is the font file, usually a bare
// name inside the Windows fonts folder.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CFontsChecker {
 public:
  // Walks the values of the machine's Fonts key.
  void Scan(CScanContext& context, CActionList& results);

  // False when the font file a value's data names exists neither as written
  // nor in "%SYSTEMROOT%\Fonts", or the data is too long to be a file name.
  static bool CheckFontValue(CScanContext& context, const BYTE* data, DWORD size);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;
  };
};

class CFontsAction : public CRegistryAction {
 public:
  explicit CFontsAction(const std::string& valueName) : valueName_(valueName) {}

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetValueName() const { return valueName_; }

 private:
  std::string valueName_;
};

}  // namespace RegCheck
