// config.xml: the three folders the setup tool remembers from one run to the next.
#pragma once
#include <string>

// Named as the dialog names them: the dialog holds its folders as this record.
struct SetupFolders {
  std::string m_strCorePath;    // the Dremont folder
  std::string m_strMasterPath;  // the master terminal folder
  std::string m_strSlavePath;   // the slave terminal folder
};

SetupFolders DefaultFolders();

// The whole file as written: 15 lines with CR LF between them, values inserted byte for byte.
std::string ConfigXmlText(const SetupFolders& folders);

// Takes the folders the text names (seen up to its first zero byte) and leaves the others as
// they are. Tags are found by exact substring search, not by an XML parser.
void ReadConfigXmlText(const char* text, SetupFolders& folders);
