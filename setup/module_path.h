// The full path of the running executable.
#pragma once
#include <string>

// Returns 0 and sets `path`, or the error code: the system's, or ERROR_FILENAME_EXCED_RANGE for
// a path of 260 characters or more, which the setup paths could not hold.
unsigned long GetModulePath(std::string& path);
