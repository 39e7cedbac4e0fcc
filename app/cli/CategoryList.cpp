#include "app/cli/CategoryList.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/ScanCategories.h"

namespace RegCheck {

std::string CategoryShortName(int bit) {
  const ScanCategory* category = FindScanCategory(bit);
  if (!category) return std::string();
  return category->settingsValue + 3;  // past "reg"
}

std::string DisplayLabel(const char* label) {
  std::string shown;
  for (const char* p = label; *p; ++p) {
    shown += *p;
    if (p[0] == '&' && p[1] == '&') ++p;
  }
  return shown;
}

namespace {

bool ParseOne(const std::string& word, int& bits) {
  if (strcasecmp(word.c_str(), "all") == 0) {
    bits = kAllCategories;
    return true;
  }
  for (const ScanCategory& category : kScanCategories) {
    if (strcasecmp(word.c_str(), category.settingsValue + 3) == 0) {
      bits = category.bit;
      return true;
    }
  }
  if (word.empty() || !(word[0] >= '0' && word[0] <= '9')) return false;
  char* end = nullptr;
  unsigned long value = strtoul(word.c_str(), &end, 0);
  if (*end != '\0' || value == 0 || (value & ~static_cast<unsigned long>(kAllCategories)) != 0)
    return false;
  bits = static_cast<int>(value);
  return true;
}

}  // namespace

bool ParseCategoryList(const std::string& text, int& mask, std::string& error) {
  int result = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string word = text.substr(start, end - start);
    int bits = 0;
    if (!ParseOne(word, bits)) {
      error = word.empty() ? "empty category name in \"" + text + "\""
                           : "unknown category \"" + word + "\"";
      return false;
    }
    result |= bits;
    start = end + 1;
  }
  mask = result;
  return true;
}

}  // namespace RegCheck
