#include "memory_canvas_win.h"

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF background)
    : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  dc_ = CreateCompatibleDC(NULL);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), NULL, 0);
  previous_ = SelectObject(dc_, bitmap_);
  RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(background);
  FillRect(dc_, &all, brush);
  DeleteObject(brush);
}

MemoryCanvas::~MemoryCanvas() {
  SelectObject(dc_, previous_);
  DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void MemoryCanvas::CopyScreen(POINT origin) {
  HDC screen = GetDC(NULL);
  BitBlt(dc_, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(NULL, screen);
}

COLORREF MemoryCanvas::Pixel(int x, int y) const {
  GdiFlush();
  const uint32_t bgr = bits_[y * width_ + x];
  return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

int MemoryCanvas::Count(COLORREF colour, RECT area) const {
  int n = 0;
  for (int y = area.top; y < area.bottom && y < height_; y++)
    for (int x = area.left; x < area.right && x < width_; x++) n += Pixel(x, y) == colour;
  return n;
}

bool MemoryCanvas::SameShape(const MemoryCanvas& other, COLORREF colour, RECT area) const {
  for (int y = area.top; y < area.bottom && y < height_ && y < other.height_; y++)
    for (int x = area.left; x < area.right && x < width_ && x < other.width_; x++)
      if ((Pixel(x, y) == colour) != (other.Pixel(x, y) == colour)) return false;
  return true;
}
