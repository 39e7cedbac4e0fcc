#include "checkers/HelpFilesChecker.h"


#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "checkers/ViewWalk.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kHelpPath[] = "SOFTWARE\\Microsoft\\Windows\\Help";
const char kHtmlHelpPath[] = "SOFTWARE\\Microsoft\\Windows\\HTML Help";

constexpr DWORD kDataBufferBytes = 260;

}  // namespace

void CHelpFilesChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler help(context, results);
  WalkLevelInViews(context, HKEY_LOCAL_MACHINE, kHelpPath, RegEnumerator::kReportValues, help);
  CHtmlHandler html(context, results);
  WalkLevelInViews(context, HKEY_LOCAL_MACHINE, kHtmlHelpPath, RegEnumerator::kReportValues, html);
}

bool CHelpFilesChecker::CheckHelpValue(CScanContext& context, const std::string& valueName,
                                       const BYTE* data, DWORD size) {
  // Stored data need not end in a terminator.
  std::string folder;
  if (!DataText(data, size, kDataBufferBytes, folder)) return false;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return CheckPath(context, folder + "\\" + valueName, PATH_FILE);
}

void CHelpFilesChecker::CHandler::OnValueData(HKEY, const std::string& path,
                                              const std::string& valueName, DWORD,
                                              const BYTE* data, DWORD dataSize) {
  if (!CheckHelpValue(context_, valueName, data, dataSize))
    results_.Add(new CHelpFilesAction(valueName, CHelpFilesAction::kHelpKey, path));
}

void CHelpFilesChecker::CHtmlHandler::OnValueData(HKEY, const std::string& path,
                                              const std::string& valueName, DWORD,
                                              const BYTE* data, DWORD dataSize) {
  if (!CheckHelpValue(context_, valueName, data, dataSize))
    results_.Add(new CHelpFilesAction(valueName, CHelpFilesAction::kHtmlHelpKey, path));
}

CHelpFilesAction::CHelpFilesAction(const std::string& valueName, int key, const std::string& keyPath)
    : valueName_(valueName), key_(key),
      keyPath_(!keyPath.empty() ? keyPath : key == kHtmlHelpKey ? kHtmlHelpPath : kHelpPath) {}

int CHelpFilesAction::GetCategory() { return kCatHelpFiles; }

int CHelpFilesAction::Fix() {
  return GetBackupManager().DeleteValue("Help file entry " + valueName_, HKEY_LOCAL_MACHINE,
                                        keyPath_, valueName_);
}

int CHelpFilesAction::GetDescription(std::string& out) {
  out = "File " + valueName_ + " is absent";
  return 1;
}

int CHelpFilesAction::GetLocation(std::string& out) {
  out = "HKLM\\" + keyPath_ + " (VALUE " + valueName_ + ")";
  return 1;
}

}  // namespace RegCheck
