#pragma once
// Reading pixels back: 32-bit top-down DIB sections to draw into and read,
// copies of a window's client area, and PNG files for people to look at.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace guitest {

// A top-down 32-bit DIB section selected into its own memory DC. Pixels are
// 0x00RRGGBB values in memory order (blue byte first).
class Dib32 {
 public:
  Dib32(int width, int height);
  ~Dib32();
  Dib32(const Dib32&) = delete;
  Dib32& operator=(const Dib32&) = delete;

  bool Ok() const { return bits_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }
  // Pixel as a COLORREF (0x00BBGGRR), so it compares with RGB().
  COLORREF At(int x, int y) const;
  void Set(int x, int y, COLORREF c);
  void Fill(COLORREF c);
  // Releases the bitmap from the DC; the caller then owns Bitmap().
  HBITMAP Detach();

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};

// A DIB-section bitmap (not selected anywhere) with the given pixels, for
// code that takes an HBITMAP. `pixel(x, y)` gives COLORREF values.
template <class F>
HBITMAP MakeBitmap(int width, int height, F pixel) {
  Dib32 dib(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) dib.Set(x, y, pixel(x, y));
  return dib.Detach();
}

// Copies a device-dependent bitmap into `dib` (sizes must match).
bool CopyBitmap(HBITMAP bitmap, Dib32& dib);

// Copies what the screen shows of a window (client area when `client`).
bool CaptureWindow(HWND hwnd, bool client, std::vector<uint32_t>& pixels, int& width, int& height);

// Writes 0x00RRGGBB pixels, top row first, as an RGB PNG file.
bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height);

}  // namespace guitest
