#include "framework/DialogTemplate.h"

namespace fw {

namespace {
void PutDword(std::vector<WORD>& w, DWORD v) {
  w.push_back(LOWORD(v));
  w.push_back(HIWORD(v));
}
}  // namespace

CDialogTemplate::CDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                 const char* caption, const char* fontFace, WORD points) {
  if (fontFace) style |= DS_SETFONT;
  else style &= ~DS_SETFONT;
  PutDword(words_, style);
  PutDword(words_, exStyle);
  words_.push_back(0);  // item count, patched by AddItem
  words_.push_back(static_cast<WORD>(x));
  words_.push_back(static_cast<WORD>(y));
  words_.push_back(static_cast<WORD>(cx));
  words_.push_back(static_cast<WORD>(cy));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // default dialog class
  AddString(caption ? caption : "");
  if (fontFace) {
    words_.push_back(points);
    AddString(fontFace);
  }
}

void CDialogTemplate::AddString(const char* text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::vector<WCHAR> wide(n > 0 ? n : 1, 0);
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  for (WCHAR c : wide) words_.push_back(static_cast<WORD>(c));
}

void CDialogTemplate::AlignToDword() {
  if (words_.size() % 2) words_.push_back(0);
}

void CDialogTemplate::AddItem(const char* className, const char* text, WORD id, DWORD style,
                              short x, short y, short cx, short cy, DWORD exStyle) {
  AlignToDword();
  PutDword(words_, style | WS_CHILD);
  PutDword(words_, exStyle);
  words_.push_back(static_cast<WORD>(x));
  words_.push_back(static_cast<WORD>(y));
  words_.push_back(static_cast<WORD>(cx));
  words_.push_back(static_cast<WORD>(cy));
  words_.push_back(id);
  AddString(className);
  AddString(text ? text : "");
  words_.push_back(0);  // no creation data
  ++count_;
  words_[4] = static_cast<WORD>(count_);
}

}  // namespace fw
