#include "engine/RegEnumerator.h"

#include <cstring>

#include "engine/RegCallCounter.h"
#include "engine/RegKey.h"
#include "engine/RegRoots.h"
#include "engine/ScanCoordinator.h"

namespace RegCheck {

namespace {

// Names of 1024 characters or more do not fit and end the listing.
constexpr DWORD kNameBufferChars = 1024;

// A name with characters the ANSI code page cannot carry comes back with
// "?" substitutes and then names nothing: opening or reading it fails, so a
// handler would take a perfectly valid entry for a broken one, and no fix
// could ever remove it. Such entries are counted but not handed on.
bool UnreachableSubkey(HKEY key, const char* name, DWORD length) {
  if (!memchr(name, '?', length)) return false;
  RegKey probe;
  return probe.Open(key, name, kReadAccess) == ERROR_FILE_NOT_FOUND;
}

bool UnreachableValue(HKEY key, const char* name, DWORD length) {
  if (!memchr(name, '?', length)) return false;
  return QueryKeyValue(key, name, nullptr, nullptr, nullptr) == ERROR_FILE_NOT_FOUND;
}

}  // namespace

int RegEnumerator::Walk(IRegEnumHandler& handler) {
  if (GetScanCoordinator().IsCancelled()) return 1;
  Visit(path_, 0, handler);
  return 0;
}

int RegEnumerator::WalkLevel(HKEY root, const std::string& path, int flags,
                             IRegEnumHandler& handler) {
  RegEnumerator walker;
  walker.SetRoot(root);
  walker.SetPath(path);
  walker.SetFlags(flags);
  walker.SetMaxDepth(0);
  return walker.Walk(handler);
}

void RegEnumerator::Visit(const std::string& path, int level, IRegEnumHandler& handler) {
  CScanCoordinator& coordinator = GetScanCoordinator();
  if (coordinator.IsCancelled()) return;

  RegKey key;
  if (key.Open(root_, path.c_str(), kReadAccess) != ERROR_SUCCESS) return;

  const std::string keyText = KeyPathText(root_, path);
  coordinator.OnKeyVisited(keyText);

  char name[kNameBufferChars];
  if (flags_ & kReportValues) {
    for (DWORD index = 0; !coordinator.IsCancelled(); ++index) {
      DWORD nameSize = kNameBufferChars;
      DWORD type = REG_NONE;
      DWORD dataSize = 0;
      CountRegistryCall();
      if (RegEnumValueA(key.Handle(), index, name, &nameSize, nullptr, &type, nullptr, &dataSize) !=
          ERROR_SUCCESS)
        break;
      std::string valueName(name, nameSize);
      coordinator.OnValueVisited(keyText, valueName);
      if (UnreachableValue(key.Handle(), name, nameSize)) continue;
      handler.OnValue(key.Handle(), path, valueName, type, dataSize);
    }
  }

  if (flags_ & kReportKeys) {
    for (DWORD index = 0; !coordinator.IsCancelled(); ++index) {
      DWORD nameSize = kNameBufferChars;
      if (key.EnumKey(index, name, nameSize) != ERROR_SUCCESS) break;
      std::string subkeyName(name, nameSize);
      coordinator.OnKeyVisited(keyText + "\\" + subkeyName);
      if (UnreachableSubkey(key.Handle(), name, nameSize)) continue;
      handler.OnKey(key.Handle(), path, subkeyName);
    }
  }

  if (maxDepth_ < 0 || level < maxDepth_) {
    for (DWORD index = 0; !coordinator.IsCancelled(); ++index) {
      DWORD nameSize = kNameBufferChars;
      if (key.EnumKey(index, name, nameSize) != ERROR_SUCCESS) break;
      Visit(JoinKeyPath(path, std::string(name, nameSize)), level + 1, handler);
    }
  }
}

}  // namespace RegCheck
