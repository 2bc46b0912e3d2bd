// A window owned by a thread of its own that pumps its messages, as a terminal's chart is owned
// by its UI thread while the expert's calls come from another.
#pragma once
#include <windows.h>

// A window class whose windows do nothing of their own, as a chart before a library subclasses
// it; registered at the first call.
const char* PlainChartClass();

class WindowThread {
 public:
  // `class_name` is registered already; the window is made on the thread with `style` and a
  // square of `size` pixels.
  WindowThread(const char* class_name, DWORD style, int size);
  // Ends the thread, which destroys the window.
  ~WindowThread();
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  HWND Window() const { return window_; }

 private:
  static DWORD WINAPI Run(void* self);

  const char* class_name_;
  DWORD style_;
  int size_;
  HWND window_ = NULL;
  HANDLE ready_;
  HANDLE thread_ = NULL;
  DWORD thread_id_ = 0;
};
