#include "backup/Snapshot.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "engine/RegKey.h"
#include "engine/RegRoots.h"

namespace RegCheck {

namespace {

// Longest key name plus terminator, and longest value name plus terminator.
constexpr DWORD kKeyNameChars = 256;
constexpr DWORD kValueNameChars = 16384;
// A value that keeps growing between the size query and the read is given
// up on after this many attempts rather than chased for ever.
constexpr int kReadAttempts = 4;

// Reads one value's type and data by name. ERROR_FILE_NOT_FOUND when it does
// not exist.
LONG ReadValue(HKEY key, const std::string& name, uint32_t& valueType, Bytes& data) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    data.assign(std::max<DWORD>(size, 1), 0);
    size = static_cast<DWORD>(data.size());
    rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
    if (rc == ERROR_SUCCESS) {
      data.resize(size);
      valueType = type;
      return ERROR_SUCCESS;
    }
    if (rc != ERROR_MORE_DATA) return rc;
    size = std::max<DWORD>(size, static_cast<DWORD>(data.size()) * 2);
  }
  return ERROR_MORE_DATA;
}

bool CaptureValues(HKEY key, std::vector<SnapshotValueEntry>& values) {
  std::vector<char> name(kValueNameChars);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = kValueNameChars;
    LONG rc = RegEnumValueA(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return true;
    if (rc != ERROR_SUCCESS) return false;
    SnapshotValueEntry entry;
    entry.name.assign(name.data(), nameLength);
    // Reading back by name also proves the name survived the ANSI
    // conversion: a value that cannot be addressed by its recorded name
    // could not be restored under it.
    if (ReadValue(key, entry.name, entry.type, entry.data) != ERROR_SUCCESS) return false;
    values.push_back(std::move(entry));
  }
}

bool CaptureNode(HKEY key, SnapshotNode& node, int depth) {
  char name[kKeyNameChars];
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = kKeyNameChars;
    LONG rc = RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS || nameLength == 0) return false;
    if (depth + 1 > kMaxSnapshotDepth) return false;
    SnapshotSubkey subkey;
    subkey.name.assign(name, nameLength);
    // A listed subkey that does not open by its name (gone meanwhile, or a
    // name the ANSI code page mangled) would be deleted without a backup.
    RegKey child;
    if (child.Open(key, subkey.name.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
    if (!CaptureNode(child.Handle(), subkey.node, depth + 1)) return false;
    node.subkeys.push_back(std::move(subkey));
  }
  return CaptureValues(key, node.values);
}

bool IsAbsent(LONG rc) { return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND; }

HKEY RootFromPathText(const std::string& path) {
  if (path.size() < 5) return nullptr;
  const std::string prefix = path.substr(0, 5);
  if (lstrcmpiA(prefix.c_str(), "HKLM\\") == 0) return HKEY_LOCAL_MACHINE;
  if (lstrcmpiA(prefix.c_str(), "HKCU\\") == 0) return HKEY_CURRENT_USER;
  if (lstrcmpiA(prefix.c_str(), "HKCR\\") == 0) return HKEY_CLASSES_ROOT;
  return nullptr;
}

bool RestoreNode(HKEY key, const SnapshotNode& node) {
  for (const SnapshotSubkey& subkey : node.subkeys) {
    RegKey child;
    if (child.Create(key, subkey.name.c_str()) != ERROR_SUCCESS) return false;
    if (!RestoreNode(child.Handle(), subkey.node)) return false;
  }
  static const BYTE kNoData = 0;
  for (const SnapshotValueEntry& value : node.values) {
    const BYTE* data = value.data.empty() ? &kNoData : value.data.data();
    RegSetValueExA(key, value.name.c_str(), 0, value.type, data, static_cast<DWORD>(value.data.size()));
  }
  return true;
}

}  // namespace

int CaptureKey(HKEY root, const std::string& subkey, Snapshot& out) {
  out = Snapshot();
  out.path = KeyPathText(root, subkey);
  if (out.path.empty()) return 0;
  RegKey key;
  LONG rc = key.Open(root, subkey.c_str(), kReadAccess);
  if (IsAbsent(rc)) return 1;
  if (rc != ERROR_SUCCESS) return 0;
  return CaptureNode(key.Handle(), out.root, 0) ? 1 : 0;
}

int CaptureValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                 Snapshot& out) {
  out = Snapshot();
  out.path = KeyPathText(root, keyPath);
  if (out.path.empty()) return 0;
  RegKey key;
  LONG rc = key.Open(root, keyPath.c_str(), kReadAccess);
  if (IsAbsent(rc)) return 1;
  if (rc != ERROR_SUCCESS) return 0;
  SnapshotValueEntry entry;
  entry.name = valueName;
  rc = ReadValue(key.Handle(), valueName, entry.type, entry.data);
  if (IsAbsent(rc)) return 1;
  if (rc != ERROR_SUCCESS) return 0;
  out.root.values.push_back(std::move(entry));
  return 1;
}

int SnapshotKey(HKEY root, const std::string& subkey, Bytes& out) {
  Snapshot snapshot;
  out.clear();
  if (!CaptureKey(root, subkey, snapshot)) return 0;
  return EncodeSnapshot(snapshot, out) ? 1 : 0;
}

int SnapshotValue(HKEY root, const std::string& keyPath, const std::string& valueName, Bytes& out) {
  Snapshot snapshot;
  out.clear();
  if (!CaptureValue(root, keyPath, valueName, snapshot)) return 0;
  return EncodeSnapshot(snapshot, out) ? 1 : 0;
}

int RestoreSnapshot(const Bytes& buffer) {
  Snapshot snapshot;
  if (!DecodeSnapshot(buffer.data(), buffer.size(), snapshot)) return 0;
  HKEY root = RootFromPathText(snapshot.path);
  if (!root) return 0;
  RegKey key;
  if (key.Create(root, snapshot.path.substr(5).c_str()) != ERROR_SUCCESS) return 0;
  return RestoreNode(key.Handle(), snapshot.root) ? 1 : 0;
}

}  // namespace RegCheck
