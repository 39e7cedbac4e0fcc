#pragma once
// Builds an in-memory dialog template (DLGTEMPLATE and its items) for
// dialogs made from code rather than from the resource script.

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class CDialogTemplate {
 public:
  // Sizes are in dialog units. With a face name the template carries
  // DS_SETFONT and the dialog uses that font.
  CDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                  const char* caption, const char* fontFace = "MS Shell Dlg", WORD points = 8);

  // Adds a control of a system class ("BUTTON", "STATIC", "LISTBOX", ...
  // or any registered class name).
  void AddItem(const char* className, const char* text, WORD id, DWORD style, short x, short y,
               short cx, short cy, DWORD exStyle = 0);

  // The template, DWORD-aligned as the dialog manager requires.
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  int ItemCount() const { return count_; }

 private:
  void AddString(const char* text);
  void AlignToDword();

  std::vector<WORD> words_;
  int count_ = 0;
};

}  // namespace fw
