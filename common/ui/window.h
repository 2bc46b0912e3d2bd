// A window handle with one-line helpers. Does not own the window.
#pragma once
#include <windows.h>

#include <string>

class CWindow {
 public:
  LRESULT SendMsg(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageA(window_, msg, wp, lp); }
  bool Show(int cmd) const { return ShowWindow(window_, cmd) != FALSE; }
  bool IsMinimized() const { return IsIconic(window_) != FALSE; }
  void Invalidate(const RECT* rect = nullptr, bool erase = true) const { InvalidateRect(window_, rect, erase); }
  RECT ClientRect() const { RECT r{}; GetClientRect(window_, &r); return r; }
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  void SetItemText(int id, const std::string& text) const { SetDlgItemTextA(window_, id, text.c_str()); }
  std::string ItemText(int id) const {
    HWND item = Item(id);
    std::string text(GetWindowTextLengthA(item), '\0');
    if (!text.empty()) text.resize(GetWindowTextA(item, &text[0], static_cast<int>(text.size()) + 1));
    return text;
  }
  int ShowMessage(const std::string& text, const char* caption, UINT type) const {
    return MessageBoxA(window_, text.c_str(), caption, type);
  }

 protected:
  HWND window_ = 0;
};
