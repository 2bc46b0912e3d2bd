// How the terminal passes one element of a string array: its length and its character buffer.
#pragma once
#include <cstdint>

struct TextSlot {
  int32_t length;  // never read nor written by the library
  char* buffer;
};

// Buffer sizes the expert is required to provide, terminator included.
inline constexpr int32_t kChannelIdCapacity = 256;
inline constexpr int32_t kLoginCapacity = 256;
inline constexpr int32_t kSymbolCapacity = 32;
inline constexpr int32_t kCommentCapacity = 128;
