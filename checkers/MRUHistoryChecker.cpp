#include "checkers/MRUHistoryChecker.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string.h>

#include <vector>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/RegRoots.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

const char kOpenSaveMruPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const char kRecentDocsPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";

constexpr DWORD kMruValueBytes = 260;
// A "RecentDocs" record: display name (UTF-16, NUL-terminated), a shell item
// of which 14 bytes come before the shortcut file's ANSI name.
constexpr size_t kDisplayNameUnits = 262;
constexpr size_t kShellItemSkip = 14;
constexpr size_t kShortcutNameBytes = 264;

std::string& RecentFolderOverride() {
  static std::string folder;
  return folder;
}

bool IsNetworkPath(const std::string& path) { return path.compare(0, 2, "\\\\") == 0; }

// Owns one interface pointer for the length of a scope.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  void** Receive() { return reinterpret_cast<void**>(&pointer_); }
  T* operator->() const { return pointer_; }

 private:
  T* pointer_ = nullptr;
};

}  // namespace

void CMRUHistoryChecker::Scan(CScanContext& context, CActionList& results) {
  RegEnumerator walker;
  walker.SetRoot(HKEY_CURRENT_USER);
  walker.SetFlags(RegEnumerator::kReportValues);
  walker.SetMaxDepth(-1);

  walker.SetPath(kOpenSaveMruPath);
  CHandler dialogs(context, results);
  walker.Walk(context, dialogs);

  walker.SetPath(kRecentDocsPath);
  CDocumentsHandler documents(context, results);
  walker.Walk(context, documents);
}

bool CMRUHistoryChecker::CheckMruValue(CScanContext& context, const std::string& valueName,
                                       DWORD type, const BYTE* data, DWORD size,
                                       std::string& path) {
  if (_stricmp(valueName.c_str(), "mrulist") == 0) return true;

  path.clear();
  if ((type == REG_SZ || type == REG_EXPAND_SZ) && !DataText(data, size, kMruValueBytes, path))
    path.clear();

  if (IsNetworkPath(path)) return true;
  return CheckPath(context, path, PATH_FILE);
}

std::string CMRUHistoryChecker::ShortcutNameFromRecord(const BYTE* data, DWORD size) {
  const size_t units = size / sizeof(WCHAR);
  size_t length = 0;
  while (length < units && length < kDisplayNameUnits &&
         (data[2 * length] | data[2 * length + 1]) != 0)
    ++length;
  // No terminator inside the record, or none inside the display name buffer.
  if (length == units || length == kDisplayNameUnits) return std::string();

  const size_t start = 2 * length + 2 + kShellItemSkip;
  size_t nameLength = 0;
  while (start + nameLength < size && nameLength < kShortcutNameBytes &&
         data[start + nameLength] != 0)
    ++nameLength;
  if (start + nameLength >= size || nameLength == kShortcutNameBytes) return std::string();

  // The shortcut is named after the document, so a different first letter
  // means the bytes there are something else.
  if (nameLength == 0 || data[start] != data[0]) return std::string();
  return std::string(reinterpret_cast<const char*>(data + start), nameLength);
}

bool CMRUHistoryChecker::IsPlainFileName(const std::string& name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos &&
         name.find("..") == std::string::npos;
}

bool CMRUHistoryChecker::CheckRecentDocValue(CScanContext& context,
                                             const std::string& recentFolder,
                                             const std::string& valueName, const BYTE* data,
                                             DWORD size, std::string& shortcutName,
                                             bool& shortcutExists) {
  if (valueName.find("MRUList") != std::string::npos ||
      valueName.find("ViewStream") != std::string::npos)
    return true;

  shortcutName.clear();
  if (size > 0) shortcutName = ShortcutNameFromRecord(data, size);

  if (shortcutName.empty() || IsNetworkPath(shortcutName)) return true;
  // The fix of a dead shortcut deletes the file judged here, so only a
  // plain name directly inside a known Recent folder is followed.
  if (recentFolder.empty() || !IsPlainFileName(shortcutName)) return true;

  // Tested literally (no expansion, no PATH search): the file judged must
  // be the very file a fix would delete.
  const std::string shortcutPath = recentFolder + "\\" + shortcutName;
  if (!CheckPath(context, shortcutPath, PATH_ACCEPT_FILE)) {
    shortcutExists = false;
    return false;
  }
  shortcutExists = true;
  return CheckShortcutTarget(context, shortcutPath);
}

