#include "tools/IEPluginManager.h"

#include <windows.h>

#include <cstring>

#include "engine/RegEnumerator.h"
#include "engine/RegKey.h"
#include "engine/RegView.h"

namespace RegCheck {

namespace {

constexpr DWORD kTextBufferBytes = 260;

// Reads a value of any type into a 260-byte buffer; a longer value counts as
// missing. The text stops at its first zero or at the end of the data, so
// data without a terminator cannot run past the buffer.
bool ReadShortText(const RegKey& key, const char* name, std::string& text) {
  char buffer[kTextBufferBytes];
  DWORD size = sizeof(buffer);
  if (key.QueryValue(name, nullptr, buffer, &size) != ERROR_SUCCESS) return false;
  text.assign(buffer, strnlen(buffer, size));
  return true;
}

// The class of an add-on registered in `registrationKey` lives in the class
// view of the same kind of program.
std::string ClassKeyPath(const std::string& registrationKey, const std::string& classId) {
  const bool wow32 = ViewOfKey(HKEY_LOCAL_MACHINE, registrationKey) == RegView::kWow32View;
  return (wow32 ? "Wow6432Node\\CLSID\\" : "CLSID\\") + classId;
}

// The class's name (default value of its CLSID key) and in-process server
// file; either stays empty when the class or the value is missing.
void ResolveClass(const std::string& registrationKey, const std::string& classId,
                  std::string& displayName, std::string& serverFile) {
  RegKey classKey;
  if (classKey.Open(HKEY_CLASSES_ROOT, ClassKeyPath(registrationKey, classId).c_str(),
                    kReadAccess) != ERROR_SUCCESS)
    return;
  ReadShortText(classKey, "", displayName);
  RegKey inproc;
  if (inproc.Open(classKey.Handle(), "InprocServer32", kReadAccess) == ERROR_SUCCESS)
    ReadShortText(inproc, "", serverFile);
}

// The server file of an extension's COM class: the in-process server, or the
// local server when the class has no in-process registration at all.
void ResolveExtensionClass(const std::string& registrationKey, const std::string& classId,
                           std::string& serverFile) {
  RegKey classKey;
  if (classKey.Open(HKEY_CLASSES_ROOT, ClassKeyPath(registrationKey, classId).c_str(),
                    kReadAccess) != ERROR_SUCCESS)
    return;
  RegKey server;
  if (server.Open(classKey.Handle(), "InprocServer32", kReadAccess) == ERROR_SUCCESS ||
      server.Open(classKey.Handle(), "LocalServer32", kReadAccess) == ERROR_SUCCESS)
    ReadShortText(server, "", serverFile);
}

}  // namespace

class CIEPluginManager::CBHOHandler : public CRegEnumHandlerBase {
 public:
  explicit CBHOHandler(CIEPluginManager* manager) : manager_(manager) {}

  void OnKey(HKEY, const std::string& path, const std::string& subkeyName) override {
    std::string displayName;
    std::string serverFile;
    ResolveClass(path, subkeyName, displayName, serverFile);
    manager_->entries_.emplace_back(kPluginBHO, displayName, subkeyName, serverFile, path);
  }

 private:
  CIEPluginManager* manager_;
};

class CIEPluginManager::CToolbarHandler : public CRegEnumHandlerBase {
 public:
  explicit CToolbarHandler(CIEPluginManager* manager) : manager_(manager) {}

  void OnValue(HKEY, const std::string& path, const std::string& valueName, DWORD, DWORD) override {
    std::string displayName;
    std::string serverFile;
    ResolveClass(path, valueName, displayName, serverFile);
    manager_->entries_.emplace_back(kPluginToolbar, displayName, valueName, serverFile, path);
  }

 private:
  CIEPluginManager* manager_;
};

class CIEPluginManager::CExtensionHandler : public CRegEnumHandlerBase {
 public:
  explicit CExtensionHandler(CIEPluginManager* manager) : manager_(manager) {}

  void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override {
    std::string displayName;
    std::string serverFile;
    RegKey extension;
    if (extension.Open(key, subkeyName.c_str(), kReadAccess) == ERROR_SUCCESS) {
      if (!ReadShortText(extension, "ButtonText", displayName))
        ReadShortText(extension, "MenuText", displayName);
      ReadShortText(extension, "Exec", serverFile);
      std::string classId;
      if (serverFile.empty() && ReadShortText(extension, "ClsidExtension", classId) &&
          !classId.empty())
        ResolveExtensionClass(path, classId, serverFile);
    }
    if (serverFile.empty()) serverFile = kUnknownServerFile;
    manager_->entries_.emplace_back(kPluginExtension, displayName, subkeyName, serverFile, path);
  }

 private:
  CIEPluginManager* manager_;
};

int CIEPluginManager::Refresh() {
  entries_.clear();
  RegEnumerator enumerator;
  enumerator.SetRoot(HKEY_LOCAL_MACHINE);
  enumerator.SetFlags(RegEnumerator::kReportKeys);
  enumerator.SetMaxDepth(0);

  // Each registration key in both views on 64-bit Windows, native first.
  CBHOHandler bhoHandler(this);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kBHOKeyPath)) {
    enumerator.SetPath(path);
    enumerator.Walk(context_, bhoHandler);
  }

  CExtensionHandler extensionHandler(this);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kExtensionsKeyPath)) {
    enumerator.SetPath(path);
    enumerator.Walk(context_, extensionHandler);
  }

  CToolbarHandler toolbarHandler(this);
  enumerator.SetFlags(RegEnumerator::kReportValues);
  for (const std::string& path : ViewsOf(HKEY_LOCAL_MACHINE, kToolbarKeyPath)) {
    enumerator.SetPath(path);
    enumerator.Walk(context_, toolbarHandler);
  }
  return 1;
}

}  // namespace RegCheck
