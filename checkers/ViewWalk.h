#pragma once
// One-level walks of a key in every registry view it has (see
// engine/RegView.h), each under the path rules of its view. Handlers learn
// which key they are in from the path the walk hands them.

#include <windows.h>

#include <string>

#include "engine/RegEnumerator.h"

namespace RegCheck {

void WalkLevelInViews(CScanContext& context, HKEY root, const std::string& path, int flags,
                      IRegEnumHandler& handler);

}  // namespace RegCheck
