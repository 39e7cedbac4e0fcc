#include "framework/Wnd.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <set>

namespace fw {
namespace {

std::mutex g_mapLock;
std::map<HWND, CWnd*>& Map() {
  static std::map<HWND, CWnd*> map;
  return map;
}

// The object waiting for its window (consumed by the CBT hook) and the
// innermost object whose CreateWindowEx is still running. The latter lets a
// parent find an owner-drawn list box that asks WM_MEASUREITEM from inside
// its own WM_CREATE, before CreateWindowEx has returned.
thread_local CWnd* t_pending = nullptr;
thread_local CWnd* t_creating = nullptr;

}  // namespace

CWnd::CreationScope::CreationScope(CWnd* wnd)
    : savedPending_(t_pending), savedCreating_(t_creating) {
  t_pending = wnd;
  t_creating = wnd;
  hook_ = SetWindowsHookExA(WH_CBT, &CWnd::CbtHook, nullptr, GetCurrentThreadId());
}

CWnd::CreationScope::~CreationScope() {
  if (hook_) UnhookWindowsHookEx(hook_);
  t_pending = savedPending_;
  t_creating = savedCreating_;
}

LRESULT CALLBACK CWnd::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && t_pending) {
    CWnd* wnd = t_pending;
    t_pending = nullptr;
    wnd->Attach(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

CWnd::~CWnd() {
  if (!hwnd_) return;
  // The derived parts are gone: take the window away from this object before
  // destroying it, so none of its last messages reach a half-destroyed one.
  HWND hwnd = UnsubclassWindow();
  if (IsWindow(hwnd)) ::DestroyWindow(hwnd);
}

bool CWnd::Attach(HWND hwnd) {
  if (!hwnd || hwnd_) return false;
  {
    std::lock_guard<std::mutex> lock(g_mapLock);
    if (!Map().emplace(hwnd, this).second) return false;
  }
  hwnd_ = hwnd;
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
  PreSubclassWindow();
  return true;
}

void CWnd::Detach() {
  if (!hwnd_) return;
  // Only put the old procedure back when nobody subclassed on top of us.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd_, GWLP_WNDPROC)) == &CWnd::StaticWndProc)
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  {
    std::lock_guard<std::mutex> lock(g_mapLock);
    Map().erase(hwnd_);
  }
  hwnd_ = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  std::lock_guard<std::mutex> lock(g_mapLock);
  auto it = Map().find(hwnd);
  return it == Map().end() ? nullptr : it->second;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR id, void* param) {
  if (hwnd_) return false;
  CREATESTRUCTA cs{};
  cs.dwExStyle = exStyle;
  cs.lpszClass = className;
  cs.lpszName = text;
  cs.style = style;
  cs.x = rect.left;
  cs.y = rect.top;
  // CW_USEDEFAULT in left gives CW_USEDEFAULT here too (0 - 0x80000000).
  cs.cx = rect.right - rect.left;
  cs.cy = rect.bottom - rect.top;
  cs.hwndParent = parent;
  cs.hMenu = reinterpret_cast<HMENU>(id);
  cs.hInstance = GetModuleHandleA(nullptr);
  cs.lpCreateParams = param;
  if (!PreCreateWindow(cs)) return false;

  CreationScope scope(this);
  if (!scope.Ok()) return false;
  HWND hwnd = CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                              cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                              cs.lpCreateParams);
  if (!hwnd) {
    // A window that failed in WM_NCCREATE/WM_CREATE was already destroyed
    // and unbound at WM_NCDESTROY; nothing is left to release.
    return false;
  }
  return hwnd_ == hwnd;
}

bool CWnd::Subclass(HWND hwnd) {
  if (!IsWindow(hwnd) || FromHandle(hwnd)) return false;
  return Attach(hwnd);
}

HWND CWnd::UnsubclassWindow() {
  HWND hwnd = hwnd_;
  Detach();
  return hwnd;
}

bool CWnd::DestroyWindow() {
  if (!hwnd_) return false;
  return ::DestroyWindow(hwnd_) != FALSE;
}

bool CWnd::PreCreateWindow(CREATESTRUCTA&) { return true; }

const char* CWnd::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  static std::mutex lock;
  static std::set<std::string> names;
  char name[96];
  std::snprintf(name, sizeof name, "FwWnd:%x:%p:%p:%p", style, static_cast<void*>(cursor),
                static_cast<void*>(background), static_cast<void*>(icon));
  std::lock_guard<std::mutex> guard(lock);
  auto it = names.find(name);
  if (it != names.end()) return it->c_str();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = name;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return names.insert(name).first->c_str();
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* self = FromHandle(hwnd);
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  MSG saved = self->current_;
  self->current_.hwnd = hwnd;
  self->current_.message = msg;
  self->current_.wParam = wParam;
  self->current_.lParam = lParam;
  LRESULT result = 0;
  // An exception must not unwind through the system's frames.
  try {
    result = self->WindowProc(msg, wParam, lParam);
  } catch (...) {
    OutputDebugStringA("fw::CWnd: exception in window procedure\n");
    result = 0;
  }
  self->current_ = saved;
  if (msg == WM_NCDESTROY && self->hwnd_ == hwnd) {
    self->Detach();
    self->PostNcDestroy();
  }
  return result;
}

