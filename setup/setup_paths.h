// The paths the setup tool works with: files and folders beside its executable, folders joined
// with names, and the limit of the system's 260-byte path buffers.
#pragma once
#include <string>

// The executable's path with its file name replaced by `name` ("config.xml", "core", "master",
// "slave"): C:\Setup\Lobrine.exe gives C:\Setup\config.xml. An executable whose extension is
// not written ".exe" still gets the name in its own folder.
std::string SetupPath(const std::string& module_path, const std::string& name);

// The path with "\" appended unless it already ends in one.
std::string WithBackslash(const std::string& path);

// The path joined with a relative folder: AppendPath("C:\T", "experts") gives C:\T\experts.
std::string AppendPath(const std::string& path, const std::string& relative);

// Paths live in buffers of 260 bytes, terminating zero included: 259 characters at most.
constexpr size_t kMaxPathLength = 259;
inline bool FitsPathBuffer(const std::string& path) { return path.size() <= kMaxPathLength; }

// A folder field that names nothing: empty or blanks only. Joined with a name it would point
// into the root of the current drive or into the working folder.
bool IsBlankFolder(const std::string& path);
