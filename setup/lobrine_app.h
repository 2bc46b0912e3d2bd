// The setup tool's application object: the executable's path and the setup paths built from it.
#pragma once
#include <string>

#include "setup_paths.h"

class CLobrineApp {
 public:
  // Start-up: common controls and the executable's path, then the dialog until it ends.
  // Returns false: the program has no message loop of its own and ends after the dialog.
  bool InitInstance();

  std::string SetupPath(const std::string& name) const { return ::SetupPath(m_strModulePath, name); }

  std::string m_strModulePath;
  std::string m_strConfigFile = "config.xml";
};
