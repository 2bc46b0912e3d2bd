// Window handles travel on the link and through the exports as 32-bit values. Windows keeps a
// handle's meaning in its low 32 bits and, on 64-bit Windows, sign-extends it, so the round
// trip is exact and a value from a 32-bit terminal names the same window.
#pragma once
#include <windows.h>

#include <cstdint>

inline int32_t WindowValue(HWND window) {
  return static_cast<int32_t>(reinterpret_cast<INT_PTR>(window));
}

inline HWND WindowFromValue(int32_t value) {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}
