#include "support/RegistryDump.h"

namespace testsupport {

namespace {

void Picture(HKEY parent, const std::wstring& path, const std::wstring& text, RegistryPicture& out,
             int depth) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, path.empty() ? nullptr : path.c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  out[text] = "K";
  DWORD maxName = 0, maxData = 0, subkeys = 0, values = 0, maxSubkey = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &maxSubkey, nullptr, &values, &maxName,
                   &maxData, nullptr, nullptr);
  std::vector<wchar_t> name(maxName + maxSubkey + 2);
  std::vector<BYTE> data(maxData + 2);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    if (RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      continue;
    out[text + L"|" + std::wstring(name.data(), nameSize)] =
        "V" + std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data.data()), size);
  }
  std::vector<std::wstring> children;
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      children.emplace_back(name.data(), nameSize);
  }
  RegCloseKey(key);
  if (depth > 1000) return;
  for (const std::wstring& child : children)
    Picture(parent, path.empty() ? child : path + L"\\" + child, text + L"\\" + child, out,
            depth + 1);
}

std::string Narrow(const std::wstring& text) {
  std::string narrow;
  for (wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
  return narrow.size() > 160 ? narrow.substr(0, 160) + "..." : narrow;
}

}  // namespace

RegistryPicture PictureOfSandbox() {
  RegistryPicture picture;
  Picture(HKEY_LOCAL_MACHINE, L"", L"HKLM", picture, 0);
  Picture(HKEY_CURRENT_USER, L"", L"HKCU", picture, 0);
  Picture(HKEY_CLASSES_ROOT, L"", L"HKCR", picture, 0);
  return picture;
}

RegistryPicture PictureOfKey(HKEY root, const std::wstring& path) {
  RegistryPicture picture;
  Picture(root, path, path, picture, 0);
  return picture;
}

std::vector<std::string> Differences(const RegistryPicture& before, const RegistryPicture& after,
                                     size_t limit) {
  std::vector<std::string> differences;
  for (const auto& entry : before) {
    if (differences.size() >= limit) return differences;
    auto found = after.find(entry.first);
    if (found == after.end()) {
      differences.push_back("missing: " + Narrow(entry.first));
    } else if (found->second != entry.second) {
      differences.push_back("changed: " + Narrow(entry.first));
    }
  }
  for (const auto& entry : after) {
    if (differences.size() >= limit) return differences;
    if (!before.count(entry.first)) differences.push_back("added: " + Narrow(entry.first));
  }
  return differences;
}

}  // namespace testsupport
