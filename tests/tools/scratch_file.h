// A path for a file of a test's own in the system's temporary folder, removed with the object.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

class ScratchFile {
 public:
  ScratchFile()
      : path_((std::filesystem::temp_directory_path() /
               ("qelv-trade-" + std::to_string(std::random_device{}()) + ".journal"))
                  .string()) {}
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }

  std::string Read() const {
    std::ifstream file(path_, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  void Write(const std::string& text) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
  }

 private:
  std::string path_;
};
