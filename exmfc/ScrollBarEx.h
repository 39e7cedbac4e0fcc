#pragma once
// A bitmap-drawn vertical scroll bar bound to a list box.

#include <windows.h>

#include "framework/GdiObject.h"
#include "framework/Wnd.h"

namespace exmfc {

// Bitmap resources of the bar's pieces (all 16 pixels wide).
enum : UINT {
  IDB_SCROLLBAR_FIRST = 145,  // up normal, up pressed, up disabled,
                              // down normal, down pressed, down disabled,
                              // track, track disabled, thumb (153)
  kScrollBarBitmaps = 9,
};

class CScrollBarEx : public fw::CWnd {
 public:
  enum Piece {
    kUp, kUpPressed, kUpDisabled, kDown, kDownPressed, kDownDisabled,
    kTrack, kTrackDisabled, kThumb,
  };
  static constexpr int kArrow = 16;       // arrow square
  static constexpr int kThumbHeight = 17;
  static constexpr UINT kRepeatTimer = 1;
  static constexpr UINT kRepeatMs = 100;

  CScrollBarEx();
  // Creates the bar as a child window; loads the piece bitmaps from the
  // program's resources (missing pieces are drawn in system colours).
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
  void Bind(HWND list) { list_ = list; }
  HWND BoundList() const { return list_; }
  // Replaces a piece bitmap; the bar owns it.
  void SetPiece(Piece piece, HBITMAP bitmap);

  // From the bound list: enabled with range 0 .. items - visible rows and
  // position = top index when not all rows fit; disabled otherwise.
  void UpdateFromList();

  int GetMin() const { return min_; }
  int GetMax() const { return max_; }
  int GetPos() const { return pos_; }
  // Top of the thumb in client coordinates.
  int ThumbTop() const;
  HBITMAP WindowImage() const { return image_.Get(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Render();
  void Redraw();
  void SendLine();
  void StopTracking();
  void DrawPiece(HDC dc, Piece piece, int x, int y, int w, int h, int fallbackColour);
  int TrackTop() const { return kArrow; }
  int TrackHeight() const;

  int min_ = 0, max_ = 100, pos_ = 50;
  HWND list_ = nullptr;
  bool upPressed_ = false, downPressed_ = false;
  bool dragging_ = false;
  int grabOffset_ = 0;
  UINT lineCommand_ = SB_LINEDOWN;
  fw::OwnedBitmap pieces_[kScrollBarBitmaps];
  fw::OwnedBitmap image_;
};

}  // namespace exmfc
