#include "backup/DeletionGuard.h"

#include <vector>

namespace RegCheck {

namespace {

// Keys whose subkeys or values are the entries the program removes; the
// container itself is never one of them.
const char* const kContainers[] = {
    "CLSID",      "TypeLib",       "AppID",        "Interface",   "Installer",
    "SOFTWARE",   "Classes",       "App Paths",    "Uninstall",   "ARPCache",
    "Services",   "SharedDlls",    "Fonts",        "Help",        "HTML Help",
    "Run",        "RunOnce",       "RunOnceEx",    "RunServices", "RunServicesOnce",
    "Browser Helper Objects",      "Extensions",   "Toolbar",     "RecentDocs",
    "OpenSaveMRU", "FileExts",     "UserData",     "Components",  "Products",
    "Wow6432Node", "CurrentVersion", "Explorer",   "Windows",     "Microsoft",
    "Policies",   "System",        "ControlSet001", "CurrentControlSet",
};

bool EqualsIgnoringCase(const std::string& a, const char* b) { return lstrcmpiA(a.c_str(), b) == 0; }

bool IsRoot(HKEY root) {
  return root == HKEY_LOCAL_MACHINE || root == HKEY_CURRENT_USER || root == HKEY_CLASSES_ROOT;
}

std::string StripOuterBackslashes(const std::string& path) {
  const size_t first = path.find_first_not_of('\\');
  if (first == std::string::npos) return std::string();
  return path.substr(first, path.find_last_not_of('\\') - first + 1);
}

// Splits on backslashes; false when a component is empty, "." or "..".
bool SplitComponents(const std::string& path, std::vector<std::string>& out) {
  size_t start = 0;
  for (;;) {
    const size_t end = path.find('\\', start);
    std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty() || part == "." || part == "..") return false;
    out.push_back(part);
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

const char* PathRefusal(const std::string& keyPath, std::vector<std::string>& components) {
  const std::string path = StripOuterBackslashes(keyPath);
  if (path.empty()) return nullptr;
  if (!SplitComponents(path, components)) return "key path with an empty or relative component";
  return nullptr;
}

}  // namespace

const char* KeyDeletionRefusal(HKEY root, const std::string& keyPath, const std::string& name) {
  if (!IsRoot(root)) return "not a key under HKLM, HKCU or HKCR";
  if (name.find_first_not_of('\\') == std::string::npos) return "no subkey name";
  std::vector<std::string> components;
  if (const char* reason = PathRefusal(keyPath, components)) return reason;
  if (!SplitComponents(name, components)) return "subkey name escapes its parent";
  for (const char* container : kContainers) {
    if (EqualsIgnoringCase(components.back(), container)) return "container key";
  }
  for (size_t i = 0; i < components.size(); ++i) {
    if (!EqualsIgnoringCase(components[i], "UserData")) continue;
    const size_t below = components.size() - 1 - i;
    if (below <= 1) return "installer user data key";
  }
  return nullptr;
}

const char* ValueDeletionRefusal(HKEY root, const std::string& keyPath) {
  if (!IsRoot(root)) return "not a key under HKLM, HKCU or HKCR";
  std::vector<std::string> components;
  return PathRefusal(keyPath, components);
}

}  // namespace RegCheck
