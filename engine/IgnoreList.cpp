#include "engine/IgnoreList.h"

#include <vector>

#include "engine/RegKey.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

const char kIgnoreListKey[] = "Software\\Varnholt\\Varnholt\\Settings\\Ignored";

namespace {

constexpr char kSeparator = '|';

// The category's word in value names: its count value without "reg".
const char* CategoryWord(int bit) {
  const ScanCategory* category = FindScanCategory(bit);
  return category ? category->settingsValue + 3 : nullptr;
}

int CategoryOfWord(const std::string& word) {
  for (const ScanCategory& category : kScanCategories)
    if (word == category.settingsValue + 3) return category.bit;
  return 0;
}

std::string ValueName(int category, const std::string& location) {
  return std::string(CategoryWord(category)) + kSeparator + location;
}

std::string FoldCase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string FilterKey(int category, const std::string& location) {
  return std::to_string(category) + kSeparator + FoldCase(location);
}

bool ParseValueName(const std::string& name, IgnoreEntry& entry) {
  const size_t bar = name.find(kSeparator);
  if (bar == std::string::npos || bar + 1 == name.size()) return false;
  entry.category = CategoryOfWord(name.substr(0, bar));
  entry.location = name.substr(bar + 1);
  return entry.category != 0;
}

}  // namespace

std::vector<IgnoreEntry> ReadIgnoreList() {
  std::vector<IgnoreEntry> entries;
  RegKey key;
  if (key.Open(HKEY_CURRENT_USER, kIgnoreListKey, kReadAccess) != ERROR_SUCCESS) return entries;
  // One more than the limits, so an over-long entry shows as ERROR_MORE_DATA.
  std::vector<char> name(kMaxIgnoreNameLength + 2);
  std::vector<BYTE> data(kMaxIgnoreDescriptionLength + 2);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    LONG rc = RegEnumValueA(key.Handle(), index, name.data(), &nameLength, nullptr, &type,
                            data.data(), &size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc == ERROR_MORE_DATA) continue;  // over-long: skipped
    if (rc != ERROR_SUCCESS) break;
    if (nameLength > kMaxIgnoreNameLength || type != REG_SZ) continue;
    IgnoreEntry entry;
    if (!ParseValueName(std::string(name.data(), nameLength), entry)) continue;
    // The text may lack its terminator; take it up to the first zero.
    size_t length = 0;
    while (length < size && data[length] != 0) ++length;
    if (length > kMaxIgnoreDescriptionLength) continue;
    entry.description.assign(reinterpret_cast<const char*>(data.data()), length);
    entries.push_back(std::move(entry));
  }
  return entries;
}

LONG AddIgnoreEntry(const IgnoreEntry& entry) {
  if (!CategoryWord(entry.category) || entry.location.empty() ||
      entry.location.find('\0') != std::string::npos ||
      entry.description.find('\0') != std::string::npos ||
      entry.description.size() > kMaxIgnoreDescriptionLength)
    return ERROR_INVALID_PARAMETER;
  const std::string name = ValueName(entry.category, entry.location);
  if (name.size() > kMaxIgnoreNameLength) return ERROR_INVALID_PARAMETER;
  RegKey key;
  LONG rc = key.Create(HKEY_CURRENT_USER, kIgnoreListKey);
  if (rc != ERROR_SUCCESS) return rc;
  return key.SetStringValue(name.c_str(), entry.description.c_str());
}

LONG RemoveIgnoreEntry(int category, const std::string& location) {
  if (!CategoryWord(category) || location.empty()) return ERROR_FILE_NOT_FOUND;
  RegKey key;
  LONG rc = key.Open(HKEY_CURRENT_USER, kIgnoreListKey);
  if (rc != ERROR_SUCCESS) return rc;
  return key.DeleteValue(ValueName(category, location).c_str());
}

IgnoreEntry IgnoreEntryOf(CRegistryAction& action) {
  IgnoreEntry entry;
  entry.category = action.GetCategory();
  action.GetLocation(entry.location);
  action.GetDescription(entry.description);
  return entry;
}

void CIgnoreFilter::Load() { Load(ReadIgnoreList()); }

void CIgnoreFilter::Load(const std::vector<IgnoreEntry>& entries) {
  keys_.clear();
  for (const IgnoreEntry& entry : entries) keys_.insert(FilterKey(entry.category, entry.location));
}

bool CIgnoreFilter::Excludes(CRegistryAction& action) const {
  if (keys_.empty()) return false;
  std::string location;
  action.GetLocation(location);
  return keys_.count(FilterKey(action.GetCategory(), location)) != 0;
}

}  // namespace RegCheck
