#include "checkers/ComObjectChecker.h"

#include <ctype.h>
#include <string.h>

#include "backup/BackupManager.h"
#include "checkers/PathRules.h"
#include "checkers/RegText.h"
#include "engine/RegKey.h"
#include "engine/RegView.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

namespace {

constexpr DWORD kPathBuffer = 260;
constexpr DWORD kCommandBuffer = 512;
// Commands this short are shell verbs or bare built-ins, not program paths.
constexpr size_t kShortestCheckedCommand = 11;

// Classes whose open command runs the document itself or a terminal
// program; their commands carry placeholders that are no file name.
const char* const kSelfRunningClasses[] = {
    "exefile", "batfile", "cmdfile", "comfile", "MSSLLfile", "piffile",
    "rlogin",  "scrfile", "telnet",  "tn3270",  "WLANImportFile",
};

// Reads the default value of subkey `name` of `parent` as a string.
bool ReadSubkeyDefault(HKEY parent, const char* name, std::string& text) {
  RegKey key;
  if (key.Open(parent, name, kReadAccess) != ERROR_SUCCESS) return false;
  return ReadStringText(key.Handle(), "", kPathBuffer, text);
}

// Whether `name` opens below key `key` of HKCR in any of its views.
bool OpensInAnyView(CScanContext& context, const char* key, const std::string& name) {
  for (const std::string& view : context.ViewsOf(HKEY_CLASSES_ROOT, key))
    if (SubkeyOpens(HKEY_CLASSES_ROOT, view + "\\" + name)) return true;
  return false;
}

std::string UpperCase(std::string text) {
  for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool CComObjectChecker::CheckClsid(CScanContext& context, HKEY classes, const std::string& clsid,
                                   ClsidReason& reason, const std::string& classKey) {
  reason = ClsidReason::kKey;
  RegKey key;
  if (!classes || key.Open(classes, clsid.c_str(), kReadAccess) != ERROR_SUCCESS) return false;
  CPathViewScope view(context, ViewOfKey(HKEY_CLASSES_ROOT, classKey));
  bool result = true;
  std::string server;
  if (ReadSubkeyDefault(key.Handle(), "InprocServer32", server))
    result = CheckPath(context, server, PATH_SERVER);
  // A local server, when named, decides over the in-process one.
  if (ReadSubkeyDefault(key.Handle(), "LocalServer32", server))
    result = CheckPath(context, server, PATH_SERVER);
  std::string appId;
  if (result && ReadValueText(key.Handle(), "Appid", kPathBuffer, appId)) {
    reason = ClsidReason::kAppId;
    result = false;
    for (const std::string& appIds : context.ViewsOf(HKEY_CLASSES_ROOT, "AppID"))
      if (CheckAppId(context, appId, appIds)) result = true;
  }
  return result;
}

bool CComObjectChecker::CheckAppId(CScanContext& context, const std::string& name,
                                   const std::string& appIdKey) {
  RegKey key;
  if (key.Open(HKEY_CLASSES_ROOT, (appIdKey + "\\" + name).c_str(), kReadAccess) != ERROR_SUCCESS)
    return false;
  std::string target;
  if (!ReadValueText(key.Handle(), "AppId", kPathBuffer, target)) return true;
  return OpensInAnyView(context, "AppID", target);
}

bool CComObjectChecker::CheckProgId(CScanContext& context, const std::string& name,
                                    CClsidCache* cache) {
  // The class is read straight from the "clsid" subkey; most ProgIDs name a
  // sound one, and then the ProgID key itself needs no opening.
  std::string clsid;
  const bool namesClass = ReadSubkeyDefault(HKEY_CLASSES_ROOT, (name + "\\clsid").c_str(), clsid);
  if (namesClass) {
    CClsidCache own;
    CClsidCache& answers = cache ? *cache : own;
    for (const std::string& classKey : context.ViewsOf(HKEY_CLASSES_ROOT, "CLSID")) {
      ClsidReason reason = ClsidReason::kKey;
      if (answers.Check(context, clsid, reason, classKey) || reason == ClsidReason::kAppId)
        return true;
    }
  }
  // Opened for writing as the fix would: a key the user may not change is
  // left alone rather than reported. One that names no class is sound.
  RegKey key;
  LONG rc = key.Open(HKEY_CLASSES_ROOT, name.c_str(), kReadWriteAccess);
  if (rc != ERROR_SUCCESS) return rc == ERROR_ACCESS_DENIED;
  return !namesClass;
}

bool CComObjectChecker::CheckTypelibFile(CScanContext& context, const BYTE* data, DWORD size) {
  std::string file;
  if (!DataText(data, size, kPathBuffer, file)) return false;
  if (CheckPath(context, file, PATH_SERVER)) return true;
  size_t slash = file.rfind('\\');
  if (slash == std::string::npos) return false;
  return CheckPath(context, file.substr(0, slash), PATH_SERVER);
}

bool CComObjectChecker::CheckClassCommand(CScanContext& context, const std::string& className,
                                          std::string& badPath) {
  if (IsOneOfNoCase(className, kSelfRunningClasses)) return true;
  RegKey key;
  std::string path = "SOFTWARE\\Classes\\" + className + "\\Shell\\Open\\Command";
  if (key.Open(HKEY_LOCAL_MACHINE, path.c_str(), kReadAccess) != ERROR_SUCCESS) return true;
  std::string command;
  if (!ReadStringText(key.Handle(), "", kCommandBuffer, command)) return true;
  if (command.size() < kShortestCheckedCommand) return true;
  if (command.find("iexplore.exe") != std::string::npos) return true;
  if (CheckPath(context, command, PATH_COMMAND)) return true;
  badPath = command;
  return false;
}

bool CComObjectChecker::CClsidCache::Check(CScanContext& context, const std::string& clsid,
                                           ClsidReason& reason, const std::string& classKey,
                                           HKEY classes) {
  std::string id = UpperCase(classKey + "\\" + clsid);
  auto found = answers_.find(id);
  if (found == answers_.end()) {
    if (!classes) {
      auto opened = classKeys_.find(classKey);
      if (opened == classKeys_.end()) {
        opened = classKeys_.emplace(classKey, RegKey()).first;
        opened->second.Open(HKEY_CLASSES_ROOT, classKey.c_str(), kReadAccess);
      }
      classes = opened->second.Handle();
    }
    ClsidReason fresh = ClsidReason::kKey;
    bool sound = CheckClsid(context, classes, clsid, fresh, classKey);
    found = answers_.emplace(id, std::make_pair(sound, fresh)).first;
  }
  reason = found->second.second;
  return found->second.first;
}

void CComObjectChecker::CCLSIDHandler::OnKey(HKEY key, const std::string& path,
                                             const std::string& subkeyName) {
  ClsidReason reason = ClsidReason::kKey;
  if (!cache_.Check(context_, subkeyName, reason, path, key))
    results_.Add(new CComObjectAction(subkeyName, std::string(), KindOfClsidFinding(reason), path));
}

void CComObjectChecker::CProgIdHandler::OnKey(HKEY, const std::string&,
                                              const std::string& subkeyName) {
  if (subkeyName.empty() || subkeyName[0] == '.' || subkeyName[0] == '*') return;
  if (_stricmp(subkeyName.c_str(), "clsid") == 0 || _stricmp(subkeyName.c_str(), "typelib") == 0)
    return;
  // The 32-bit class view of 64-bit Windows is no ProgID; a 32-bit process
  // may see it listed yet fail to open it, and removing it would take every
  // 32-bit registration along.
  if (_stricmp(subkeyName.c_str(), "Wow6432Node") == 0) return;
  if (!CheckProgId(context_, subkeyName, &cache_))
    results_.Add(new CComObjectAction(subkeyName, std::string(), CComObjectAction::kProgId));
}

void CComObjectChecker::CAppidHandler::OnKey(HKEY, const std::string& path,
                                             const std::string& subkeyName) {
  // Identifiers in braces are the registrations themselves; only the
  // entries named after program files point at them and can go stale.
  if (subkeyName.empty() || subkeyName[0] == '{') return;
  if (!CheckAppId(context_, subkeyName, path))
    results_.Add(new CComObjectAction(subkeyName, std::string(), CComObjectAction::kAppId, path));
}

void CComObjectChecker::CTypelibHandler::OnValueData(HKEY, const std::string& path,
                                                     const std::string& valueName, DWORD type,
                                                     const BYTE* data, DWORD dataSize) {
  if (!valueName.empty() || (type != REG_SZ && type != REG_MULTI_SZ)) return;
  size_t last = path.rfind('\\');
  std::string leaf = last == std::string::npos ? path : path.substr(last + 1);
  if (_stricmp(leaf.c_str(), "win32") != 0) return;
  if (CheckTypelibFile(context_, data, dataSize)) return;
  // "TypeLib\{id}\1.0\0\win32": the whole library goes, with every version.
  if (path.size() <= typeLibKey_.size() + 1) return;
  std::string id = path.substr(typeLibKey_.size() + 1);
  id = id.substr(0, id.find('\\'));
  results_.Add(new CComObjectAction(id, std::string(), CComObjectAction::kTypeLib, typeLibKey_));
}

void CComObjectChecker::CClassesHandler::OnKey(HKEY, const std::string&,
                                               const std::string& subkeyName) {
  if (!subkeyName.empty() && subkeyName[0] == '.') return;
  std::string badPath;
  if (!CheckClassCommand(context_, subkeyName, badPath))
    results_.Add(new CComObjectAction(subkeyName, badPath, CComObjectAction::kMachineClass));
}

void CComObjectChecker::Scan(CScanContext& context, CActionList& results) {
  CClsidCache cache;
  RegEnumerator walker;
  walker.SetFlags(RegEnumerator::kReportKeys);
  walker.SetMaxDepth(0);
  walker.SetRoot(HKEY_CLASSES_ROOT);

  CCLSIDHandler clsids(context, results, cache);
  for (const std::string& path : ViewsOf(HKEY_CLASSES_ROOT, "CLSID")) {
    walker.SetPath(path);
    walker.Walk(context, clsids);
  }

  CProgIdHandler progIds(context, results, cache);
  walker.SetPath("");
  walker.Walk(context, progIds);

  CAppidHandler appIds(context, results);
  for (const std::string& path : ViewsOf(HKEY_CLASSES_ROOT, "AppID")) {
    walker.SetPath(path);
    walker.Walk(context, appIds);
  }

  CTypelibHandler typeLibs(context, results);
  walker.SetFlags(RegEnumerator::kReportValues);
  walker.SetMaxDepth(-1);
  for (const std::string& path : ViewsOf(HKEY_CLASSES_ROOT, "TypeLib")) {
    CPathViewScope view(context, ViewOfKey(HKEY_CLASSES_ROOT, path));
    typeLibs.SetTypeLibKey(path);
    walker.SetPath(path);
    walker.Walk(context, typeLibs);
  }

  CClassesHandler classes(context, results);
  walker.SetRoot(HKEY_LOCAL_MACHINE);
  walker.SetPath("SOFTWARE\\Classes");
  walker.SetFlags(RegEnumerator::kReportKeys);
  walker.SetMaxDepth(0);
  walker.Walk(context, classes);
}

CComObjectAction::CComObjectAction(const std::string& name, const std::string& badPath, Kind kind,
                                   const std::string& keyPath)
    : name_(name), badPath_(badPath), kind_(kind), keyPath_(keyPath) {
  if (!keyPath_.empty()) return;
  if (kind == kClsid || kind == kClsidAppIdValue) keyPath_ = "CLSID";
  if (kind == kTypeLib) keyPath_ = "TypeLib";
  if (kind == kAppId) keyPath_ = "AppID";
}

CComObjectAction::Kind KindOfClsidFinding(CComObjectChecker::ClsidReason reason) {
  return reason == CComObjectChecker::ClsidReason::kAppId ? CComObjectAction::kClsidAppIdValue
                                                          : CComObjectAction::kClsid;
}

int CComObjectAction::GetCategory() { return kCatComObject; }

int CComObjectAction::Fix() {
  CBackupManager& backup = GetBackupManager();
  switch (kind_) {
    case kClsid:
      return backup.DeleteKey("CLSID entry " + name_, HKEY_CLASSES_ROOT, keyPath_, name_);
    case kProgId:
      return backup.DeleteKey("ProgID entry " + name_, HKEY_CLASSES_ROOT, "", name_);
    case kTypeLib:
      return backup.DeleteKey("Type library entry " + name_, HKEY_CLASSES_ROOT, keyPath_, name_);
    case kAppId:
      return backup.DeleteKey("Application id entry " + name_, HKEY_CLASSES_ROOT, keyPath_, name_);
    case kClsidAppIdValue:
      return backup.DeleteValue("CLSID entry " + name_, HKEY_CLASSES_ROOT, keyPath_ + "\\" + name_,
                                "AppId");
    case kMachineClass:
      return backup.DeleteKey("Classes entry " + name_, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes",
                              name_);
    default:
      return 0;
  }
}

int CComObjectAction::GetDescription(std::string& out) {
  switch (kind_) {
    case kClsid:
    case kClsidAppIdValue:
      out = "CLSID " + name_ + " is invalid";
      break;
    case kProgId:
      out = "ProgID " + name_ + " is invalid";
      break;
    case kTypeLib:
      out = "Type Library " + name_ + " is invalid";
      break;
    case kAppId:
      out = "Application ID " + name_ + " is invalid";
      break;
    case kMachineClass:
      out = "Classes entry " + name_ + " reffers a bad path: " + badPath_;
      break;
    default:
      out.clear();
      break;
  }
  return 1;
}

int CComObjectAction::GetLocation(std::string& out) {
  switch (kind_) {
    case kClsid:
      out = "HKCR\\" + keyPath_ + "\\" + name_;
      break;
    case kProgId:
      out = "HKCR\\" + name_;
      break;
    case kTypeLib:
    case kAppId:
      out = "HKCR\\" + keyPath_ + "\\" + name_;
      break;
    case kClsidAppIdValue:
      out = "HKCR\\" + keyPath_ + "\\" + name_ + " (value: AppId)";
      break;
    case kMachineClass:
      out = "HKLM\\Classes\\" + name_;
      break;
    default:
      out.clear();
      break;
  }
  return 1;
}

}  // namespace RegCheck