LRESULT CWnd::Default() {
  return CallPrevious(current_.message, current_.wParam, current_.lParam);
}

LRESULT CWnd::CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!previous_) return DefWindowProcA(hwnd_, msg, wParam, lParam);
  return CallWindowProcA(previous_, hwnd_, msg, wParam, lParam);
}

bool CWnd::OnCmdMsg(UINT, UINT, HWND) { return false; }

bool CWnd::OnChildNotify(UINT msg, WPARAM wParam, LPARAM, LRESULT* result) {
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) {
    HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), msg);
    if (brush) {
      *result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
  }
  return false;
}

HBRUSH CWnd::CtlColor(HDC, UINT) { return nullptr; }

bool CWnd::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  CWnd* child = nullptr;
  switch (msg) {
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU) child = FromHandle(item->hwndItem);
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_MENU) break;
      child = FromHandle(::GetDlgItem(hwnd_, item->CtlID));
      if (!child && t_creating && t_creating->hwnd_ &&
          static_cast<UINT>(::GetDlgCtrlID(t_creating->hwnd_)) == item->CtlID)
        child = t_creating;
      break;
    }
    case WM_COMPAREITEM:
      child = FromHandle(reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem);
      break;
    case WM_DELETEITEM:
      child = FromHandle(reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem);
      break;
    default:
      if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
        child = FromHandle(reinterpret_cast<HWND>(lParam));
      break;
  }
  if (!child || child == this) return false;
  return child->OnChildNotify(msg, wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (OnCmdMsg(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      LRESULT result = 0;
      if (ReflectToChild(msg, wParam, lParam, &result)) return result;
      // WM_DRAWITEM/WM_MEASUREITEM answer TRUE when handled.
      break;
    }
    default:
      break;
  }
  return Default();
}

std::string CWnd::GetWindowText() const {
  int n = GetWindowTextLengthA(hwnd_);
  std::string text(n > 0 ? n + 1 : 1, '\0');
  int got = ::GetWindowTextA(hwnd_, &text[0], static_cast<int>(text.size()));
  text.resize(got > 0 ? got : 0);
  return text;
}

RECT CWnd::GetClientRect() const {
  RECT r{};
  ::GetClientRect(hwnd_, &r);
  return r;
}

RECT CWnd::GetWindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd_, &r);
  return r;
}

void CWnd::CenterWindow() const {
  RECT me = GetWindowRect();
  int w = me.right - me.left, h = me.bottom - me.top;
  RECT area{};
  HWND parent = ::GetParent(hwnd_);
  if (GetStyle() & WS_CHILD) {
    ::GetClientRect(parent, &area);
  } else {
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
      ::GetWindowRect(owner, &area);
    else
      SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - h) / 2;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace fw
