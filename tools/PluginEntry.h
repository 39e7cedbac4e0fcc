#pragma once
// One Internet Explorer add-on registered machine-wide: a Browser Helper
// Object, a toolbar, or an extension (toolbar button or menu item).

#include <string>

namespace RegCheck {

enum PluginKind : int {
  kPluginBHO = 0,        // a subkey of kBHOKeyPath named by its class identifier
  kPluginToolbar = 1,    // a value of kToolbarKeyPath named by its class identifier
  kPluginExtension = 2,  // a subkey of kExtensionsKeyPath
};

// The three registration keys, all under HKEY_LOCAL_MACHINE.
inline constexpr char kBHOKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
inline constexpr char kToolbarKeyPath[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr char kExtensionsKeyPath[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
// The server file of an extension whose implementing file was not found.
inline constexpr char kUnknownServerFile[] = "<Unknown>";

class PluginEntry {
 public:
  // `keyPath` is the registration key the add-on was found in (the native
  // one or, on 64-bit Windows, its 32-bit twin); "" names the native key of
  // its kind.
  PluginEntry(PluginKind kind, const std::string& displayName, const std::string& registryName,
              const std::string& serverFile, const std::string& keyPath = std::string());

  PluginKind Kind() const { return kind_; }
  // Empty when no readable name was found.
  const std::string& DisplayName() const { return displayName_; }
  // The subkey name (BHO, extension) or value name (toolbar) of the
  // registration.
  const std::string& RegistryName() const { return registryName_; }
  // The implementing file as registered, possibly empty; kUnknownServerFile
  // for an extension without one.
  const std::string& ServerFile() const { return serverFile_; }
  const std::string& KeyPath() const { return keyPath_; }

  // The list line: the display name, or the server file when the name is
  // empty, followed by " (BHO)", " (Toolbar)" or " (Extension)".
  std::string DisplayText() const;

  // Deletes only the registration that makes Internet Explorer load the
  // add-on, through the backup manager: the BHO's or extension's subkey, or
  // the toolbar's value. The class registration and the files stay. 1 done,
  // 0 failed or an unknown kind.
  int Remove() const;

 private:
  PluginKind kind_;
  std::string displayName_;
  std::string registryName_;
  std::string serverFile_;
  std::string keyPath_;
};

}  // namespace RegCheck
