#include <windows.h>

#include "config_file.h"
#include "setup_messages.h"
#include "system_error_text.h"
#include "whole_file.h"

int ReadXml(const std::string& path, SetupFolders& folders, Prompter& prompter) {
  std::string text;
  if (unsigned long code = ReadWholeFile(path, text)) {
    prompter.Ask(CreateFileFailedText("ReadXml", code, SystemErrorText(code), path),
                 kWarningCaption, MB_ICONERROR);
    return 1;
  }
  ReadConfigXmlText(text.c_str(), folders);
  return 0;
}

int WriteXml(const std::string& path, const SetupFolders& folders, Prompter& prompter) {
  const std::string text = ConfigXmlText(folders);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    prompter.Ask(CreateFileFailedText("WriteXml", code, SystemErrorText(code), path),
                 kWarningCaption, MB_ICONERROR);
    return 1;
  }
  // A short write (disk full) would lose the folders silently: it is reported like the create.
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
  DWORD code = ok ? ERROR_HANDLE_DISK_FULL : GetLastError();
  CloseHandle(file);
  if (ok && written == text.size()) return 0;
  prompter.Ask(WriteFileFailedText(code, SystemErrorText(code), path), kWarningCaption,
               MB_ICONERROR);
  return 1;
}
