#pragma once
// COM registrations that point at missing servers, class or application
// identifiers and type library files, and machine classes whose open command
// names a missing program.

#include <windows.h>

#include <map>
#include <string>
#include <utility>

#include "checkers/ResultsHandler.h"
#include "engine/RegKey.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CComObjectChecker {
 public:
  // Why CheckClsid failed: the class key itself, or only its "AppId" value.
  // The finding's kind follows from it through KindOfClsidFinding.
  enum class ClsidReason { kKey, kAppId };

  // CheckClsid answers for one scan, keyed by class key and identifier
  // regardless of case (registry key names ignore it), so a class named by
  // many ProgIDs is tested once per view. Classes open below `classes`, the
  // open class key, when given; else below a handle to the class key that
  // the cache opens once and keeps for the scan.
  class CClsidCache {
   public:
    bool Check(CScanContext& context, const std::string& clsid, ClsidReason& reason,
               const std::string& classKey = "CLSID", HKEY classes = nullptr);

   private:
    std::map<std::string, std::pair<bool, ClsidReason>> answers_;
    std::map<std::string, RegKey> classKeys_;
  };

  // Walks HKCR "CLSID", the class root (ProgIDs), HKCR "AppID", the whole
  // HKCR "TypeLib" tree and HKLM "SOFTWARE\Classes", in that order; on
  // 64-bit Windows "CLSID", "AppID" and "TypeLib" each in both views, the
  // native key first. A ProgID or an application id is sound when what it
  // names is sound in either view: either kind of program may use it.
  void Scan(CScanContext& context, CActionList& results);
  // False when <clsid> does not open below `classes`, the open class key
  // `classKey` of HKCR, its server (LocalServer32 over InprocServer32) is
  // missing, or its "AppId" names an application id that is bad in every
  // view; `reason` is kAppId exactly when the "AppId" decided.
  static bool CheckClsid(CScanContext& context, HKEY classes, const std::string& clsid,
                         ClsidReason& reason, const std::string& classKey);
  // False when HKCR `appIdKey`\<name> does not open, or its "AppId" value
  // names an application id that opens in no view.
  static bool CheckAppId(CScanContext& context, const std::string& name,
                         const std::string& appIdKey = "AppID");
  // False when the ProgID key fails to open for any reason but access denied,
  // or its "clsid" names a class that fails for its own sake in every view
  // (a class whose only fault is its "AppId" is reported by the CLSID pass,
  // not here). `cache`, when given, answers classes already tested this scan.
  static bool CheckProgId(CScanContext& context, const std::string& name,
                          CClsidCache* cache = nullptr);
  // False when the value's data is too long to be a path, or neither it nor
  // its text before the last "\" (a resource number) names an existing file.
  static bool CheckTypelibFile(CScanContext& context, const BYTE* data, DWORD size);
  // False when the class's HKLM open command names a missing program; the
  // command is then written to `badPath` (untouched otherwise).
  static bool CheckClassCommand(CScanContext& context, const std::string& className,
                                std::string& badPath);

  class CCLSIDHandler : public CResultsHandler {
   public:
    CCLSIDHandler(CScanContext& context, CActionList& results, CClsidCache& cache)
        : CResultsHandler(context, results), cache_(cache) {}
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;

   private:
    CClsidCache& cache_;
  };

  class CProgIdHandler : public CResultsHandler {
   public:
    CProgIdHandler(CScanContext& context, CActionList& results, CClsidCache& cache)
        : CResultsHandler(context, results), cache_(cache) {}
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;

   private:
    CClsidCache& cache_;
  };

  class CAppidHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };

  class CTypelibHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    // The "TypeLib" key being walked, in whichever view.
    void SetTypeLibKey(const std::string& path) { typeLibKey_ = path; }
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;

   private:
    std::string typeLibKey_ = "TypeLib";
  };

  class CClassesHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };
};

class CComObjectAction : public CRegistryAction {
 public:
  enum Kind : int {
    kClsid = 0,         // HKCR\CLSID\<name> removed
    kProgId = 1,        // HKCR\<name> removed
    kTypeLib = 2,       // HKCR\TypeLib\<name> removed
    kAppId = 3,         // HKCR\AppID\<name> removed
    kClsidAppIdValue = 4,  // only the "AppId" value of HKCR\CLSID\<name> removed
    kMachineClass = 5,  // HKLM\SOFTWARE\Classes\<name> removed
  };

  // `keyPath` is the key the entry was found in ("CLSID", "AppID",
  // "TypeLib" or their "Wow6432Node" twins); "" names the native one.
  CComObjectAction(const std::string& name, const std::string& badPath, Kind kind,
                   const std::string& keyPath = std::string());

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetName() const { return name_; }
  const std::string& GetBadPath() const { return badPath_; }
  Kind GetKind() const { return kind_; }
  const std::string& GetKeyPath() const { return keyPath_; }

 private:
  std::string name_;
  std::string badPath_;
  Kind kind_;
  std::string keyPath_;
};

// The finding a failed class check makes: the whole class key, or only its
// "AppId" value.
CComObjectAction::Kind KindOfClsidFinding(CComObjectChecker::ClsidReason reason);

}  // namespace RegCheck
