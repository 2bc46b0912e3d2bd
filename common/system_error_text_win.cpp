#include <windows.h>

#include "system_error_text.h"
#include "white_space.h"

std::string SystemErrorText(unsigned long code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      NULL, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0,
      NULL);
  std::string text;
  if (length && buffer) text = TrimWhiteSpace(std::string_view(buffer, length));
  if (buffer) LocalFree(buffer);
  return text.empty() ? "..." : text;
}
