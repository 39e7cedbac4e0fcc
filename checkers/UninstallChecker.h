#pragma once
// Installed-software entries whose uninstaller is gone, and uninstall cache
// entries whose cached program file is gone.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CUninstallChecker {
 public:
  // Walks the subkeys of the Uninstall key, then those of the ARPCache key.
  void Scan(CScanContext& context, CActionList& results);

  // False when the entry under the open Uninstall key is an error: its key
  // cannot be opened or is empty, its "UninstallString" is not a string or
  // names a missing program, or without one it has neither an
  // "UninstallPath" nor a non-empty "InstallSource". `displayName` receives
  // "DisplayName" when it reads and is left untouched otherwise.
  static bool CheckUninstallEntry(CScanContext& context, HKEY uninstallKey,
                                  const std::string& subkey, std::string& displayName);
  // False when the "SlowInfoCache" record of the entry under the open
  // ARPCache key names no file, or a file that does not exist. Entries that
  // cannot be opened, records of another size and paths that the ANSI code
  // page cannot carry are never errors.
  static bool CheckArpCacheEntry(CScanContext& context, HKEY arpCacheKey,
                                 const std::string& subkey);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };

  class CARPHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };
};

class CUninstallAction : public CRegistryAction {
 public:
  enum Kind : int { kUninstallEntry = 0, kArpCacheEntry = 1 };

  // `keyPath` is the key the entry was found in (Uninstall or ARPCache);
  // "" names the native key of its kind.
  CUninstallAction(const std::string& keyName, const std::string& displayName, int kind,
                   const std::string& keyPath = std::string());

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetKeyName() const { return keyName_; }
  const std::string& GetDisplayName() const { return displayName_; }
  int GetKind() const { return kind_; }
  const std::string& GetKeyPath() const { return keyPath_; }

 private:
  // The Uninstall key of the view the entry was found in.
  std::string UninstallKeyPath() const;

  std::string keyName_;
  std::string displayName_;
  int kind_;
  std::string keyPath_;
};

}  // namespace RegCheck
