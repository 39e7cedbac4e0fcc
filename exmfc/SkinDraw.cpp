#include "exmfc/SkinDraw.h"

#include <algorithm>
#include <vector>

#include "exmfc/DpiScale.h"
#include "framework/GdiObject.h"

namespace exmfc {

SliceSizes ResolveSlices(const SliceSizes& s, int w, int h) {
  SliceSizes r = s;
  if (!r.left) r.left = w / 3;
  if (!r.centre) r.centre = w / 3;
  if (!r.right) r.right = w - 2 * w / 3;
  if (!r.top) r.top = h / 3;
  if (!r.middle) r.middle = h / 3;
  if (!r.bottom) r.bottom = h - 2 * h / 3;
  return r;
}

bool DrawNineSlice(HDC dc, HBITMAP bitmap, const SliceSizes& slices, const RECT& t) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return false;
  const int W = info.bmWidth, H = info.bmHeight;
  const SliceSizes s = ResolveSlices(slices, W, H);
  const int L = s.left, C = s.centre, R = s.right, T = s.top, M = s.middle, B = s.bottom;
  const int x0 = t.left, y0 = t.top, x1 = t.right, y1 = t.bottom;
  const int w = x1 - x0, h = y1 - y0;

  fw::BitmapDC src(dc, bitmap);
  if (!src.Get()) return false;
  SetStretchBltMode(dc, HALFTONE);
  // HALFTONE leaves the brush origin undefined until it is set again.
  SetBrushOrgEx(dc, 0, 0, nullptr);
  auto piece = [&](int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    StretchBlt(dc, dx, dy, dw, dh, src, sx, sy, sw, sh, SRCCOPY);
  };
  piece(x0, y0, L, T, 0, 0, L, T);                                  // top-left
  piece(x1 - R, y0, R, T, W - R, 0, R, T);                          // top-right
  piece(x0 + L, y0, w - R - L, T, L, 0, C, T);                      // top edge
  piece(x0, y0 + T, L, h - T - B, 0, T, L, M);                      // left edge
  piece(x0, y1 - B, L, B, 0, H - B, L, B);                          // bottom-left
  piece(x0 + L, y1 - B, w - R - L, B, L, H - B, C, B);              // bottom edge
  piece(x1 - R, y1 - B, R, B, W - R, H - B, R, B);                  // bottom-right
  piece(x1 - R, y0 + T, R, h - T - B, W - R, T, R, M);              // right edge
  piece(x0 + L, y0 + T, w - R - L, h - T - B, L, T, C, M);          // centre
  return true;
}

namespace {

constexpr DWORD kBatch = 1000;

// Region data for up to kBatch rectangles, header first.
class RectBatch {
 public:
  RectBatch() : buffer_(sizeof(RGNDATAHEADER) + kBatch * sizeof(RECT)) { Reset(); }
  RGNDATA* Data() { return reinterpret_cast<RGNDATA*>(buffer_.data()); }
  RECT* Rects() { return reinterpret_cast<RECT*>(Data()->Buffer); }
  DWORD Count() { return Data()->rdh.nCount; }
  void Reset() {
    RGNDATAHEADER& h = Data()->rdh;
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = 0;
    h.nRgnSize = 0;
    SetRect(&h.rcBound, 0x7FFFFFFF, 0x7FFFFFFF, 0, 0);
  }
  void Add(int left, int top, int right, int bottom) {
    RGNDATAHEADER& h = Data()->rdh;
    SetRect(&Rects()[h.nCount++], left, top, right, bottom);
    h.rcBound.left = std::min<LONG>(h.rcBound.left, left);
    h.rcBound.top = std::min<LONG>(h.rcBound.top, top);
    h.rcBound.right = std::max<LONG>(h.rcBound.right, right);
    h.rcBound.bottom = std::max<LONG>(h.rcBound.bottom, bottom);
  }
  // ORs the batch into `result` and empties it.
  bool FlushInto(HRGN result) {
    if (!Count()) return true;
    DWORD size = sizeof(RGNDATAHEADER) + Count() * sizeof(RECT);
    fw::OwnedRegion part(ExtCreateRegion(nullptr, size, Data()));
    Reset();
    if (!part) return false;
    return CombineRgn(result, result, part, RGN_OR) != ERROR;
  }

