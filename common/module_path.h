// The full path of the running executable.
#pragma once
#include <string>

// What GetModulePath answers for a path of 260 characters or more, which the programs' 260-byte
// path buffers cannot hold: the system's ERROR_INSUFFICIENT_BUFFER.
constexpr unsigned long kModulePathTooLong = 122;

// Returns 0 and sets `path`, or the system's error code, or kModulePathTooLong; a path too long
// is still set, so that it can be shown (cut when it is longer than twice a path buffer).
unsigned long GetModulePath(std::string& path);
