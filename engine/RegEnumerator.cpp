#include "engine/RegEnumerator.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/RegCallCounter.h"
#include "engine/RegKey.h"
#include "engine/RegRoots.h"

namespace RegCheck {

namespace {

// Names of 1024 characters or more do not fit and end the listing.
constexpr DWORD kNameBufferChars = 1024;

// Stands for the counts of a key that would not tell them: the listings
// then run to their first failure.
constexpr DWORD kUnknownCount = 0xFFFFFFFF;

// Tries at most this often to read a value whose data keeps outgrowing the
// buffer (another program rewriting it meanwhile).
constexpr int kDataReadAttempts = 3;

// A name with characters the ANSI code page cannot carry comes back with
// "?" substitutes and then names nothing: opening or reading it fails, so a
// handler would take a perfectly valid entry for a broken one, and no fix
// could ever remove it. Such entries are counted but not handed on.
bool UnreachableSubkey(HKEY key, const char* name, DWORD length) {
  if (!memchr(name, '?', length)) return false;
  RegKey probe;
  return probe.Open(key, std::string(name, length).c_str(), kReadAccess) == ERROR_FILE_NOT_FOUND;
}

bool UnreachableValue(HKEY key, const char* name, DWORD length) {
  if (!memchr(name, '?', length)) return false;
  return QueryKeyValue(key, name, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND;
}

// The index-th value of `key` with its data, in one call while the data
// fits `data`. A name that does not fit fails as a listing without data
// would; data that grew since the buffer was sized grows the buffer.
LONG EnumValueWithData(HKEY key, DWORD index, char* name, DWORD& nameSize, DWORD& type,
                       std::vector<BYTE>& data, DWORD& dataSize) {
  LONG rc = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < kDataReadAttempts && rc == ERROR_MORE_DATA; ++attempt) {
    nameSize = kNameBufferChars;
    dataSize = static_cast<DWORD>(data.size());
    CountRegistryCall();
    rc = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, data.data(), &dataSize);
    if (rc != ERROR_MORE_DATA) return rc;
    // The name or the data did not fit: the size alone tells which.
    nameSize = kNameBufferChars;
    CountRegistryCall();
    LONG sized = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, &dataSize);
    if (sized != ERROR_SUCCESS) return sized;
    data.resize(std::max<size_t>(dataSize, data.size() * 2));
  }
  return rc;
}

}  // namespace

int RegEnumerator::Walk(CScanContext& context, IRegEnumHandler& handler) {
  if (context.IsCancelled()) return 1;
  Visit(context, root_, path_, path_, 0, handler);
  return 0;
}

int RegEnumerator::WalkLevel(CScanContext& context, HKEY root, const std::string& path, int flags,
                             IRegEnumHandler& handler) {
  RegEnumerator walker;
  walker.SetRoot(root);
  walker.SetPath(path);
  walker.SetFlags(flags);
  walker.SetMaxDepth(0);
  return walker.Walk(context, handler);
}

void RegEnumerator::Visit(CScanContext& context, HKEY parent, const std::string& name,
                          const std::string& path, int level, IRegEnumHandler& handler) {
  if (context.IsCancelled()) return;

  RegKey key;
  if (key.Open(parent, name.c_str(), kReadAccess) != ERROR_SUCCESS) return;

  const std::string keyText = KeyPathText(root_, path);
  context.OnKeyVisited(keyText);

  // One question gives both counts, so no listing needs a failing call to
  // find its end, and the largest value's size, so each value's data comes
  // with its name. Should the question fail, the listings run to their
  // first failure and the data buffer grows on demand.
  RegKeyInfo info;
  if (QueryKeyInfo(key.Handle(), info) != ERROR_SUCCESS) info.subkeys = info.values = kUnknownCount;

  if (flags_ & kReportValues) VisitValues(context, key.Handle(), path, keyText, info, handler);

  const bool descend = maxDepth_ < 0 || level < maxDepth_;
  if (!(flags_ & kReportKeys) && !descend) return;
  const std::vector<std::string> subkeys = ListSubkeys(context, key, info.subkeys);

  if (flags_ & kReportKeys) {
    for (const std::string& subkey : subkeys) {
      if (context.IsCancelled()) return;
      context.OnKeyVisited(keyText + "\\" + subkey);
      if (UnreachableSubkey(key.Handle(), subkey.data(), static_cast<DWORD>(subkey.size())))
        continue;
      handler.OnKey(key.Handle(), path, subkey);
    }
  }

  if (!descend) return;
  for (const std::string& subkey : subkeys)
    Visit(context, key.Handle(), subkey, JoinKeyPath(path, subkey), level + 1, handler);
}

void RegEnumerator::VisitValues(CScanContext& context, HKEY key, const std::string& path,
                                const std::string& keyText, const RegKeyInfo& info,
                                IRegEnumHandler& handler) {
  // Never empty: a null data pointer would ask for the size alone.
  std::vector<BYTE> data(std::max<DWORD>(info.maxValueData, 1));
  char name[kNameBufferChars];
  for (DWORD index = 0; index < info.values && !context.IsCancelled(); ++index) {
    DWORD nameSize = 0;
    DWORD type = REG_NONE;
    DWORD dataSize = 0;
    if (EnumValueWithData(key, index, name, nameSize, type, data, dataSize) != ERROR_SUCCESS) break;
    std::string valueName(name, nameSize);
    context.OnValueVisited(keyText);
    if (UnreachableValue(key, name, nameSize)) continue;
    handler.OnValueData(key, path, valueName, type, data.data(), dataSize);
  }
}

std::vector<std::string> RegEnumerator::ListSubkeys(const CScanContext& context, const RegKey& key,
                                                    DWORD count) {
  std::vector<std::string> names;
  char name[kNameBufferChars];
  for (DWORD index = 0; index < count && !context.IsCancelled(); ++index) {
    DWORD nameSize = kNameBufferChars;
    if (key.EnumKey(index, name, nameSize) != ERROR_SUCCESS) break;
    names.emplace_back(name, nameSize);
  }
  return names;
}

}  // namespace RegCheck
