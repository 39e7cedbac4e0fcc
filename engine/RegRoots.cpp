#include "engine/RegRoots.h"

namespace RegCheck {

const char* RootAbbreviation(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return "HKLM";
  if (root == HKEY_CURRENT_USER) return "HKCU";
  if (root == HKEY_CLASSES_ROOT) return "HKCR";
  return "";
}

std::string KeyPathText(HKEY root, const std::string& subkey) {
  std::string abbreviation = RootAbbreviation(root);
  if (abbreviation.empty()) return std::string();
  return abbreviation + "\\" + subkey;
}

std::string JoinKeyPath(const std::string& parent, const std::string& name) {
  if (parent.empty()) return name;
  return parent + "\\" + name;
}

}  // namespace RegCheck
