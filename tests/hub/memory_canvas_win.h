// A 32-bit top-down bitmap in a memory device context: the panel painted off screen, or a
// copy of the screen, read pixel by pixel.
#pragma once
#include <windows.h>

#include <cstdint>

class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height, COLORREF background);
  ~MemoryCanvas();
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  HDC dc() const { return dc_; }
  // Copies the screen's pixels from `origin` on, as far as the canvas reaches.
  void CopyScreen(POINT origin);
  COLORREF Pixel(int x, int y) const;
  // The pixels of `colour` inside `area`.
  int Count(COLORREF colour, RECT area) const;
  // True when the same pixels inside `area` have `colour` here and on `other`.
  bool SameShape(const MemoryCanvas& other, COLORREF colour, RECT area) const;

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  uint32_t* bits_ = nullptr;
};
