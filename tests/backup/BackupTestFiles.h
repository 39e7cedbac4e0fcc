#pragma once
// File helpers shared by the backup tests: raw file bytes, ".rbk" files
// built by hand, and listings of a folder.

#include <windows.h>

#include <zlib.h>

#include <string>
#include <vector>

#include "backup/ByteReader.h"

namespace backuptest {

inline bool ReadFileBytes(const std::string& path, std::string& out) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(file, nullptr);
  out.assign(size, '\0');
  DWORD got = 0;
  BOOL ok = size == 0 || ReadFile(file, &out[0], size, &got, nullptr);
  CloseHandle(file);
  return ok && got == size;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Names of the files in `folder` matching `pattern`, in listing order.
inline std::vector<std::string> ListFiles(const std::string& folder, const char* pattern = "*") {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
  } while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

inline std::string U32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
  return s;
}

inline std::string U16(uint16_t v) {
  return std::string{static_cast<char>(v & 0xff), static_cast<char>(v >> 8)};
}

inline std::string Counted(const std::string& bytes) { return U32(static_cast<uint32_t>(bytes.size())) + bytes; }

// A SYSTEMTIME as stored in a payload.
inline std::string Time(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 12,
                        uint16_t minute = 0, uint16_t second = 0, uint16_t dayOfWeek = 0) {
  return U16(year) + U16(month) + U16(dayOfWeek) + U16(day) + U16(hour) + U16(minute) + U16(second) + U16(0);
}

// One payload entry: type, then the record.
inline std::string Entry(uint32_t type, const std::string& root, const std::string& keyPath,
                         const std::string& name, const std::string& description,
                         const std::string& snapshot) {
  return U32(type) + root + Counted(keyPath) + Counted(name) + Counted(description) + Counted(snapshot);
}

// The ".rbk" form of a payload: size prefix plus zlib stream.
inline std::string Pack(const std::string& payload) {
  uLongf size = compressBound(static_cast<uLong>(payload.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(payload.data()),
           static_cast<uLong>(payload.size()));
  out.resize(size);
  return U32(static_cast<uint32_t>(payload.size())) + out;
}

// The payload inside a ".rbk" file; "" when it does not unpack.
inline std::string Unpack(const std::string& file) {
  if (file.size() < 4) return std::string();
  RegCheck::ByteReader reader(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  uint32_t size = 0;
  reader.ReadU32(size);
  std::string out(size, '\0');
  uLongf got = size;
  if (uncompress(reinterpret_cast<Bytef*>(&out[0]), &got,
                 reinterpret_cast<const Bytef*>(file.data() + 4), static_cast<uLong>(file.size() - 4)) != Z_OK)
    return std::string();
  out.resize(got);
  return out;
}

}  // namespace backuptest
