#pragma once
// The looks every panel and dialog of the program shares: the white list
// frame, the list rows' text and the skinned push button.

#include <windows.h>

#include <string>

#include "exmfc/ShapeWnd.h"
#include "exmfc/SkinButton.h"

// Fill white, frame RGB(240, 240, 240), two pixels wide.
exmfc::ShapeStyle ListFrameStyle();

// Creates `button` with the program's button skin and font; `style` adds to
// WS_CHILD (WS_VISIBLE for dialogs, nothing for panels shown later).
// `rect` is in 96-DPI pixels and scaled to the screen's DPI.
bool MakeSkinButton(exmfc::CSkinButton& button, const char* text, const RECT& rect, HWND parent,
                    UINT id, DWORD style = 0);

// Draws an owner-drawn list row's text in `text` (one line, '&' as it is,
// cut with "..."): white on the grey selection, black otherwise, in the
// list font; frames the whole row while it has the keyboard focus.
void DrawListRowText(const DRAWITEMSTRUCT& item, const RECT& text, const std::string& content);
