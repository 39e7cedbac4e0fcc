#include "support/gui/PixelCapture.h"

#include <zlib.h>

#include <cstdio>

namespace guitest {

Dib32::Dib32(int width, int height) : width_(width), height_(height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return;
  dc_ = CreateCompatibleDC(nullptr);
  old_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
}

Dib32::~Dib32() {
  if (dc_) {
    if (old_) SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
}

HBITMAP Dib32::Detach() {
  GdiFlush();
  if (dc_) {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    dc_ = nullptr;
  }
  HBITMAP b = bitmap_;
  bitmap_ = nullptr;
  bits_ = nullptr;
  return b;
}

COLORREF Dib32::At(int x, int y) const {
  GdiFlush();
  uint32_t v = bits_[y * width_ + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void Dib32::Set(int x, int y, COLORREF c) {
  bits_[y * width_ + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

void Dib32::Fill(COLORREF c) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) Set(x, y, c);
}

bool CopyBitmap(HBITMAP bitmap, Dib32& dib) {
  if (!bitmap || !dib.Ok()) return false;
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, bitmap);
  BOOL ok = BitBlt(dib.Dc(), 0, 0, dib.Width(), dib.Height(), src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  return ok != FALSE;
}

bool CaptureWindow(HWND hwnd, bool client, std::vector<uint32_t>& pixels, int& width,
                   int& height) {
  RECT r;
  POINT origin{0, 0};
  width = height = 0;
  pixels.clear();
  // A window that is already gone answers nothing (and leaves `r` unset).
  if (client) {
    if (!GetClientRect(hwnd, &r) || !ClientToScreen(hwnd, &origin)) return false;
  } else {
    if (!GetWindowRect(hwnd, &r)) return false;
    origin = {r.left, r.top};
    OffsetRect(&r, -r.left, -r.top);
  }
  width = r.right;
  height = r.bottom;
  if (width <= 0 || height <= 0) return false;
  Dib32 dib(width, height);
  if (!dib.Ok()) return false;
  HDC screen = GetDC(nullptr);
  BOOL ok = BitBlt(dib.Dc(), 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  if (!ok) return false;
  pixels.resize(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = dib.At(x, y);
      pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  return true;
}

namespace {
void PutBe32(std::vector<unsigned char>& out, uint32_t v) {
  out.push_back(v >> 24);
  out.push_back((v >> 16) & 0xFF);
  out.push_back((v >> 8) & 0xFF);
  out.push_back(v & 0xFF);
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  PutBe32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
  PutBe32(out, static_cast<uint32_t>(crc));
}
}  // namespace

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height) {
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      uint32_t v = pixels[y * width + x];
      raw.push_back((v >> 16) & 0xFF);
      raw.push_back((v >> 8) & 0xFF);
      raw.push_back(v & 0xFF);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
    return false;
  packed.resize(packedSize);

  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> header;
  PutBe32(header, width);
  PutBe32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", packed);
  Chunk(png, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace guitest
