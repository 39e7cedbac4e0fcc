#include "checkers/CheckerSet.h"

#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

void CCheckerSet::Scan(int category, CActionList& results) {
  switch (category) {
    case kCatComObject: comObject_.Scan(results); break;
    case kCatAppPath: appPath_.Scan(results); break;
    case kCatFileAssociation: fileAssociation_.Scan(results); break;
    case kCatSharedDll: sharedDll_.Scan(results); break;
    case kCatServices: services_.Scan(results); break;
    case kCatFonts: fonts_.Scan(results); break;
    case kCatHelpFiles: helpFiles_.Scan(results); break;
    case kCatStartup: startup_.Scan(results); break;
    case kCatUninstall: uninstall_.Scan(results); break;
    case kCatHistory: history_.Scan(results); break;
    default:
      (void)results;
      break;
  }
}

}  // namespace RegCheck
