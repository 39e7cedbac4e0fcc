#include "checkers/FontsChecker.h"

#include <string.h>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kFontsPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

constexpr DWORD kDataBufferBytes = 260;

}  // namespace

void CFontsChecker::Scan(CActionList& results) {
  CHandler handler(results);
  RegEnumerator::WalkLevel(HKEY_LOCAL_MACHINE, kFontsPath, RegEnumerator::kReportValues, handler);
}

bool CFontsChecker::CheckFontValue(HKEY key, const std::string& valueName) {
  // The walker's handle is borrowed; read through a handle of our own.
  RegKey values;
  if (values.Open(key, "", kReadAccess) != ERROR_SUCCESS) return false;
  char data[kDataBufferBytes];
  DWORD type = REG_NONE;
  DWORD size = sizeof(data);
  if (values.QueryValue(valueName.c_str(), &type, data, &size) != ERROR_SUCCESS) return false;

  // Stored data need not end in a terminator.
  const std::string file(data, strnlen(data, size));
  return CheckPath(file, PATH_FILE) || CheckPath("%SYSTEMROOT%\\Fonts\\" + file, PATH_FILE);
}

void CFontsChecker::CHandler::OnValue(HKEY key, const std::string&, const std::string& valueName,
                                      DWORD, DWORD) {
  if (!CheckFontValue(key, valueName)) results_.Add(new CFontsAction(valueName));
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