bool CMRUHistoryChecker::CheckShortcutTarget(CScanContext& context,
                                             const std::string& shortcutPath) {
  CoInitialize(nullptr);

  ComRef<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_IShellLinkA,
                              link.Receive())))
    return true;
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Receive()))) return true;

  int units = MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, nullptr, 0);
  if (units <= 0) return false;
  std::vector<WCHAR> widePath(static_cast<size_t>(units));
  if (MultiByteToWideChar(CP_ACP, 0, shortcutPath.c_str(), -1, widePath.data(), units) <= 0)
    return false;
  if (FAILED(file->Load(widePath.data(), 0))) return false;

  char target[MAX_PATH] = "";
  if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) return false;
  target[MAX_PATH - 1] = '\0';
  if (target[0] == '\0') return false;
  if (target[0] == '\\') return true;
  // Recent documents include folders the user opened; a shortcut to a
  // folder that exists is alive.
  return CheckPath(context, target, PATH_COMMAND | PATH_ACCEPT_DIR);
}

std::string CMRUHistoryChecker::RecentFolder() {
  if (!RecentFolderOverride().empty()) return RecentFolderOverride();
  char folder[MAX_PATH] = "";
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_RECENT, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return std::string();
  return folder;
}

void CMRUHistoryChecker::SetRecentFolderForTesting(const std::string& folder) {
  RecentFolderOverride() = folder;
}

void CMRUHistoryChecker::CHandler::OnValueData(HKEY, const std::string& path,
                                               const std::string& valueName, DWORD type,
                                               const BYTE* data, DWORD dataSize) {
  if (type != REG_SZ) return;
  std::string target;
  if (!CheckMruValue(context_, valueName, type, data, dataSize, target))
    results_.Add(new CMRUHistoryAction(path, valueName, target, CMRUHistoryAction::kFileDialogEntry, 0));
}

void CMRUHistoryChecker::CDocumentsHandler::OnValueData(HKEY, const std::string& path,
                                                        const std::string& valueName, DWORD type,
                                                        const BYTE* data, DWORD dataSize) {
  if (type != REG_BINARY) return;
  std::string shortcutName;
  bool shortcutExists = false;
  if (CheckRecentDocValue(context_, recentFolder_, valueName, data, dataSize, shortcutName,
                          shortcutExists))
    return;
  results_.Add(new CMRUHistoryAction(path, valueName, shortcutName,
                                     CMRUHistoryAction::kRecentDocEntry, shortcutExists ? 1 : 0));
  if (shortcutExists)
    results_.Add(new CMRUHistoryAction(recentFolder_ + "\\" + shortcutName, std::string(),
                                       shortcutName, CMRUHistoryAction::kShortcutFile, 1));
}

int CMRUHistoryAction::GetCategory() { return kCatHistory; }

int CMRUHistoryAction::Fix() {
  switch (kind_) {
    case kFileDialogEntry:
      return GetBackupManager().DeleteValue("MRU entry " + subject_, HKEY_CURRENT_USER, location_,
                                            valueName_);
    case kRecentDocEntry:
      return GetBackupManager().DeleteValue("MRU Documents entry " + subject_, HKEY_CURRENT_USER,
                                            location_, valueName_);
    default:
      break;
  }
  // Nothing but the one shortcut file directly inside the Recent folder is
  // ever deleted, whatever path the action was given.
  const std::string recentFolder = CMRUHistoryChecker::RecentFolder();
  if (recentFolder.empty() || !CMRUHistoryChecker::IsPlainFileName(subject_) ||
      _stricmp(location_.c_str(), (recentFolder + "\\" + subject_).c_str()) != 0)
    return 0;
  if (DeleteFileA(location_.c_str())) return 1;
  // Already gone counts as done; a file that stays (read-only, in use) does not.
  if (GetFileAttributesA(location_.c_str()) != INVALID_FILE_ATTRIBUTES) return 0;
  DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int CMRUHistoryAction::GetDescription(std::string& out) {
  switch (kind_) {
    case kFileDialogEntry:
      out = "Path " + subject_ + " no longer exist";
      break;
    case kRecentDocEntry:
      out = (shortcutExists_ ? "Reference to obsolete .lnk file: " : "Reference to unexisting file: ") +
            subject_;
      break;
    default:
      out = "Obsolete lnk file: " + subject_;
      break;
  }
  return 1;
}

int CMRUHistoryAction::GetLocation(std::string& out) {
  if (kind_ == kShortcutFile) {
    out = location_;
  } else {
    out = KeyPathText(HKEY_CURRENT_USER, location_) + " (VALUE:" + valueName_ + ")";
  }
  return 1;
}

}  // namespace RegCheck
