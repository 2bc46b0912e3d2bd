// A whole file read into memory, as the settings readers take it.
#pragma once
#include <string>

// Replaces `bytes` with the file's bytes, up to its end or to the first read that fails.
// Returns 0, or the system's error code when the file cannot be opened (`bytes` untouched).
unsigned long ReadWholeFile(const std::string& path, std::string& bytes);
