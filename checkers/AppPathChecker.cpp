#include "checkers/AppPathChecker.h"

#include <iterator>

#include "backup/BackupManager.h"
#include "backup/DeletionGuard.h"
#include "checkers/FileProbe.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/RegKey.h"
#include "engine/RegView.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

constexpr DWORD kPathBuffer = 260;
constexpr DWORD kDefaultValueBuffer = 512;

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kInstallerFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
const char kUserDataKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

// Installer records that are never tested: the product keys below UserData,
// and components of packages known to record paths that are absent by
// design. Searched in this order; the first hit skips.
const char* const kInstallerExclusions[] = {
    "Products",
    "18C3B9B1A1EE8", "AA067AE3", "680395BB1", "46EBBA0", "6FC86492", "FA557EC", "F01FEC",
    "00002119E20000000000F013ECA5CB61", "0F239A832EE38934F99670D66DA01406",
    "1C6B8B90BFA21174EA3B4FBA29C8AF49", "1DAECA5A6064CBC4EA72C9A309A6B18B",
    "29561FBC28318944B8F85657C1AE4FCB", "3EB131C9F0B04D117A3000087C7AEF59",
    "617BD554E2A3EAC488F44DF09506131E", "6C860322F7884D115A04000972A8B18B",
    "83B531EF7BFEC2445B6C0EC6BD10D272", "9AF65E8F7E632D11AA98000A9CF0750B",
    "9535452A064A2A64F9CAD57417920CEB", "069050F47A2C1D11DAE3000A9C119C0C",
    "8615CC32AF022D11A9FD0006794C4E25", "C9ABC98D7270B4C4CABCB7F9829E0EF5",
    "1FA18F7974E099CD0AF18C3B9B1A1EE8", "2562336682C91B850AF18C3B9B1A1EE8",
    "2A31EAB9FA7E3C6D0AF18C3B9B1A1EE8", "4006F64980E4BACB0DF18C3B9B1A1EE8",
    "4006F64980E4BACB0EF18C3B9B1A1EE8", "6EC3DF47D8A2C9E00AF18C3B9B1A1EE8",
    "6F949E36CB3004C50AF18C3B9B1A1EE8", "77AE531D63D456630DF18C3B9B1A1EE8",
    "82DE7549CF3F8CCB0DF18C3B9B1A1EE8", "9D6C7B862FD11C450AF18C3B9B1A1EE8",
    "B92D5049E11C93DB0DF18C3B9B1A1EE8", "DA42BC89BF25F5BD0AF18C3B9B1A1EE8",
    "F3D0372D14C348850AF18C3B9B1A1EE8", "2A532BBE4597DED408C8463BE231D97A",
    "327AB9EC179465B4590BFB9AF53D5661", "371D80253B7F2744E8FB93894A9D054C",
    "4170CC4F7123EC44DA27C54E87C133EF", "7CA40A0CDEDBB7E43B7EFCD0C7226A10",
    "CBC55E6FD82EC8D47B6098FB7004AFF8", "DC59EAA3295F7E64981AB96517C74431",
    "F1B496B301445D115AA4000972A8B18B", "869389C47434C2A4791942F7031C2BFB",
    "0C9E6CB0C13E3494C85E8773AA067AE3", "49B0C6EE4A3C3D11194C000680395BB1",
    "7C9F46774DBF2F846999DB0CBD86FE9C", "5BED77CC5DA735E4DBED6B99D46EBBA0",
    "7CAFF96FECA32CC42BC3AC3B2FA557EC", "987E83843F00AC84188BFB846FC86492",
    "9ACCB00205ED3804B8253CAA152165A4", "ED699B319D85EE944BCABC3C645DA72E",
    "3020AB7B194E47C4A9E1FEBF3932CD5D", "327AB9EC179465B4590BFB9AF53D5661",
    "40B32DF0214B9294E9B15FE9112369F1", "5C1AD604DEA2407459F34F841C72DBB8",
    "616E2A2DCAABA544E86B05B8E85509DF", "62117153D3A572B408829519EAFEA353",
    "66CC0486FFF461F4BB2A9E1EDC8C0BA6", "7CA40A0CDEDBB7E43B7EFCD0C7226A10",
    "8814EA3412C62EE43AB3FE7AB359EB16", "ADC77783769D55842A57CF066825340F",
    "D9E76F4F1EB43B048BB6E82E261A94A1", "E2C549D3697080D4C8153E51C34A04F1",
    "EC51E59B419AF344F8CB5087CC74B9F0", "EFA68E81E630E654A9EEA90716ECE50E",
};

