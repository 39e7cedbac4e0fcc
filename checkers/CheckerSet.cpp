#include "checkers/CheckerSet.h"

#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

void CCheckerSet::Scan(int category, CScanContext& context, CActionList& results) {
  switch (category) {
    case kCatComObject: comObject_.Scan(context, results); break;
    case kCatAppPath: appPath_.Scan(context, results); break;
    case kCatFileAssociation: fileAssociation_.Scan(context, results); break;
    case kCatSharedDll: sharedDll_.Scan(context, results); break;
    case kCatServices: services_.Scan(context, results); break;
    case kCatFonts: fonts_.Scan(context, results); break;
    case kCatHelpFiles: helpFiles_.Scan(context, results); break;
    case kCatStartup: startup_.Scan(context, results); break;
    case kCatUninstall: uninstall_.Scan(context, results); break;
    case kCatHistory: history_.Scan(context, results); break;
    default:
      (void)results;
      break;
  }
}

}  // namespace RegCheck
