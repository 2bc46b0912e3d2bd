#include <windows.h>

#include "copy_engine.h"
#include "file_patterns.h"
#include "setup_messages.h"
#include "setup_paths.h"
#include "system_error_text.h"

namespace {

void Report(Prompter& prompter, const std::string& text) {
  prompter.Ask(text, kWarningCaption, MB_ICONERROR);
}

// Pattern by pattern, each pattern's names sorted descending: the copy order.
std::vector<std::string> ListFiles(const std::string& folder_with_backslash,
                                   const std::string& pattern_list, Prompter& prompter) {
  std::vector<std::string> patterns, found, all;
  SplitPatterns(pattern_list, patterns);
  for (const std::string& pattern : patterns) {
    GetFilesAsArray(folder_with_backslash + pattern, found, prompter);
    SortFileNames(found);
    all.insert(all.end(), found.begin(), found.end());
  }
  return all;
}

void CopyOneFile(const std::string& source, const std::string& destination, Prompter& prompter) {
  for (const std::string& path : {source, destination}) {
    if (!FitsPathBuffer(path)) return Report(prompter, PathTooLongText(path));
  }
  if (CopyFileA(source.c_str(), destination.c_str(), TRUE)) return;
  DWORD code = GetLastError();
  if (code != ERROR_FILE_EXISTS) {
    return Report(prompter, CopyFailedText(code, SystemErrorText(code), source, destination));
  }
  if (prompter.Ask(OverwriteQuestion(destination, source), kWarningCaption,
                   MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return;
  code = GetLastError();
  Report(prompter, OverwriteFailedText(code, SystemErrorText(code), source, destination));
}

}  // namespace

int GetFilesAsArray(const std::string& search_path, std::vector<std::string>& names,
                    Prompter& prompter) {
  names.clear();
  if (!FitsPathBuffer(search_path)) {
    Report(prompter, PathTooLongText(search_path));
    return 0;
  }
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(search_path.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
      Report(prompter, FindFirstFileFailedText(code, SystemErrorText(code), search_path));
    }
    return 0;
  }
  do {
    const std::string name = entry.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return 1;
}

int GetFilesAsString(const std::string& folder, const std::string& patterns, std::string& text,
                     Prompter& prompter) {
  const std::vector<std::string> names = ListFiles(WithBackslash(folder), patterns, prompter);
  text = JoinFileNames(names);
  return static_cast<int>(names.size());
}

int CopyFiles(const std::string& source, const std::string& destination,
              const std::string& patterns, Prompter& prompter) {
  const std::string from = WithBackslash(source), to = WithBackslash(destination);
  for (const std::string& name : ListFiles(from, patterns, prompter)) {
    CopyOneFile(from + name, to + name, prompter);
  }
  return 0;
}

int FolderExists(const std::string& path, Prompter& prompter) {
  if (!FitsPathBuffer(path)) {
    Report(prompter, PathTooLongText(path));
    return 0;
  }
  // A blank path would be taken for the working folder: it names no folder at all.
  if (!IsBlankFolder(path)) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return 1;
    DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) return 1;
  }
  Report(prompter, FolderMissingText(path));
  return 0;
}

int LibrariesExist(const std::string& folder, Prompter& prompter) {
  const std::string search_path = AppendPath(folder, "*.dll");
  std::vector<std::string> names;
  if (GetFilesAsArray(search_path, names, prompter)) return 1;
  Report(prompter, LibrariesMissingText(search_path));
  return 0;
}
