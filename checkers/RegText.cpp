#include "checkers/RegText.h"

#include <string.h>

#include <vector>

#include "engine/RegKey.h"

namespace RegCheck {

bool ReadValueText(HKEY key, const char* name, DWORD bufferSize, std::string& text, DWORD* type) {
  std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
  DWORD size = bufferSize;
  DWORD got = REG_NONE;
  if (QueryKeyValue(key, name, &got, buffer.data(), &size) != ERROR_SUCCESS)
    return false;
  if (!DataText(reinterpret_cast<const BYTE*>(buffer.data()), size, bufferSize, text)) return false;
  if (type) *type = got;
  return true;
}

bool DataText(const BYTE* data, DWORD size, DWORD bufferSize, std::string& text) {
  if (size > bufferSize) return false;
  const char* chars = reinterpret_cast<const char*>(data);
  text.assign(chars, strnlen(chars, size));
  return true;
}

bool ReadStringText(HKEY key, const char* name, DWORD bufferSize, std::string& text) {
  std::vector<char> buffer(bufferSize > 0 ? bufferSize : 1);
  DWORD size = bufferSize;
  DWORD type = REG_NONE;
  if (QueryKeyValue(key, name, &type, buffer.data(), &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  if (size == 0) {
    text.clear();
    return true;
  }
  if (size > bufferSize || buffer[size - 1] != '\0') return false;
  text.assign(buffer.data());
  return true;
}

bool SubkeyOpens(HKEY parent, const std::string& name) {
  RegKey key;
  return key.Open(parent, name.c_str(), kReadAccess) == ERROR_SUCCESS;
}

bool IsOneOfNoCase(const std::string& text, const char* const* names, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (_stricmp(text.c_str(), names[i]) == 0) return true;
  }
  return false;
}

}  // namespace RegCheck
