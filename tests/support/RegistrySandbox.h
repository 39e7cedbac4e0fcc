#pragma once
// Redirects HKLM, HKCU and HKCR into a fresh scratch key for one test, so the
// code under test runs on the real registry API without touching anything
// outside. Redirection is per process and covers every thread.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace testsupport {

class RegistrySandbox {
 public:
  RegistrySandbox();
  ~RegistrySandbox();
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  bool Active() const { return active_; }
  // Path of the scratch key below the real HKEY_CURRENT_USER.
  const std::string& ScratchPath() const { return scratchPath_; }

  // The parent of every scratch key, below the real HKEY_CURRENT_USER.
  static const char* kTestRoot;

 private:
  HKEY scratch_ = nullptr;
  HKEY stand_ins_[3] = {nullptr, nullptr, nullptr};
  std::string scratchPath_;
  bool active_ = false;
};

// Fixture for tests that need the sandbox.
class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sandbox_.Active()) << "registry sandbox could not be set up"; }
  RegistrySandbox sandbox_;
};

// Small registry helpers for building fixtures; each asserts on failure.
void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
               DWORD type = REG_SZ);
void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
            DWORD size);
void CreateKey(HKEY root, const std::string& key);
bool KeyExists(HKEY root, const std::string& key);
bool ValueExists(HKEY root, const std::string& key, const std::string& name);
// Replaces the key's access list with the one an SDDL string gives (such as
// "D:(A;;KRWD;;;WD)": everyone may read it and change its access list, nobody
// may write or delete it); true on success.
bool SetKeyAccess(HKEY root, const std::string& key, const char* sddl);
// The value's raw bytes and type; false when it cannot be read.
bool ReadRaw(HKEY root, const std::string& key, const std::string& name, DWORD& type,
             std::string& data);

}  // namespace testsupport
