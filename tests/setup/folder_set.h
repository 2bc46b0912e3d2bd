// A folder check that answers from a list of folders instead of a disk.
#pragma once
#include <algorithm>
#include <string>
#include <vector>

#include "folder_check.h"

struct FolderSet {
  std::vector<std::string> folders;

  FolderCheck Check() const {
    return [this](const std::string& path) {
      return std::find(folders.begin(), folders.end(), path) != folders.end();
    };
  }
};
