#pragma once
// A bitmap-drawn vertical scroll bar bound to a list box.

#include <windows.h>

#include "framework/GdiObject.h"
#include "framework/Wnd.h"

namespace exmfc {

class CScrollBarEx : public fw::CWnd {
 public:
  // The pieces, all 16 pixels wide, in the order of their bitmap resources.
  // A wider bar (a screen above 96 DPI) grows its arrows and thumb with its
  // width and stretches the pieces to them.
  enum Piece {
    kUp, kUpPressed, kUpDisabled, kDown, kDownPressed, kDownDisabled,
    kTrack, kTrackDisabled, kThumb, kPieceCount
  };
  static constexpr int kArrow = 16;       // arrow square of a 16-pixel bar
  static constexpr int kThumbHeight = 17;  // thumb of a 16-pixel bar
  static constexpr UINT kRepeatTimer = 1;
  static constexpr UINT kRepeatMs = 100;

  CScrollBarEx();
  // Creates the bar as a child window. With `firstPieceBitmap`, loads the
  // pieces from the program's bitmap resources numbered from it in Piece
  // order; missing pieces (all of them without) are drawn in system colours.
  bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, UINT firstPieceBitmap = 0);
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
  // Top and height of the thumb, and the arrows' height, in client
  // coordinates.
  int ThumbTop() const;
  int ThumbHeight() const;
  int ArrowHeight() const;
  HBITMAP WindowImage() const { return image_.Get(); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void Render();
  void Redraw();
  void SendLine();
  void StopTracking();
  void DrawPiece(HDC dc, Piece piece, int x, int y, int w, int h, int fallbackColour);
  int TrackTop() const { return ArrowHeight(); }
  int TrackHeight() const;

  int min_ = 0, max_ = 100, pos_ = 50;
  HWND list_ = nullptr;
  bool upPressed_ = false, downPressed_ = false;
  bool dragging_ = false;
  int grabOffset_ = 0;
  UINT lineCommand_ = SB_LINEDOWN;
  fw::OwnedBitmap pieces_[kPieceCount];
  fw::OwnedBitmap image_;
};

}  // namespace exmfc
