#include "temp_file.h"

TempFile::TempFile(const char* name, const std::string& text) : path_(folder_ / name) {
  WriteFileText(path_, text);
}
