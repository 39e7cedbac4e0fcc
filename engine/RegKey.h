#pragma once
// One open registry key. Every operation returns the Windows error code
// (ERROR_SUCCESS = 0); typed queries answer ERROR_INVALID_DATA (13) when the
// stored type does not match.

#include <windows.h>

namespace RegCheck {

constexpr REGSAM kReadAccess = KEY_READ;                    // walking and checking
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;   // deleting, restoring, snapshots

// Keys are opened and created in the view their path names (see RegView.h).
class RegKey {
 public:
  RegKey() = default;
  ~RegKey();
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept;
  RegKey& operator=(RegKey&& other) noexcept;

  // On failure the previously held key (if any) stays open and held.
  LONG Open(HKEY parent, const char* subkey, REGSAM access = kReadWriteAccess);
  // Opens the key, creating it and any missing parents. `disposition`, when
  // given, receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
  LONG Create(HKEY parent, const char* subkey, char* keyClass = nullptr, DWORD options = 0,
              REGSAM access = kReadWriteAccess, LPSECURITY_ATTRIBUTES security = nullptr,
              DWORD* disposition = nullptr);
  // Returns 0 when no key was held.
  LONG Close();

  HKEY Handle() const { return key_; }
  bool Valid() const { return key_ != nullptr; }

  // 13 unless the value is a REG_DWORD of exactly 4 bytes; `value` is
  // untouched on failure.
  LONG QueryDWORDValue(const char* name, DWORD& value) const;
  // Accepts REG_SZ and REG_EXPAND_SZ only. With a buffer, data that does not
  // end in a zero byte is refused with 13; 0 bytes of data read as "". On
  // success `size` is the byte count including the terminator, on any
  // failure it is 0. The buffer is never written past `size` bytes.
  LONG QueryStringValue(const char* name, char* buffer, DWORD& size) const;
  // 13 unless the value is REG_BINARY. `size` is in/out as for RegQueryValueEx.
  LONG QueryBinaryValue(const char* name, void* buffer, DWORD& size) const;
  // No type check; with no buffer it reports type and size only.
  LONG QueryValue(const char* name, DWORD* type, void* buffer, DWORD* size) const;

  LONG SetDWORDValue(const char* name, DWORD value);
  // Writes the text with its terminator; a null text writes nothing and
  // answers 13.
  LONG SetStringValue(const char* name, const char* text, DWORD type = REG_SZ);
  LONG SetBinaryValue(const char* name, const void* data, DWORD size);
  LONG DeleteValue(const char* name);
  // ERROR_NO_MORE_ITEMS past the end. `nameSize` is in/out in characters.
  LONG EnumKey(DWORD index, char* name, DWORD& nameSize, FILETIME* lastWrite = nullptr) const;

 private:
  HKEY key_ = nullptr;
};

// RegQueryValueExA on a key held elsewhere (a walk's key, a predefined
// root): no type check, and with no buffer only type and size.
LONG QueryKeyValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size);

// What RegQueryInfoKey tells of a key.
struct RegKeyInfo {
  DWORD subkeys = 0;
  DWORD values = 0;
  DWORD maxValueData = 0;  // bytes of the largest value's data
};

// `info` untouched on failure.
LONG QueryKeyInfo(HKEY key, RegKeyInfo& info);

}  // namespace RegCheck
