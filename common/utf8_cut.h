// Where a text may be cut to fit a buffer without leaving half a UTF-8 character at its end.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// A caller's byte buffer of `size` bytes, terminator included.
struct TextBuffer {
  char* bytes;
  int32_t size;
};

// How many bytes of `text` to keep in `room` bytes: all of a text that fits, exactly as it is;
// of a longer one as many as fit, less a lead byte and its continuation bytes when the cut
// leaves them unfinished. Bytes that are not UTF-8 are kept or cut one by one.
size_t Utf8CutLength(std::string_view text, size_t room);

// Writes the start of `text` that Utf8CutLength keeps in `size` - 1 bytes, and a zero byte after
// it; the rest of the buffer stays as it was. `size` is at least 1.
void WriteUtf8Cut(char* bytes, size_t size, std::string_view text);
