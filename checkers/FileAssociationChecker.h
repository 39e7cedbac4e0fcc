#pragma once
// File extensions of the class root whose association leads nowhere, and the
// user's per-extension Explorer records without an "OpenWithProgids" list.

#include <windows.h>

#include <string>

#include "checkers/ResultsHandler.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CFileAssociationChecker {
 public:
  // Walks the extensions of the class root, then the user's FileExts key.
  void Scan(CScanContext& context, CActionList& results);

  // False when the extension key does not open, or (unless it is a program
  // extension or has a "PersistentHandler" or "ShellEx" subkey) names no
  // class, a class whose open command names a missing program, or a class
  // without key and without open command.
  static bool CheckExtensionKey(CScanContext& context, HKEY classesRoot,
                                const std::string& extension);
  // False when the FileExts record does not open or has no "OpenWithProgids"
  // subkey; program extensions and the Explorer bookkeeping keys are valid.
  static bool CheckFileExtsKey(HKEY fileExts, const std::string& name);

  class CHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };

  class CFileExtHandler : public CResultsHandler {
   public:
    using CResultsHandler::CResultsHandler;
    void OnKey(HKEY key, const std::string& path, const std::string& subkeyName) override;
  };
};

class CFileAssociationAction : public CRegistryAction {
 public:
  enum Source : int {
    kClassRoot = 0,  // HKCR\<extension> removed
    kFileExts = 1,   // the user's FileExts\<extension> removed
  };

  CFileAssociationAction(const std::string& extension, int source)
      : extension_(extension), source_(source) {}

  int GetCategory() override;
  int Fix() override;
  int GetDescription(std::string& out) override;
  int GetLocation(std::string& out) override;

  const std::string& GetExtension() const { return extension_; }
  int GetSource() const { return source_; }

 private:
  std::string extension_;
  int source_;
};

}  // namespace RegCheck
