#include "framework/Profile.h"

#include <vector>

namespace fw {

namespace {
class Key {
 public:
  Key() = default;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY* Out() { return &h_; }
  HKEY Get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};
}  // namespace

std::string CProfile::SectionPath(const char* section) const {
  if (registryKey_.empty()) return std::string();
  return "Software\\" + registryKey_ + "\\" + appName_ + "\\" + section;
}

UINT CProfile::GetInt(const char* section, const char* entry, int defaultValue) const {
  std::string path = SectionPath(section);
  Key key;
  if (path.empty() ||
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
    return static_cast<UINT>(defaultValue);
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return static_cast<UINT>(defaultValue);
  return value;
}

LONG CProfile::WriteInt(const char* section, const char* entry, int value) const {
  std::string path = SectionPath(section);
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  Key key;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.Out(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  DWORD v = static_cast<DWORD>(value);
  return RegSetValueExA(key.Get(), entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
}

std::string CProfile::GetString(const char* section, const char* entry,
                                const char* defaultValue) const {
  std::string fallback = defaultValue ? defaultValue : "";
  std::string path = SectionPath(section);
  Key key;
  if (path.empty() ||
      RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
    return fallback;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.Get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return fallback;
  // One byte more than reported: the stored string need not end in a NUL.
  std::vector<char> buf(size + 1, '\0');
  if (RegQueryValueExA(key.Get(), entry, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                       &size) != ERROR_SUCCESS)
    return fallback;
  buf[size < buf.size() ? size : buf.size() - 1] = '\0';
  return std::string(buf.data());
}

LONG CProfile::WriteString(const char* section, const char* entry, const char* value) const {
  std::string path = SectionPath(section);
  if (path.empty()) return ERROR_INVALID_PARAMETER;
  Key key;
  LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                            key.Out(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  return RegSetValueExA(key.Get(), entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(lstrlenA(value) + 1));
}

}  // namespace fw
