// Whether a path names an existing folder, asked without any message. The decisions that
// depend on it take the check as an argument, so that they are tested without a disk.
#pragma once
#include <functional>
#include <string>

using FolderCheck = std::function<bool(const std::string& path)>;

// The system's answer: true for an existing folder, false for a file, a missing path or a path
// too long for the system's path buffers.
bool IsFolder(const std::string& path);
