// The slave library's one lock. Every expert of the terminal calls the library from a thread of
// its own, and the chart's window procedure stores the image sets the hub sends: the text held,
// the model split from it, the cursor over it and the copier's sessions are used under it.
#pragma once
#include <mutex>

inline std::mutex& LibraryLock() {
  static std::mutex lock;
  return lock;
}
