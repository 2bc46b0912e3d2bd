#include "spawned_program.h"

#include "poll_until.h"

SpawnedProgram::SpawnedProgram(const std::string& command_line) : output_("output.txt", "") {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, NULL, TRUE};
  HANDLE output = CreateFileA(output_.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (output == INVALID_HANDLE_VALUE) return;
  process_.StartWithHandles(command_line, output, GetStdHandle(STD_ERROR_HANDLE),
                            GetStdHandle(STD_INPUT_HANDLE));
  CloseHandle(output);
}

std::string SpawnedProgram::Output() const {
  std::string text;
  HANDLE file = CreateFileA(output_.Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return text;
  char piece[4096];
  DWORD got = 0;
  while (ReadFile(file, piece, sizeof piece, &got, NULL) && got > 0)
    for (DWORD i = 0; i < got; i++)
      if (piece[i] != '\r') text += piece[i];  // the C runtime writes text-mode line ends
  CloseHandle(file);
  return text;
}

bool SpawnedProgram::WaitForOutput(const std::string& text, DWORD limit_ms) const {
  return PollUntil(limit_ms, [&] { return Output().find(text) != std::string::npos; });
}
