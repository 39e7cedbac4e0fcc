#include "checkers/ServicesChecker.h"

#include <string.h>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "engine/RegKey.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kServicesPath[] = "SYSTEM\\CurrentControlSet\\Services";

// Matched as case-sensitive substrings of the service name.
const char* const kExcludedNames[] = {"blbdrive", "IpInIp", "NwlnkFlt", "NwlnkFwd", "USBSTOR"};

constexpr DWORD kImagePathBytes = 260;

}  // namespace

void CServicesChecker::Scan(CScanContext& context, CActionList& results) {
  CHandler handler(context, results);
  RegEnumerator::WalkLevel(context, HKEY_LOCAL_MACHINE, kServicesPath, RegEnumerator::kReportKeys,
                           handler);
}

bool CServicesChecker::CheckServiceKey(CScanContext& context, HKEY servicesKey,
                                       const std::string& serviceName) {
  for (const char* excluded : kExcludedNames) {
    if (serviceName.find(excluded) != std::string::npos) return true;
  }

  RegKey service;
  if (service.Open(servicesKey, serviceName.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  char imagePath[kImagePathBytes];
  DWORD type = REG_NONE;
  DWORD size = sizeof(imagePath);
  if (service.QueryValue("ImagePath", &type, imagePath, &size) != ERROR_SUCCESS) return true;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // Stored strings need not end in a terminator.
  return CheckPath(context, std::string(imagePath, strnlen(imagePath, size)), PATH_COMMAND);
}

void CServicesChecker::CHandler::OnKey(HKEY key, const std::string&, const std::string& subkeyName) {
  if (!CheckServiceKey(context_, key, subkeyName)) results_.Add(new CServiceAction(subkeyName));
}

int CServiceAction::GetCategory() { return kCatServices; }

int CServiceAction::Fix() {
  return GetBackupManager().DeleteKey("Service entry " + serviceName_, HKEY_LOCAL_MACHINE,
                                      kServicesPath, serviceName_);
}

int CServiceAction::GetDescription(std::string& out) {
  out = "Service " + serviceName_ + " is invalid";
  return 1;
}

int CServiceAction::GetLocation(std::string& out) {
  out = std::string("HKLM\\") + kServicesPath + "\\" + serviceName_;
  return 1;
}

}  // namespace RegCheck
