#include "tools/PluginEntry.h"

#include <windows.h>

#include "backup/BackupManager.h"

namespace RegCheck {

namespace {

const char* NativeKeyPath(PluginKind kind) {
  switch (kind) {
    case kPluginBHO:
      return kBHOKeyPath;
    case kPluginToolbar:
      return kToolbarKeyPath;
    case kPluginExtension:
      return kExtensionsKeyPath;
  }
  return "";
}

}  // namespace

PluginEntry::PluginEntry(PluginKind kind, const std::string& displayName,
                         const std::string& registryName, const std::string& serverFile,
                         const std::string& keyPath)
    : kind_(kind), displayName_(displayName), registryName_(registryName), serverFile_(serverFile),
      keyPath_(keyPath.empty() ? NativeKeyPath(kind) : keyPath) {}

std::string PluginEntry::DisplayText() const {
  std::string text = displayName_.empty() ? serverFile_ : displayName_;
  switch (kind_) {
    case kPluginBHO:
      return text + " (BHO)";
    case kPluginToolbar:
      return text + " (Toolbar)";
    case kPluginExtension:
      return text + " (Extension)";
  }
  return text;
}

int PluginEntry::Remove() const {
  CBackupManager& backup = GetBackupManager();
  switch (kind_) {
    case kPluginBHO:
      // An empty subkey name would take the whole registration key with it.
      if (registryName_.empty()) return 0;
      return backup.DeleteKey("Browser Helper Object entry " + registryName_, HKEY_LOCAL_MACHINE,
                              keyPath_, registryName_);
    case kPluginToolbar:
      // An empty name is the key's default value, a registration like any other.
      return backup.DeleteValue("IE toolbar entry " + registryName_, HKEY_LOCAL_MACHINE,
                                keyPath_, registryName_);
    case kPluginExtension:
      if (registryName_.empty()) return 0;
      return backup.DeleteKey("IE extension entry " + registryName_, HKEY_LOCAL_MACHINE,
                              keyPath_, registryName_);
  }
  return 0;
}

}  // namespace RegCheck
