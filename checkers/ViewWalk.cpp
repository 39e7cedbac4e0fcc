#include "checkers/ViewWalk.h"

#include "checkers/PathRules.h"
#include "engine/RegView.h"

namespace RegCheck {

void WalkLevelInViews(CScanContext& context, HKEY root, const std::string& path, int flags,
                      IRegEnumHandler& handler) {
  for (const std::string& view : ViewsOf(root, path)) {
    CPathViewScope rules(context, ViewOfKey(root, view));
    RegEnumerator::WalkLevel(context, root, view, flags, handler);
  }
}

}  // namespace RegCheck
