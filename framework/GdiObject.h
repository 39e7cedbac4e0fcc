#pragma once
// The handle owners the windows use, under the framework's names. Owning
// wrappers close or delete what they hold; borrowed handles never do.

#include "engine/Handle.h"

namespace fw {

using RegCheck::BitmapDC;
using RegCheck::BorrowedFont;
using RegCheck::ClientDC;
using RegCheck::OwnedBitmap;
using RegCheck::OwnedBrush;
using RegCheck::OwnedDC;
using RegCheck::OwnedFont;
using RegCheck::OwnedHandle;
using RegCheck::OwnedIcon;
using RegCheck::OwnedMenu;
using RegCheck::OwnedPen;
using RegCheck::OwnedRegion;
using RegCheck::PaintDC;
using RegCheck::SelectGuard;

}  // namespace fw
