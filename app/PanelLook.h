#pragma once
// The looks every panel and dialog of the program shares: the white list
// frame and the skinned push button.

#include <windows.h>

#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"

// Fill white, frame RGB(240, 240, 240), two pixels wide.
exmfc::ShapeStyle ListFrameStyle();

// Creates `button` with the program's button skin and font; `style` adds to
// WS_CHILD (WS_VISIBLE for dialogs, nothing for panels shown later).
// `rect` is in 96-DPI pixels and scaled to the screen's DPI.
bool MakeSkinButton(exmfc::CSkinButton& button, const char* text, const RECT& rect, HWND parent,
                    UINT id, DWORD style = 0);
