// Where a text may be cut to fit a buffer without leaving half a UTF-8 character at its end.
#pragma once
#include <cstddef>
#include <string_view>

// How many bytes of `text` to keep in `room` bytes: all of them when they fit; otherwise
// `room`, less a lead byte and its continuation bytes when the cut falls inside that sequence.
// Bytes that are not UTF-8 are kept or cut one by one.
size_t Utf8CutLength(std::string_view text, size_t room);
