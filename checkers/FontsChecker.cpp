#include "checkers/FontsChecker.h"


#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kFontsPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

constexpr DWORD kDataBufferBytes = 260;

}  // namespace

void CFontsChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler handler(context, results);
  RegEnumerator::WalkLevel(context, HKEY_LOCAL_MACHINE, kFontsPath, RegEnumerator::kReportValues,
                           handler);
}

bool CFontsChecker::CheckFontValue(CScanContext& context, const BYTE* data, DWORD size) {
  // Stored data need not end in a terminator.
  std::string file;
  if (!DataText(data, size, kDataBufferBytes, file)) return false;
  return CheckPath(context, file, PATH_FILE) ||
         CheckPath(context, "%SYSTEMROOT%\\Fonts\\" + file, PATH_FILE);
}

void CFontsChecker::CHandler::OnValueData(HKEY, const std::string&, const std::string& valueName,
                                          DWORD, const BYTE* data, DWORD dataSize) {
  if (!CheckFontValue(context_, data, dataSize)) results_.Add(new CFontsAction(valueName));
}

int CFontsAction::GetCategory() { return kCatFonts; }

int CFontsAction::Fix() {
  return GetBackupManager().DeleteValue("Font entry " + valueName_, HKEY_LOCAL_MACHINE, kFontsPath,
                                        valueName_);
}

int CFontsAction::GetDescription(std::string& out) {
  out = "Font " + valueName_ + " is absent";
  return 1;
}

int CFontsAction::GetLocation(std::string& out) {
  out = std::string("HKLM\\") + kFontsPath + " (VALUE:" + valueName_ + ")";
  return 1;
}

}  // namespace RegCheck
