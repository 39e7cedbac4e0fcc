#pragma once
// Empty per-application settings keys under the machine's and the user's
// software keys, "App Paths" registrations whose program is gone, and Windows
// Installer folder and component records that point at nothing.

#include <windows.h>

#include <string>
#include <vector>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CAppPathChecker {
 public:
  // Settings keys of HKLM "SOFTWARE" and HKCU "Software" (and on 64-bit
  // Windows their "Wow6432Node" twins), then App Paths, installer folders
  // and installer components, each in both registry views.
  void Scan(CScanContext& context, CActionList& results);

  // False when the "App Paths" entry does not open, names its program
  // neither in its default value nor in "CmstpExtensionDll", or names one
  // that does not exist. A "BlockOnTSNonInstallMode" other than the text "1"
  // makes the entry valid.
  static bool CheckAppPathKey(CScanContext& context, HKEY appPaths, const std::string& name);
  // False when the subkey does not open or holds no data: no subkeys, and no
  // values beyond a default value without content.
  static bool CheckSettingsKey(HKEY parent, const std::string& name);
  // False when the component value's data is too long or empty, or when neither
  // its path nor that path's folder exists; `badPath` then receives the text
  // last tested ("" for an unreadable or empty value), and is untouched
  // otherwise. Texts of 3 characters or fewer and texts that name no drive
  // are never errors; "C?\..." is tested as "C:\...".
  static bool CheckInstallerPath(CScanContext& context, const BYTE* data, DWORD size,
                                 std::string& badPath);
  // False when the installer folder named by `folder` is gone: only "file
  // not found" and "path not found" count, any other failure (access denied)
  // counts as present. An empty name is gone.
  static bool CheckInstallerFolder(CScanContext& context, const std::string& folder);

  class CSettingsHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    // `displayPrefix` starts each finding's text ("HKEY_CURRENT_USER\Software\"),
    // `rootSelector` is 0 for HKLM and 1 for HKCU, `parentPath` the key
    // whose subkeys are walked.
    void Configure(const std::string& displayPrefix, int rootSelector,
                   const std::string& parentPath);
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;

   private:
    std::string displayPrefix_;
    int rootSelector_ = 0;
    std::string parentPath_;
  };

  class CAppHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };

  class CInstallerFoldersHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValue(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                 DWORD dataSize) override;
  };

  class CInstallerHandler : public CResultsHandler {
   public:
    // Builds the exclusion list; the Office 9.0 rule depends on HKLM.
    CInstallerHandler(CScanContext& context, CActionList& results);
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;
    // Whether a component key path (below HKLM) is never tested.
    bool IsExcluded(const std::string& keyPath) const;

   private:
    std::vector<std::string> exclusions_;
  };
};

class CAppPathAction : public CRegistryAction {
 public:
  enum Kind : int {
    kAppPath = 0,          // subkey <name> of the App Paths key <keyPath> removed
    kInstallerPath = 1,    // value <name> (a product) of the component key <keyPath> removed
    kInstallerFolder = 2,  // value <name> of <keyPath> removed
    kSettings = 3,         // subkey <name> of <keyPath> under the selected root removed
  };
  enum RootSelector : int { kMachine = 0, kUser = 1 };

  CAppPathAction(const std::string& name, const std::string& path, const std::string& keyPath,
                 int kind, int rootSelector = kMachine)
      : name_(name), path_(path), keyPath_(keyPath), kind_(kind), rootSelector_(rootSelector) {}

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  // Settings entries read as the key's full name, which regedit's address
  // bar accepts as typed.
  int GetLocation(std::string& out) override;

  const std::string& GetName() const { return name_; }
  const std::string& GetPath() const { return path_; }
  const std::string& GetKeyPath() const { return keyPath_; }
  int GetKind() const { return kind_; }
  int GetRootSelector() const { return rootSelector_; }

 private:
  std::string name_;
  std::string path_;
  std::string keyPath_;
  int kind_;
  int rootSelector_;
};

}  // namespace RegCheck
