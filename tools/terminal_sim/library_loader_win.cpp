#include "library_loader_win.h"

#include <windows.h>

#include <memory>
#include <mutex>

#include "sim_process.h"

namespace {

struct Libraries {
  std::map<std::string, std::string> paths;
  std::mutex mutex;
  std::map<std::string, HMODULE> loaded;
};

}  // namespace

SimTerminal::LibraryLoader LibraryLoaderFor(std::map<std::string, std::string> paths) {
  auto libraries = std::make_shared<Libraries>();
  libraries->paths = std::move(paths);
  return [libraries](const std::string& library, const std::string& name, std::string& error) -> void* {
    std::lock_guard<std::mutex> lock(libraries->mutex);
    HMODULE& module = libraries->loaded[library];
    if (!module) {
      const auto given = libraries->paths.find(library);
      const std::string path = given != libraries->paths.end() ? given->second : LibraryBesideProgram(library.c_str());
      module = LoadLibraryA(path.c_str());
      if (!module) {
        error = "'" + library + "' is not loaded (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
      }
    }
    void* function = reinterpret_cast<void*>(GetProcAddress(module, name.c_str()));
    if (!function) error = "'" + name + "' is not in '" + library + "'";
    return function;
  };
}
