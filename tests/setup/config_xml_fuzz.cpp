// Feeds arbitrary bytes to the config.xml reader: it must never crash, every folder it takes
// stands in the file, and what it writes back reads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config_xml.h"

namespace {

void Check(const std::string& file, const std::string& value, const std::string& fallback) {
  if (value != fallback && file.find(value) == std::string::npos) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string file(reinterpret_cast<const char*>(data), size);
  const SetupFolders defaults = DefaultFolders();
  SetupFolders folders = defaults;
  ReadConfigXmlText(file.c_str(), folders);
  Check(file, folders.m_strCorePath, defaults.m_strCorePath);
  Check(file, folders.m_strMasterPath, defaults.m_strMasterPath);
  Check(file, folders.m_strSlavePath, defaults.m_strSlavePath);

  // Values are written unescaped, so only folders without markup ('<' never stands in a
  // Windows path) are promised to read back unchanged.
  for (const std::string* f : {&folders.m_strCorePath, &folders.m_strMasterPath, &folders.m_strSlavePath})
    if (f->find('<') != std::string::npos) return 0;
  SetupFolders again = defaults;
  ReadConfigXmlText(ConfigXmlText(folders).c_str(), again);
  if (again.m_strCorePath != folders.m_strCorePath ||
      again.m_strMasterPath != folders.m_strMasterPath ||
      again.m_strSlavePath != folders.m_strSlavePath)
    __builtin_trap();
  return 0;
}
