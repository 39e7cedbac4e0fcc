#pragma once
// Small registry reads and name comparisons shared by the COM, application
// path and file association checkers. Each read works in a buffer of a fixed
// size, as the checks are defined over such buffers: data that does not fit
// counts as unreadable.

#include <windows.h>

#include <string>

namespace RegCheck {

// Reads value `name` of `key`, whatever its type, into a buffer of
// `bufferSize` bytes. On success `text` holds the data up to its first zero
// byte (all of it when unterminated) and `type`, when given, the value's
// type; on failure both are untouched.
bool ReadValueText(HKEY key, const char* name, DWORD bufferSize, std::string& text,
                   DWORD* type = nullptr);

// Value data a walk handed over, read as ReadValueText reads the value
// itself: false when `size` bytes would not fit a buffer of `bufferSize`.
bool DataText(const BYTE* data, DWORD size, DWORD bufferSize, std::string& text);

// As ReadValueText, but only a zero-terminated REG_SZ or REG_EXPAND_SZ reads.
bool ReadStringText(HKEY key, const char* name, DWORD bufferSize, std::string& text);

// Whether subkey `name` of `parent` opens for reading.
bool SubkeyOpens(HKEY parent, const std::string& name);

// Whether `text` equals one of the `count` names, ignoring letter case.
bool IsOneOfNoCase(const std::string& text, const char* const* names, size_t count);

template <size_t N>
bool IsOneOfNoCase(const std::string& text, const char* const (&names)[N]) {
  return IsOneOfNoCase(text, names, N);
}

}  // namespace RegCheck
