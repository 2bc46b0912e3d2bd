// Names a file beside the running program from the program's own full path.
#pragma once
#include <string>
#include <string_view>

// The program's path with every occurrence of its file name (base name followed by ".exe")
// replaced by `name`: C:\Hub\Varnick.exe and "qelv.xml" give C:\Hub\qelv.xml. The replacement
// is exact and case-sensitive. When it finds nothing (an extension written ".EXE"), the path
// is built from the program's folder instead, so it never names the program itself.
std::string SettingsPath(std::string_view module_path, std::string_view base_name,
                         std::string_view name);

// The base name of a program path: its file name without folder and extension.
std::string BaseName(std::string_view module_path);
