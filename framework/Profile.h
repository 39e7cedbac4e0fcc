#pragma once
// Profile values of an application: registry values under
// HKEY_CURRENT_USER "Software\<registry key>\<application name>\<section>".

#include <windows.h>

#include <string>

namespace fw {

class CProfile {
 public:
  CProfile() = default;
  CProfile(std::string registryKey, std::string appName)
      : registryKey_(std::move(registryKey)), appName_(std::move(appName)) {}

  void SetRegistryKey(const std::string& key) { registryKey_ = key; }
  void SetAppName(const std::string& name) { appName_ = name; }
  // "Software\<key>\<app>\<section>"; empty while no registry key is set.
  std::string SectionPath(const char* section) const;

  // The DWORD value, or `defaultValue` when it is missing, unreadable or
  // not a DWORD.
  UINT GetInt(const char* section, const char* entry, int defaultValue) const;
  // Writes a REG_DWORD, creating the section key; ERROR_SUCCESS or the
  // Windows error code.
  LONG WriteInt(const char* section, const char* entry, int value) const;
  // The REG_SZ value, or `defaultValue`.
  std::string GetString(const char* section, const char* entry, const char* defaultValue) const;
  LONG WriteString(const char* section, const char* entry, const char* value) const;

 private:
  std::string registryKey_;
  std::string appName_;
};

}  // namespace fw
