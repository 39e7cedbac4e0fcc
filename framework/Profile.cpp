#include "framework/Profile.h"

#include <vector>

#include "engine/RegKey.h"

namespace fw {

std::string CProfile::SectionPath(const char* section) const {
  if (registryKey_.empty()) return std::string();
  return "Software\\" + registryKey_ + "\\" + appName_ + "\\" + section;
}

UINT CProfile::GetInt(const char* section, const char* entry, int defaultValue) const {
  std::string path = SectionPath(section);
  RegCheck::RegKey key;
  if (path.empty() || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS)
    return static_cast<UINT>(defaultValue);
  DWORD value = 0;
  if (key.QueryDWORDValue(entry, value) != ERROR_SUCCESS) return static_cast<UINT>(defaultValue);
  return value;
}

LONG CProfile::WriteInt(const char* section, const char* entry, int value) const {
  std::string path = SectionPath(section);
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  RegCheck::RegKey key;
  LONG rc = key.Create(HKEY_CURRENT_USER, path.c_str(), nullptr, 0, KEY_WRITE);
  if (rc != ERROR_SUCCESS) return rc;
  return key.SetDWORDValue(entry, static_cast<DWORD>(value));
}

std::string CProfile::GetString(const char* section, const char* entry,
                                const char* defaultValue) const {
  std::string fallback = defaultValue ? defaultValue : "";
  std::string path = SectionPath(section);
  RegCheck::RegKey key;
  if (path.empty() || key.Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ) != ERROR_SUCCESS)
    return fallback;
  DWORD type = 0, size = 0;
  if (key.QueryValue(entry, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
    return fallback;
  // One byte more than reported: the stored string need not end in a NUL.
  std::vector<char> buf(size + 1, '\0');
  if (key.QueryValue(entry, &type, buf.data(), &size) != ERROR_SUCCESS) return fallback;
  buf[size < buf.size() ? size : buf.size() - 1] = '\0';
  return std::string(buf.data());
}

LONG CProfile::WriteString(const char* section, const char* entry, const char* value) const {
  std::string path = SectionPath(section);
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  RegCheck::RegKey key;
  LONG rc = key.Create(HKEY_CURRENT_USER, path.c_str(), nullptr, 0, KEY_WRITE);
  if (rc != ERROR_SUCCESS) return rc;
  return key.SetStringValue(entry, value);
}

}  // namespace fw
