#pragma once
// The checkers of the scan categories, one member each, and the dispatch
// from a category bit to its checker. Checkers keep no state between scans.

#include "checkers/AppPathChecker.h"
#include "checkers/ComObjectChecker.h"
#include "checkers/FileAssociationChecker.h"
#include "checkers/FontsChecker.h"
#include "checkers/HelpFilesChecker.h"
#include "checkers/MRUHistoryChecker.h"
#include "checkers/ServicesChecker.h"
#include "checkers/SharedDllChecker.h"
#include "checkers/StartupChecker.h"
#include "checkers/UninstallChecker.h"

namespace RegCheck {

class CActionList;
class CScanContext;

class CCheckerSet {
 public:
  // Runs the checker of `category` within `context`, appending its findings
  // to `results`. A bit with no checker contributes nothing.
  void Scan(int category, CScanContext& context, CActionList& results);

 private:
  CHelpFilesChecker helpFiles_;
  CUninstallChecker uninstall_;
  CSharedDllChecker sharedDll_;
  CAppPathChecker appPath_;
  CFileAssociationChecker fileAssociation_;
  CServicesChecker services_;
  CComObjectChecker comObject_;
  CStartupChecker startup_;
  CFontsChecker fonts_;
  CMRUHistoryChecker history_;
};

}  // namespace RegCheck
