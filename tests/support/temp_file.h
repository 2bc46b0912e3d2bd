// A scratch file holding a given text, removed with its folder when the object goes.
#pragma once
#include <string>

#include "temp_folder.h"

class TempFile {
 public:
  TempFile(const char* name, const std::string& text);
  const std::string& Path() const { return path_; }

 private:
  TempFolder folder_;
  std::string path_;
};
