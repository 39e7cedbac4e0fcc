#pragma once
// The current user's recently-used lists: the file dialogs' entries, which
// are plain paths, and the recent documents, whose entries name shortcut
// files in the user's Recent folder. A shortcut there whose target is gone
// is itself reported, and its fix deletes the file.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CMRUHistoryChecker {
 public:
  // Walks "OpenSaveMRU", then "RecentDocs", each with all its subkeys.
  void Scan(CScanContext& context, CActionList& results);

  // False when the file dialog entry (value `valueName` with `type` and
  // data) names a file that does not exist. `path` receives the text read
  // ("" when the value is no string or too long). The "MRUList" value and
  // network paths are always valid.
  static bool CheckMruValue(CScanContext& context, const std::string& valueName, DWORD type,
                            const BYTE* data, DWORD size, std::string& path);

  // False when the recent document entry's shortcut in `recentFolder` is
  // missing (`shortcutExists` false) or points to a missing target
  // (`shortcutExists` true). `shortcutName` receives the name taken from the
  // record (the value's data). Entries without a usable shortcut name, and
  // every entry when `recentFolder` is empty, are valid.
  static bool CheckRecentDocValue(CScanContext& context, const std::string& recentFolder,
                                  const std::string& valueName, const BYTE* data, DWORD size,
                                  std::string& shortcutName, bool& shortcutExists);

  // False when the shortcut file cannot be loaded, has no target path, or
  // its target (a file or folder) does not exist. True when the shell's
  // shortcut object is not available. Initialises COM on the calling thread and leaves it so.
  static bool CheckShortcutTarget(CScanContext& context, const std::string& shortcutPath);

  // The shortcut file name stored in a "RecentDocs" record, or "" when the
  // record holds none: a display name or shortcut name that is too long or
  // not terminated within `size`, or a first byte that does not match.
  static std::string ShortcutNameFromRecord(const BYTE* data, DWORD size);

  // Whether `name` is a single file name that stays inside its folder.
  static bool IsPlainFileName(const std::string& name);

  // The user's Recent folder ("" when the shell does not know it), or the
  // folder set for tests.
  static std::string RecentFolder();
  // Tests only: makes RecentFolder answer `folder`; "" goes back to the shell.
  static void SetRecentFolderForTesting(const std::string& folder);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;
  };

  class CDocumentsHandler : public CResultsHandler {
   public:
    CDocumentsHandler(CScanContext& context, CActionList& results)
        : CResultsHandler(context, results), recentFolder_(RecentFolder()) {}
    void OnValueData(HKEY key, const std::string& path, const std::string& valueName, DWORD type,
                     const BYTE* data, DWORD dataSize) override;

   private:
    std::string recentFolder_;
  };
};

class CMRUHistoryAction : public CRegistryAction {
 public:
  enum Kind : int { kFileDialogEntry = 0, kRecentDocEntry = 1, kShortcutFile = 2 };

  // `location` is the key path below HKEY_CURRENT_USER (kinds 0 and 1) or
  // the shortcut file's full path (kind 2); `valueName` is "" for kind 2.
  CMRUHistoryAction(const std::string& location, const std::string& valueName,
                    const std::string& subject, int kind, int shortcutExists)
      : location_(location), valueName_(valueName), subject_(subject), kind_(kind),
        shortcutExists_(shortcutExists) {}

  int GetCategory() override;
  // Kinds 0 and 1 delete the value through the backup manager. Kind 2
  // deletes the shortcut file without backup; 1 when it is gone afterwards.
  int Fix() override;
  int GetDescription(std::string& out) override;
  // "HKCU\<key path> (VALUE:<name>)" for kinds 0 and 1, the file's path for
  // kind 2.
  int GetLocation(std::string& out) override;

  const std::string& GetPath() const { return location_; }
  const std::string& GetValueName() const { return valueName_; }
  const std::string& GetSubject() const { return subject_; }
  int GetKind() const { return kind_; }
  int GetShortcutExists() const { return shortcutExists_; }

 private:
  std::string location_;
  std::string valueName_;
  std::string subject_;
  int kind_;
  int shortcutExists_;
};

}  // namespace RegCheck
