// A file replaced as a whole or not at all: a crash or a full disk leaves the old file or the
// new one, never a part.
#pragma once
#include <string>
#include <string_view>

// Writes `bytes` to `path` + ".new", flushes it to the disk and renames it over `path`. False,
// with `path` as it was, when any step failed.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);
