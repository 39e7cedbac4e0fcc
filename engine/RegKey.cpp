#include "engine/RegKey.h"

#include <utility>

#include "engine/RegCallCounter.h"
#include "engine/RegView.h"

namespace RegCheck {

RegKey::~RegKey() { Close(); }

RegKey::RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    Close();
    key_ = std::exchange(other.key_, nullptr);
  }
  return *this;
}

LONG RegKey::Open(HKEY parent, const char* subkey, REGSAM access) {
  CountRegistryCall();
  HKEY opened = nullptr;
  LONG rc = RegOpenKeyExA(parent, subkey, 0, WithView(access), &opened);
  if (rc != ERROR_SUCCESS) return rc;
  Close();
  key_ = opened;
  return ERROR_SUCCESS;
}

LONG RegKey::Create(HKEY parent, const char* subkey, char* keyClass, DWORD options, REGSAM access,
                    LPSECURITY_ATTRIBUTES security, DWORD* disposition) {
  CountRegistryCall();
  HKEY created = nullptr;
  DWORD disp = 0;
  LONG rc = RegCreateKeyExA(parent, subkey, 0, keyClass, options, WithView(access), security,
                            &created, &disp);
  if (rc != ERROR_SUCCESS) return rc;
  Close();
  key_ = created;
  if (disposition) *disposition = disp;
  return ERROR_SUCCESS;
}

LONG RegKey::Close() {
  if (!key_) return ERROR_SUCCESS;
  CountRegistryCall();
  LONG rc = RegCloseKey(key_);
  key_ = nullptr;
  return rc;
}

LONG RegKey::QueryDWORDValue(const char* name, DWORD& value) const {
  DWORD type = REG_NONE;
  DWORD data = 0;
  DWORD size = sizeof(data);
  LONG rc = QueryKeyValue(key_, name, &type, &data, &size);
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
  if (type != REG_DWORD) return ERROR_INVALID_DATA;
  if (rc != ERROR_SUCCESS) return rc;
  if (size != sizeof(data)) return ERROR_INVALID_DATA;
  value = data;
  return ERROR_SUCCESS;
}

LONG RegKey::QueryStringValue(const char* name, char* buffer, DWORD& size) const {
  DWORD type = REG_NONE;
  DWORD got = buffer ? size : 0;
  LONG rc = QueryKeyValue(key_, name, &type, buffer, &got);
  if ((rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) && type != REG_SZ && type != REG_EXPAND_SZ)
    rc = ERROR_INVALID_DATA;
  if (!buffer && rc == ERROR_MORE_DATA) rc = ERROR_SUCCESS;  // a size-only query
  if (rc != ERROR_SUCCESS) {
    size = 0;
    return rc;
  }
  if (buffer) {
    if (got == 0) {
      if (size == 0) {
        size = 0;
        return ERROR_MORE_DATA;
      }
      buffer[0] = '\0';
      got = 1;
    } else if (got > size || buffer[got - 1] != '\0') {
      size = 0;
      return ERROR_INVALID_DATA;
    }
  }
  size = got;
  return ERROR_SUCCESS;
}

LONG RegKey::QueryBinaryValue(const char* name, void* buffer, DWORD& size) const {
  DWORD type = REG_NONE;
  DWORD got = size;
  LONG rc = QueryKeyValue(key_, name, &type, buffer, &got);
  if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return rc;
  if (type != REG_BINARY) return ERROR_INVALID_DATA;
  size = got;
  return rc;
}

LONG RegKey::QueryValue(const char* name, DWORD* type, void* buffer, DWORD* size) const {
  return QueryKeyValue(key_, name, type, buffer, size);
}

LONG RegKey::SetDWORDValue(const char* name, DWORD value) {
  CountRegistryCall();
  return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG RegKey::SetStringValue(const char* name, const char* text, DWORD type) {
  if (!text) return ERROR_INVALID_DATA;
  CountRegistryCall();
  return RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(lstrlenA(text) + 1));
}

LONG RegKey::SetBinaryValue(const char* name, const void* data, DWORD size) {
  CountRegistryCall();
  return RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

LONG RegKey::DeleteValue(const char* name) {
  CountRegistryCall();
  return RegDeleteValueA(key_, name);
}

LONG RegKey::EnumKey(DWORD index, char* name, DWORD& nameSize, FILETIME* lastWrite) const {
  CountRegistryCall();
  return RegEnumKeyExA(key_, index, name, &nameSize, nullptr, nullptr, nullptr, lastWrite);
}

LONG QueryKeyValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size) {
  CountRegistryCall();
  return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size);
}

LONG QueryKeyInfo(HKEY key, RegKeyInfo& info) {
  CountRegistryCall();
  RegKeyInfo got;
  LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &got.subkeys, nullptr, nullptr,
                             &got.values, nullptr, &got.maxValueData, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) info = got;
  return rc;
}

}  // namespace RegCheck
