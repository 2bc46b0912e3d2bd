// Bounded waits of the Windows tests: a slow, busy machine gets a generous limit, never a
// timing expectation.
#pragma once
#include <windows.h>

// Polls `done` every 50 ms until it holds or `limit_ms` have passed.
template <typename F>
bool PollUntil(DWORD limit_ms, F done) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= limit_ms) return false;
    Sleep(50);
  }
}
