// The checksum that master, hub and slave compute over an image or an image set.
#pragma once
#include <cstdint>

// Checksum of `length` bytes at `data` (no terminating NUL is ever included).
// Not the standard CRC-32: see image_checksum.cpp for the exact definition.
uint32_t image_checksum(const void* data, int32_t length);
