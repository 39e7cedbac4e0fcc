#include "app/AboutControls.h"

#include <string>

#include "app/AppFonts.h"
#include "exmfc/DpiScale.h"
#include "framework/GdiObject.h"
#include "res/resource.h"

namespace {

std::string LoadText(UINT id) {
  char text[256] = "";
  LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return text;
}

int TextWidth(HFONT font, const std::string& text) {
  fw::ClientDC dc(nullptr);
  fw::SelectGuard select(dc.Get(), font);
  SIZE size{0, 0};
  GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

bool MakeText(fw::CStatic& text, const std::string& content, const RECT& rect, HWND parent,
              AppFont font) {
  if (!text.Create(content.c_str(), WS_CHILD | SS_CENTER | SS_NOPREFIX, exmfc::Scale(rect), parent))
    return false;
  text.SetFont(GetAppFont(font));
  return true;
}

}  // namespace

DWORD CAboutControls::WindowsMajorVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) ? info.dwMajorVersion : 0;
}

std::string CAboutControls::LinkText(const std::string& address) {
  std::string text = address;
  const size_t scheme = text.find("://");
  if (scheme != std::string::npos) text.erase(0, scheme + 3);
  if (!text.empty() && text.back() == '/') text.pop_back();
  return text;
}

bool CAboutControls::Create(HWND parent) { return Create(parent, WindowsMajorVersion()); }

bool CAboutControls::Create(HWND parent, DWORD windowsMajorVersion) {
  if (!MakeText(title_, LoadText(IDS_APPNAME), RECT{2, 80, 368, 110}, parent, AppFont::kTitle))
    return false;
  AddControl(&title_);
  if (windowsMajorVersion > 4) {
    const std::string address = LoadText(IDS_URL_HOME);
    const std::string text = LinkText(address);
    // The address must show whole: a text wider than the link's place
    // widens it evenly on both sides.
    RECT place = exmfc::Scale(RECT{140, 110, 240, 125});
    const int width = TextWidth(link_.Font(), text) + 4;
    if (width > place.right - place.left) {
      const int centre = (place.left + place.right) / 2;
      place.left = centre - width / 2;
      place.right = place.left + width;
    }
    if (!link_.Create(text.c_str(), WS_CHILD | WS_TABSTOP | SS_CENTER, place, parent,
                      IDC_ABOUT_LINK))
      return false;
    link_.SetTarget(address.c_str());
    // Light text on the work area's dark panel; white under the cursor.
    link_.SetColours(0xF6F6F6, 0xFFFFFF, 0xC8C8C8, 0x444444);
    AddControl(&link_);
  }
  if (!MakeText(version_, LoadText(IDS_VERSION), RECT{2, 156, 368, 176}, parent, AppFont::kText))
    return false;
  AddControl(&version_);
  // The notice sits on the work area's last lines; the work area is 307
  // pixels high at 96 DPI, so anything lower would never be seen.
  if (!MakeText(notice_, LoadText(IDS_ABOUT_NOTICE), RECT{2, 284, 368, 300}, parent,
                AppFont::kText))
    return false;
  AddControl(&notice_);
  return true;
}
