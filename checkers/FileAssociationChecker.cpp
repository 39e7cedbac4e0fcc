#include "checkers/FileAssociationChecker.h"

#include <ctype.h>

#include <algorithm>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

constexpr DWORD kPathBuffer = 260;

const char kFileExtsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

// Extensions of programs and shortcuts: they run themselves, whatever the
// class says.
const char* const kProgramExtensions[] = {
    ".exe", ".bat", ".com", ".cmd", ".pif", ".lnk", ".scr", ".wid", ".scf",
};

// FileExts records that normally carry no ProgID list (program, media and
// log extensions), and Explorer's own bookkeeping keys.
const char* const kFileExtsExclusions[] = {
    ".exe", ".bat", ".com", ".cmd", ".pif", ".lnk", ".scr", ".wid", ".scf", ".cda",
    ".wmd", ".xhtml", ".xht", ".wpl", ".wmz", ".wms", ".log", "DDECache", "OpenWithList",
};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

}  // namespace

bool CFileAssociationChecker::CheckExtensionKey(CScanContext& context, HKEY classesRoot,
                                                const std::string& extension) {
  RegKey key;
  if (key.Open(classesRoot, extension.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  if (IsOneOfNoCase(extension, kProgramExtensions)) return true;
  // Search indexer and shell-extension handlers serve the extension without
  // any class.
  if (SubkeyOpens(key.Handle(), "PersistentHandler") || SubkeyOpens(key.Handle(), "ShellEx"))
    return true;
  std::string className;
  DWORD type = REG_NONE;
  if (!ReadValueText(key.Handle(), "", kPathBuffer, className, &type) || !IsStringType(type))
    return false;

  RegKey commandKey;
  std::string command;
  if (commandKey.Open(HKEY_CLASSES_ROOT, (className + "\\shell\\open\\command").c_str(),
                      kReadAccess) == ERROR_SUCCESS &&
      ReadValueText(commandKey.Handle(), "", kPathBuffer, command, &type)) {
    if (!IsStringType(type)) return false;
    command.erase(std::remove(command.begin(), command.end(), '"'), command.end());
    for (char& c : command) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // Associations owned by the system mail client and browser are never
    // reported.
    if (command.find("msimn") != std::string::npos || command.find("iexplore") != std::string::npos)
      return true;
    return CheckPath(context, command, PATH_COMMAND);
  }
  // A class without an open command is sound as long as it exists.
  return SubkeyOpens(HKEY_CLASSES_ROOT, className);
}

bool CFileAssociationChecker::CheckFileExtsKey(HKEY fileExts, const std::string& name) {
  if (IsOneOfNoCase(name, kFileExtsExclusions)) return true;
  RegKey key;
  if (key.Open(fileExts, name.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  return SubkeyOpens(key.Handle(), "OpenWithProgids");
}

void CFileAssociationChecker::CHandler::OnKey(HKEY key, const std::string&,
                                              const std::string& subkeyName) {
  if (subkeyName.empty() || subkeyName[0] != '.') return;
  if (!CheckExtensionKey(context_, key, subkeyName))
    results_.Add(new CFileAssociationAction(subkeyName, CFileAssociationAction::kClassRoot));
}

void CFileAssociationChecker::CFileExtHandler::OnKey(HKEY key, const std::string&,
                                                     const std::string& subkeyName) {
  if (subkeyName.empty()) return;
  if (!CheckFileExtsKey(key, subkeyName))
    results_.Add(new CFileAssociationAction(subkeyName, CFileAssociationAction::kFileExts));
}

void CFileAssociationChecker::Scan(CScanContext& context, CActionList& results) {
  RegEnumerator walker;
  walker.SetFlags(RegEnumerator::kReportKeys);
  walker.SetMaxDepth(0);

  CHandler extensions(context, results);
  walker.SetRoot(HKEY_CLASSES_ROOT);
  walker.SetPath("");
  walker.Walk(context, extensions);

  CFileExtHandler records(context, results);
  walker.SetRoot(HKEY_CURRENT_USER);
  walker.SetPath(kFileExtsKey);
  walker.Walk(context, records);
}

int CFileAssociationAction::GetCategory() { return kCatFileAssociation; }

int CFileAssociationAction::Fix() {
  const std::string description = "File association entry " + extension_;
  if (source_ == kFileExts)
    return GetBackupManager().DeleteKey(description, HKEY_CURRENT_USER, kFileExtsKey, extension_);
  return GetBackupManager().DeleteKey(description, HKEY_CLASSES_ROOT, "", extension_);
}

int CFileAssociationAction::GetDescription(std::string& out) {
  out = extension_ + (source_ == kFileExts ? " extension is not associated with any application"
                                           : " extension is associated with invalid application");
  return 1;
}

int CFileAssociationAction::GetLocation(std::string& out) {
  out = "HKCR\\" + extension_;
  return 1;
}

}  // namespace RegCheck
