#pragma once
// The About panel: the program's name, a link to the vendor's home page,
// the version and the maker's notice.

#include <windows.h>

#include <string>

#include "exmfc/ControlsHolder.h"
#include "exmfc/HyperLink.h"
#include "framework/Controls.h"

class CAboutControls : public exmfc::CControlsHolder {
 public:
  // Builds the controls as hidden children of `parent` (the work area).
  bool Create(HWND parent);
  // The same for a given Windows major version: the link is made only
  // above 4, the first versions with the hand cursor the link shows.
  bool Create(HWND parent, DWORD windowsMajorVersion);

  // The Windows major version GetVersionExA reports; 0 when it fails.
  static DWORD WindowsMajorVersion();
  // The text the link shows for `address`: without its scheme and without
  // a trailing slash.
  static std::string LinkText(const std::string& address);

  const fw::CStatic& GetTitle() const { return title_; }
  const exmfc::CHyperLink& GetLink() const { return link_; }
  const fw::CStatic& GetVersion() const { return version_; }
  const fw::CStatic& GetNotice() const { return notice_; }

 private:
  fw::CStatic title_;
  exmfc::CHyperLink link_;
  fw::CStatic version_;
  fw::CStatic notice_;
};
