#pragma once
// A registry walk handler that appends what it finds to the scan's results
// and checks paths within the scan's context.

#include "engine/RegEnumerator.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CResultsHandler : public CRegEnumHandlerBase {
 public:
  CResultsHandler(CScanContext& context, CActionList& results)
      : context_(context), results_(results) {}

 protected:
  ~CResultsHandler() = default;

  CScanContext& context_;
  CActionList& results_;
};

}  // namespace RegCheck