// Whether the key's default value exists and holds nothing: an empty text,
// or no data at all. A text too large to read certainly holds something.
bool DefaultIsEmpty(HKEY key) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (QueryKeyValue(key, "", &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return size == 0;
  std::string text;
  return ReadValueText(key, "", kDefaultValueBuffer, text) && text.empty();
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

bool CAppPathChecker::CheckAppPathKey(CScanContext& context, HKEY appPaths,
                                      const std::string& name) {
  RegKey key;
  if (key.Open(appPaths, name.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  std::string text;
  // The usual numeric form of this value never reads as "1": such entries
  // are terminal-server helpers and valid.
  if (ReadValueText(key.Handle(), "BlockOnTSNonInstallMode", kPathBuffer, text) && text != "1")
    return true;
  DWORD type = REG_NONE;
  if (!ReadValueText(key.Handle(), "", kPathBuffer, text, &type) &&
      !ReadValueText(key.Handle(), "CmstpExtensionDll", kPathBuffer, text, &type))
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  return CheckPath(context, text, PATH_FILE);
}

bool CAppPathChecker::CheckSettingsKey(HKEY parent, const std::string& name) {
  RegKey key;
  if (key.Open(parent, name.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  RegKeyInfo info;
  if (QueryKeyInfo(key.Handle(), info) != ERROR_SUCCESS) return true;
  if (info.subkeys > 0 || info.values > 1) return true;
  if (info.values == 0) return false;
  // Windows counts a default value once it was set, even to "", and a key
  // holding only that still holds nothing.
  return !DefaultIsEmpty(key.Handle());
}

bool CAppPathChecker::CheckInstallerPath(CScanContext& context, const BYTE* data, DWORD size,
                                         std::string& badPath) {
  std::string text;
  if (!DataText(data, size, kPathBuffer, text) || text.empty()) {
    badPath.clear();
    return false;
  }
  if (text.size() <= 3) return true;
  // "C?\..." marks a component that is not installed locally; its path is
  // tested as if it were.
  if (text[1] == '?') {
    text[1] = ':';
  } else if (!IsDriveLetter(text[0])) {
    return true;  // registry references ("01:\...") and other non-paths
  }
  if (CheckPath(context, text, PATH_FILE_OR_DIR)) return true;
  // A file gone from a folder that still exists is left to the installer.
  size_t slash = text.rfind('\\');
  if (slash != std::string::npos) {
    text.erase(slash);
    if (CheckPath(context, text, PATH_FILE_OR_DIR)) return true;
  }
  badPath = text;
  return false;
}

bool CAppPathChecker::CheckInstallerFolder(CScanContext& context, const std::string& folder) {
  if (folder.empty()) return false;
  if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return true;
  // Under WOW64 the plain call sees the redirected view only; a folder of a
  // 64-bit product in the native System32 is still there.
  return ProbeFileAttributes(context, folder) != INVALID_FILE_ATTRIBUTES;
}

void CAppPathChecker::CSettingsHandler::Configure(const std::string& displayPrefix,
                                                  int rootSelector,
                                                  const std::string& parentPath) {
  displayPrefix_ = displayPrefix;
  rootSelector_ = rootSelector;
  parentPath_ = parentPath;
}

void CAppPathChecker::CSettingsHandler::OnKey(HKEY key, const std::string&,
                                              const std::string& subkeyName) {
  // What the deletion guard will never remove would be reported on every
  // scan and could never be fixed.
  const HKEY root = rootSelector_ == CAppPathAction::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  if (KeyDeletionRefusal(root, parentPath_, subkeyName)) return;
  // A shared key shows up below the twin too; the native pass judges it.
  const std::string twinSuffix = "\\Wow6432Node";
  if (parentPath_.size() > twinSuffix.size() &&
      _stricmp(parentPath_.c_str() + parentPath_.size() - twinSuffix.size(), twinSuffix.c_str()) == 0 &&
      IsSameKey(root, parentPath_.substr(0, parentPath_.size() - twinSuffix.size()) + "\\" + subkeyName,
                parentPath_ + "\\" + subkeyName))
    return;
  if (!CheckSettingsKey(key, subkeyName))
    results_.Add(new CAppPathAction(subkeyName, displayPrefix_, parentPath_,
                                    CAppPathAction::kSettings, rootSelector_));
}

void CAppPathChecker::CAppHandler::OnKey(HKEY key, const std::string& path,
                                         const std::string& subkeyName) {
  if (!CheckAppPathKey(context_, key, subkeyName))
    results_.Add(new CAppPathAction(subkeyName, std::string(), path, CAppPathAction::kAppPath));
}

void CAppPathChecker::CInstallerFoldersHandler::OnValue(HKEY, const std::string& path,
                                                        const std::string& valueName,
                                                        DWORD type, DWORD) {
  if (type != REG_SZ) return;
  if (!CheckInstallerFolder(context_, valueName))
    results_.Add(new CAppPathAction(valueName, std::string(), path,
                                    CAppPathAction::kInstallerFolder));
}

CAppPathChecker::CInstallerHandler::CInstallerHandler(CScanContext& context, CActionList& results)
    : CResultsHandler(context, results) {
  // Office 2000 registers components whose paths it resolves itself.
  RegKey office;
  if (office.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Office\\9.0", kReadAccess) ==
      ERROR_SUCCESS)
    exclusions_.push_back("D11");
  exclusions_.insert(exclusions_.end(), std::begin(kInstallerExclusions),
                     std::end(kInstallerExclusions));
}

bool CAppPathChecker::CInstallerHandler::IsExcluded(const std::string& keyPath) const {
  for (const std::string& fragment : exclusions_) {
    if (keyPath.find(fragment) != std::string::npos) return true;
  }
  return false;
}

void CAppPathChecker::CInstallerHandler::OnValueData(HKEY, const std::string& path,
                                                     const std::string& valueName, DWORD type,
                                                     const BYTE* data, DWORD dataSize) {
  if (type != REG_SZ && type != REG_MULTI_SZ) return;
  if (valueName.find("TUID") != std::string::npos || IsExcluded(path)) return;
  std::string badPath;
  if (CheckInstallerPath(context_, data, dataSize, badPath)) return;
  results_.Add(new CAppPathAction(valueName, badPath, path, CAppPathAction::kInstallerPath));
}

void CAppPathChecker::Scan(CScanContext& context, CActionList& results) {
  RegEnumerator walker;
  walker.SetFlags(RegEnumerator::kReportKeys);
  walker.SetMaxDepth(0);

  struct SettingsPass {
    const char* prefix;
    int rootSelector;
    const char* parent;
  };
  const SettingsPass passes[] = {
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\", CAppPathAction::kMachine, "SOFTWARE"},
      {"HKEY_CURRENT_USER\\Software\\", CAppPathAction::kUser, "Software"},
      {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\", CAppPathAction::kMachine,
       "SOFTWARE\\Wow6432Node"},
      {"HKEY_CURRENT_USER\\Software\\Wow6432Node\\", CAppPathAction::kUser,
       "Software\\Wow6432Node"},
  };
  // The "Wow6432Node" twins are keys of their own on 64-bit Windows.
  const size_t passCount = IsWindows64() ? 4 : 2;
  CSettingsHandler settings(context, results);
  for (size_t i = 0; i < passCount; ++i) {
    const SettingsPass& pass = passes[i];
    settings.Configure(pass.prefix, pass.rootSelector, pass.parent);
    walker.SetRoot(pass.rootSelector == CAppPathAction::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE);
    walker.SetPath(pass.parent);
    walker.Walk(context, settings);
  }

  walker.SetRoot(HKEY_LOCAL_MACHINE);
  CAppHandler apps(context, results);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kAppPathsKey)) {
    CPathViewScope view(context, ViewOfKey(HKEY_LOCAL_MACHINE, path));
    walker.SetPath(path);
    walker.Walk(context, apps);
  }

  walker.SetFlags(RegEnumerator::kReportValues);
  walker.SetMaxDepth(-1);
  CInstallerFoldersHandler folders(context, results);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kInstallerFoldersKey)) {
    walker.SetPath(path);
    walker.Walk(context, folders);
  }

  CInstallerHandler components(context, results);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kUserDataKey)) {
    walker.SetPath(path);
    walker.Walk(context, components);
  }
}

