// Makes one chosen allocation of a test program fail: the program's operator new throws
// std::bad_alloc once g_allocations_left further allocations have succeeded. It replaces the
// global operator new and delete, so exactly one source file of a test program includes it.
#pragma once
#include <cstdlib>
#include <new>

namespace {
long g_allocations_left = -1;  // negative: no failure armed
bool g_failed = false;         // set when the armed failure happened
}  // namespace

void* operator new(size_t size) {
  if (g_allocations_left == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (g_allocations_left > 0) g_allocations_left--;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
// Out of line: inlined, GCC sees free() meet a new-expression and warns of a mismatch.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, size_t) noexcept { std::free(p); }
