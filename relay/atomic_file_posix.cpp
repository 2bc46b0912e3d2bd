#include <unistd.h>

#include <cstdio>

#include "atomic_file.h"

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string written = path + ".new";
  std::FILE* file = std::fopen(written.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
            std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
  if (ok && std::rename(written.c_str(), path.c_str()) == 0) return true;
  std::remove(written.c_str());
  return false;
}