namespace {

HKEY SelectedRoot(int rootSelector) {
  return rootSelector == CAppPathAction::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

}  // namespace

int CAppPathAction::GetCategory() { return kCatAppPath; }

int CAppPathAction::Fix() {
  CBackupManager& backup = GetBackupManager();
  switch (kind_) {
    case kAppPath:
      return backup.DeleteKey("Application path entry " + name_, HKEY_LOCAL_MACHINE, keyPath_, name_);
    case kInstallerPath:
      // Only the stale product's reference: the component may still serve
      // other products.
      return backup.DeleteValue("Installer path entry " + keyPath_ + "\\" + name_, HKEY_LOCAL_MACHINE,
                                keyPath_, name_);
    case kInstallerFolder:
      // The value is removed from the key it was found in.
      return backup.DeleteValue("Installer folder entry " + name_, HKEY_LOCAL_MACHINE, keyPath_,
                                name_);
    case kSettings:
      return backup.DeleteKey("Application settings entry " + name_, SelectedRoot(rootSelector_),
                              keyPath_, name_);
    default:
      return 0;
  }
}

int CAppPathAction::GetDescription(std::string& out) {
  switch (kind_) {
    case kAppPath:
      out = "Application " + name_ + " not exist";
      break;
    case kInstallerPath:
      out = path_.empty() ? name_ + " contains an empty value"
                          : name_ + " points to " + path_ + ", which does not exist";
      break;
    case kInstallerFolder:
      out = name_ + " does not exist";
      break;
    case kSettings:
      out = path_ + name_ + " does not contain any data";
      break;
    default:
      out.clear();
      break;
  }
  return 1;
}

int CAppPathAction::GetLocation(std::string& out) {
  switch (kind_) {
    case kAppPath:
      out = "HKLM\\" + keyPath_ + "\\" + name_;
      break;
    case kInstallerPath:
      out = "HKLM\\" + keyPath_ + " (VALUE:" + name_ + ")";
      break;
    case kInstallerFolder:
      out = keyPath_ + "\\" + name_;
      break;
    case kSettings:
      out = path_ + name_;
      break;
    default:
      out.clear();
      break;
  }
  return 1;
}

}  // namespace RegCheck
