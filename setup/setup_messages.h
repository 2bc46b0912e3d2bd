// The texts of the setup tool's message boxes, all shown under the caption "Warning".
#pragma once
#include <string>

constexpr char kWarningCaption[] = "Warning";

// "ReadXml" or "WriteXml": the configuration file could not be opened or created.
std::string CreateFileFailedText(const char* operation, unsigned long code,
                                 const std::string& error_text, const std::string& path);
// The configuration file was created but not written whole.
std::string WriteFileFailedText(unsigned long code, const std::string& error_text,
                                const std::string& path);
std::string FindFirstFileFailedText(unsigned long code, const std::string& error_text,
                                    const std::string& search_path);
std::string OverwriteQuestion(const std::string& destination, const std::string& source);
// The first copy failed for another reason than an existing destination.
std::string CopyFailedText(unsigned long code, const std::string& error_text,
                           const std::string& source, const std::string& destination);
// The copy that replaces an existing destination failed; blanks differ from the text above.
std::string OverwriteFailedText(unsigned long code, const std::string& error_text,
                                const std::string& source, const std::string& destination);
std::string FolderMissingText(const std::string& path);
// A 64-bit terminal's plan found no libraries of its own (`search_path` ends in "*.dll").
std::string LibrariesMissingText(const std::string& search_path);
// A path of 260 characters or more does not fit the system's path buffers.
std::string PathTooLongText(const std::string& path);
// The executable's path could not be had (`code` from GetModulePath): a path too long is
// refused rather than cut into another path; any other failure names the system's code.
std::string ModulePathFailedText(unsigned long code, const std::string& module_path);
