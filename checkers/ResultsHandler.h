#pragma once
// A registry walk handler that appends what it finds to the scan's results.

#include "engine/RegEnumerator.h"
#include "engine/RegistryAction.h"

namespace RegCheck {

class CResultsHandler : public CRegEnumHandlerBase {
 public:
  explicit CResultsHandler(CActionList& results) : results_(results) {}

 protected:
  ~CResultsHandler() = default;

  CActionList& results_;
};

}  // namespace RegCheck
