#include "setup_paths.h"

#include "settings_path.h"
#include "white_space.h"

std::string SetupPath(const std::string& module_path, const std::string& name) {
  return SettingsPath(module_path, BaseName(module_path), name);
}

std::string WithBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + '\\';
}

std::string AppendPath(const std::string& path, const std::string& relative) {
  return WithBackslash(path) + relative;
}

bool IsBlankFolder(const std::string& path) { return TrimWhiteSpace(path).empty(); }
