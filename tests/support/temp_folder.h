// Scratch folders and files of the Windows tests.
#pragma once
#include <string>

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return _path; }
  // The path of `relative` inside the folder.
  std::string operator/(const std::string& relative) const { return _path + "\\" + relative; }

 private:
  std::string _path;
};

void MakeFolder(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// The file's bytes, or "<missing>" when it cannot be read. Read as a log viewer reads: the
// program that writes the file may go on writing, renaming or removing it meanwhile.
std::string ReadFileText(const std::string& path);
bool PathExists(const std::string& path);
