#pragma once
// Window base class: one C++ object per HWND, one virtual WindowProc.
//
// Every window made with CreateEx (own classes, system controls, dialogs) is
// bound to its object from the CBT creation hook, before WM_NCCREATE, so the
// object sees every message of the window's life. Existing windows (controls
// of a dialog template) are bound with Subclass. The binding ends at
// WM_NCDESTROY, after which PostNcDestroy runs.

#include <windows.h>

#include <string>

namespace fw {

class CWnd {
 public:
  CWnd() = default;
  // Destroys the window if it still exists.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetHwnd() const { return hwnd_; }
  operator HWND() const { return hwnd_; }

  // Creates the window, calling PreCreateWindow first. `id` is the control
  // id for child windows. Returns false on failure (GetLastError tells why;
  // CreateWindowEx under Wine without a display fails with error 0).
  bool CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                const RECT& rect, HWND parent, UINT_PTR id, void* param = nullptr);
  bool Create(const char* className, const char* text, DWORD style, const RECT& rect,
              HWND parent, UINT id) {
    return CreateEx(0, className, text, style, rect, parent, id);
  }
  // Binds an existing window that no object owns yet. False if the window is
  // invalid or already bound.
  // (Not named SubclassWindow: <windowsx.h> defines that as a macro.)
  bool Subclass(HWND hwnd);
  bool SubclassDlgItem(UINT id, HWND parent) { return Subclass(::GetDlgItem(parent, static_cast<int>(id))); }
  // Restores the previous window procedure and returns the window.
  HWND UnsubclassWindow();
  bool DestroyWindow();

  // The object bound to `hwnd`, or null.
  static CWnd* FromHandle(HWND hwnd);

  // Registers (once) a window class with DefWindowProc as its procedure and
  // returns its name; null when RegisterClass fails. Objects of any CWnd
  // class can be created with it.
  static const char* RegisterWndClass(UINT style, HCURSOR cursor = nullptr,
                                      HBRUSH background = nullptr, HICON icon = nullptr);

  // Thin conveniences over the Win32 calls of the same name.
  LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return ::SendMessageA(hwnd_, msg, w, l);
  }
  BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
    return ::PostMessageA(hwnd_, msg, w, l);
  }
  BOOL ShowWindow(int cmd) const { return ::ShowWindow(hwnd_, cmd); }
  BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(hwnd_, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(hwnd_); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(hwnd_); }
  BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) const {
    return ::MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
  }
  void SetWindowText(const char* text) const { ::SetWindowTextA(hwnd_, text); }
  std::string GetWindowText() const;
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(hwnd_, nullptr, erase); }
  void SetFont(HFONT font, BOOL redraw = TRUE) const {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd_); }
  HWND GetParent() const { return ::GetParent(hwnd_); }
  DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrA(hwnd_, GWL_EXSTYLE)); }
  // Centres the window over its owner, or over the screen when it has none.
  void CenterWindow() const;

  // Offers a WM_COMMAND to this object; true when handled. The base handles
  // nothing. A window that wants another object to see its commands first
  // overrides this and asks that object's OnCmdMsg before its own.
  virtual bool OnCmdMsg(UINT id, UINT code, HWND control);

 protected:
  // The window procedure. Handle what you need and pass everything else to
  // the base class's WindowProc, which reflects owner-draw and colour
  // messages to the child's object, routes WM_COMMAND to OnCmdMsg and ends
  // in Default().
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
  // Passes the message being handled to the previous window procedure.
  LRESULT Default();
  // Passes the given message to the previous window procedure.
  LRESULT CallPrevious(UINT msg, WPARAM wParam, LPARAM lParam);

  // Adjusts creation values; returning false cancels the creation.
  virtual bool PreCreateWindow(CREATESTRUCTA& cs);
  // Called once the object is bound (at creation or Subclass).
  virtual void PreSubclassWindow() {}
  // Called after WM_NCDESTROY, when the object no longer has a window.
  virtual void PostNcDestroy() {}

  // A message the parent reflected to this control (WM_DRAWITEM,
  // WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM, WM_CTLCOLOR*). Return
  // true and fill `result` to answer it. The base answers WM_CTLCOLOR* with
  // CtlColor when it returns a brush.
  virtual bool OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // Brush for the control's own background; null lets the parent decide.
  virtual HBRUSH CtlColor(HDC dc, UINT ctlColorMsg);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
  bool Attach(HWND hwnd);
  void Detach();
  bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);

  HWND hwnd_ = nullptr;
  WNDPROC previous_ = nullptr;
  MSG current_{};

 protected:
  // While alive, the next window created on this thread is bound to `wnd`
  // before it receives its first message. CreateEx uses it; so does CDialog,
  // which creates through the dialog manager. Scopes nest.
  class CreationScope {
   public:
    explicit CreationScope(CWnd* wnd);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;
    bool Ok() const { return hook_ != nullptr; }

   private:
    CWnd* savedPending_;
    CWnd* savedCreating_;
    HHOOK hook_;
  };
};

}  // namespace fw
