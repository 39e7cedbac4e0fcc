#include "support/RegistrySandbox.h"

#include <objbase.h>
#include <sddl.h>
#include <shlwapi.h>

#include <ctime>
#include <vector>

namespace testsupport {

const char* RegistrySandbox::kTestRoot = "Software\\VarnholtTests";

namespace {

const HKEY kRoots[3] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT};
const char* const kStandInNames[3] = {"HKLM", "HKCU", "HKCR"};

// Scratch keys older than a day belong to crashed runs.
void PurgeStaleScratchKeys(HKEY testRoot) {
  std::vector<std::string> stale;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD size = sizeof(name);
    FILETIME written;
    if (RegEnumKeyExA(testRoot, i, name, &size, nullptr, nullptr, nullptr, &written) != ERROR_SUCCESS)
      break;
    ULARGE_INTEGER then{};
    then.LowPart = written.dwLowDateTime;
    then.HighPart = written.dwHighDateTime;
    FILETIME nowFt;
    GetSystemTimeAsFileTime(&nowFt);
    ULARGE_INTEGER now{};
    now.LowPart = nowFt.dwLowDateTime;
    now.HighPart = nowFt.dwHighDateTime;
    if (now.QuadPart > then.QuadPart && now.QuadPart - then.QuadPart > 864000000000ULL)
      stale.push_back(name);
  }
  for (const std::string& key : stale) SHDeleteKeyA(testRoot, key.c_str());
}

std::string UniqueName() {
  static int counter = 0;
  GUID guid;
  CoCreateGuid(&guid);
  char text[96];
  wsprintfA(text, "%lu-%lu-%d-%08lX%04X", static_cast<unsigned long>(time(nullptr)),
            GetCurrentProcessId(), ++counter, guid.Data1, guid.Data2);
  return text;
}

}  // namespace

RegistrySandbox::RegistrySandbox() {
  HKEY testRoot = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &testRoot,
                      nullptr) != ERROR_SUCCESS)
    return;
  PurgeStaleScratchKeys(testRoot);
  scratchPath_ = std::string(kTestRoot) + "\\" + UniqueName();
  LONG rc = RegCreateKeyExA(testRoot, scratchPath_.substr(scratchPath_.rfind('\\') + 1).c_str(), 0,
                            nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_, nullptr);
  RegCloseKey(testRoot);
  if (rc != ERROR_SUCCESS) return;
  for (int i = 0; i < 3; ++i) {
    if (RegCreateKeyExA(scratch_, kStandInNames[i], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &stand_ins_[i], nullptr) != ERROR_SUCCESS)
      return;
  }
  // All stand-ins exist before the first override, because creating them
  // under an overridden HKCU would land inside the sandbox itself.
  for (int i = 0; i < 3; ++i) {
    if (RegOverridePredefKey(kRoots[i], stand_ins_[i]) != ERROR_SUCCESS) {
      for (int j = 0; j < i; ++j) RegOverridePredefKey(kRoots[j], nullptr);
      return;
    }
  }
  active_ = true;
}

RegistrySandbox::~RegistrySandbox() {
  if (active_) {
    for (HKEY root : kRoots) RegOverridePredefKey(root, nullptr);
  }
  for (HKEY& key : stand_ins_) {
    if (key) RegCloseKey(key);
    key = nullptr;
  }
  if (scratch_) {
    RegCloseKey(scratch_);
    SHDeleteKeyA(HKEY_CURRENT_USER, scratchPath_.c_str());
  }
}

void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
            DWORD size) {
  HKEY h = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &h, nullptr))
      << key;
  LONG rc = RegSetValueExA(h, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(h);
  ASSERT_EQ(ERROR_SUCCESS, rc) << key << " " << name;
}

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
               DWORD type) {
  SetRaw(root, key, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
  SetRaw(root, key, name, REG_DWORD, &value, sizeof(value));
}

void CreateKey(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &h, nullptr))
      << key;
  RegCloseKey(h);
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool ValueExists(HKEY root, const std::string& key, const std::string& name) {
  DWORD type;
  std::string data;
  return ReadRaw(root, key, name, type, data);
}

bool SetKeyAccess(HKEY root, const std::string& key, const char* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
    return false;
  HKEY h = nullptr;
  LONG rc = RegOpenKeyExA(root, key.c_str(), 0, READ_CONTROL | WRITE_DAC, &h);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, sd);
    RegCloseKey(h);
  }
  LocalFree(sd);
  return rc == ERROR_SUCCESS;
}

bool ReadRaw(HKEY root, const std::string& key, const std::string& name, DWORD& type,
             std::string& data) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(h, name.c_str(), nullptr, &type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    data.assign(size, '\0');
    rc = RegQueryValueExA(h, name.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(data.empty() ? nullptr : &data[0]), &size);
    data.resize(size);
  }
  RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

}  // namespace testsupport
