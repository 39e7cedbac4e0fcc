#include "checkers/CheckerSet.h"

#include "engine/RegistryAction.h"
#include "engine/ScanCategories.h"

namespace RegCheck {

void CCheckerSet::Scan(int category, CActionList& results) {
  switch (category) {
    default:
      (void)results;
      break;
  }
}

}  // namespace RegCheck
