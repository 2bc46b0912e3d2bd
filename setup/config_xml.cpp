// Written:                                  Read (first non-empty element at each level):
//   <?xml version="1.0" encoding="UTF-8"?>    <root> ... </root>
//                                               <core> ... </core>  <master> ...  <slave> ...
//   <root>                                        <path> folder </path>
//     <core>
//       <path>C:\Dremont</path>               Values are trimmed when read, never when written.
//     </core>
//   ... master and slave alike ...
//   </root>                                   (no line end after the last line)
#include "config_xml.h"

#include <vector>

#include "extract_tag_values.h"

namespace {

struct Section {
  const char* open;
  const char* close;
  std::string SetupFolders::*member;
};

constexpr Section kSections[] = {
    {"<core>", "</core>", &SetupFolders::m_strCorePath},
    {"<master>", "</master>", &SetupFolders::m_strMasterPath},
    {"<slave>", "</slave>", &SetupFolders::m_strSlavePath},
};

std::string SectionText(const char* name, const std::string& folder) {
  return std::string("  <") + name + ">\r\n    <path>" + folder + "</path>\r\n  </" + name + ">\r\n";
}

}  // namespace

SetupFolders DefaultFolders() {
  return {"C:\\Dremont", "C:\\Program Files\\MetaTrader - Master",
          "C:\\Program Files\\MetaTrader - Slave"};
}

std::string ConfigXmlText(const SetupFolders& folders) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<root>\r\n" +
         SectionText("core", folders.m_strCorePath) + "\r\n" +
         SectionText("master", folders.m_strMasterPath) + "\r\n" +
         SectionText("slave", folders.m_strSlavePath) + "</root>";
}

void ReadConfigXmlText(const char* text, SetupFolders& folders) {
  std::vector<std::string> roots, sections, paths;
  ExtractTagValues(text, "<root>", "</root>", roots);
  if (roots.empty()) return;
  for (const Section& section : kSections) {
    ExtractTagValues(roots.front().c_str(), section.open, section.close, sections);
    if (sections.empty()) continue;
    ExtractTagValues(sections.front().c_str(), "<path>", "</path>", paths);
    if (!paths.empty()) folders.*section.member = paths.front();
  }
}
