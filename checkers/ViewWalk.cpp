#include "checkers/ViewWalk.h"

#include "checkers/PathRules.h"
#include "engine/RegView.h"

namespace RegCheck {

void WalkLevelInViews(HKEY root, const std::string& path, int flags, IRegEnumHandler& handler) {
  for (const std::string& view : ViewsOf(root, path)) {
    CPathViewScope rules(ViewOfKey(root, view));
    RegEnumerator::WalkLevel(root, view, flags, handler);
  }
}

}  // namespace RegCheck