 private:
  std::vector<unsigned char> buffer_;
};

}  // namespace

HRGN BitmapToRegion(HBITMAP bitmap, COLORREF key, COLORREF tolerance) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return nullptr;
  const int width = info.bmWidth, height = info.bmHeight;
  if (width <= 0 || height <= 0) return nullptr;

  // A straight copy into bottom-up 32-bit rows (B, G, R, unused).
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  const size_t stride = ((static_cast<size_t>(width) * 32 + 31) / 32) * 4;
  std::vector<unsigned char> pixels(stride * height);
  {
    fw::ClientDC screen(nullptr);
    if (GetDIBits(screen, bitmap, 0, height, pixels.data(), &bi, DIB_RGB_COLORS) != height)
      return nullptr;
  }

  const int lr = GetRValue(key), lg = GetGValue(key), lb = GetBValue(key);
  const int hr = std::min(lr + GetRValue(tolerance), 255);
  const int hg = std::min(lg + GetGValue(tolerance), 255);
  const int hb = std::min(lb + GetBValue(tolerance), 255);

  fw::OwnedRegion result(CreateRectRgn(0, 0, 0, 0));
  if (!result) return nullptr;
  RectBatch batch;
  for (int y = 0; y < height; ++y) {
    // Bottom-up rows: image row y is stored at height - 1 - y.
    const unsigned char* row = pixels.data() + stride * (height - 1 - y);
    auto isKey = [&](int x) {
      const unsigned char* p = row + 4 * x;
      return p[2] >= lr && p[2] <= hr && p[1] >= lg && p[1] <= hg && p[0] >= lb && p[0] <= hb;
    };
    for (int x = 0; x < width; ++x) {
      const int x0 = x;
      while (x < width && !isKey(x)) ++x;
      if (x > x0) {
        batch.Add(x0, y, x, y + 1);
        if (batch.Count() == kBatch && !batch.FlushInto(result)) return nullptr;
      }
    }
  }
  if (!batch.FlushInto(result)) return nullptr;
  return result.Release();
}

HBITMAP StretchedCopy(HBITMAP bitmap, int width, int height) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return nullptr;
  return StretchedCopySplit(bitmap, info.bmWidth, width, height, width);
}

HBITMAP StretchedCopySplit(HBITMAP bitmap, int sourceSplit, int width, int height, int split) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || width <= 0 || height <= 0)
    return nullptr;
  if (sourceSplit <= 0 || sourceSplit > info.bmWidth || split <= 0 || split > width) return nullptr;
  // Both parts empty or both not: one part cannot be stretched from nothing.
  if ((sourceSplit == info.bmWidth) != (split == width)) return nullptr;
  fw::ClientDC screen(nullptr);
  fw::OwnedBitmap copy(CreateCompatibleBitmap(screen, width, height));
  if (!copy) return nullptr;
  {
    fw::OwnedDC src(CreateCompatibleDC(screen));
    fw::OwnedDC dst(CreateCompatibleDC(screen));
    if (!src.Get() || !dst.Get()) return nullptr;
    fw::SelectGuard selSrc(src, bitmap);
    fw::SelectGuard selDst(dst, copy);
    SetStretchBltMode(dst, HALFTONE);
    SetBrushOrgEx(dst, 0, 0, nullptr);
    if (!StretchBlt(dst, 0, 0, split, height, src, 0, 0, sourceSplit, info.bmHeight, SRCCOPY))
      return nullptr;
    if (split < width && !StretchBlt(dst, split, 0, width - split, height, src, sourceSplit, 0,
                                     info.bmWidth - sourceSplit, info.bmHeight, SRCCOPY))
      return nullptr;
  }
  return copy.Release();
}

HRGN ScaleRegion(HRGN region, int dpi) {
  const DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
  if (size < sizeof(RGNDATAHEADER)) return nullptr;
  std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  if (GetRegionData(region, size, data) != size) return nullptr;
  RECT* rects = reinterpret_cast<RECT*>(data->Buffer);
  for (DWORD i = 0; i < data->rdh.nCount; ++i) rects[i] = ScaleTo(rects[i], dpi);
  data->rdh.rcBound = ScaleTo(data->rdh.rcBound, dpi);
  return ExtCreateRegion(nullptr, size, data);
}

}  // namespace exmfc
