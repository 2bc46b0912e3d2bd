#include "settings_path.h"

std::string BaseName(std::string_view module_path) {
  size_t slash = module_path.find_last_of("\\/");
  std::string_view file = slash == std::string_view::npos ? module_path : module_path.substr(slash + 1);
  size_t dot = file.rfind('.');
  return std::string(dot == std::string_view::npos ? file : file.substr(0, dot));
}

std::string SettingsPath(std::string_view module_path, std::string_view base_name,
                         std::string_view name) {
  const std::string exe_file = std::string(base_name) + ".exe";
  std::string out;
  bool replaced = false;
  size_t at = 0;
  for (size_t hit; (hit = module_path.find(exe_file, at)) != std::string_view::npos;) {
    out.append(module_path, at, hit - at);
    out += name;
    at = hit + exe_file.size();
    replaced = true;
  }
  out.append(module_path.substr(at));
  if (replaced) return out;

  size_t slash = module_path.find_last_of("\\/");
  std::string folder(slash == std::string_view::npos ? std::string_view() : module_path.substr(0, slash + 1));
  return folder + std::string(name);
}
