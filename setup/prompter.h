// Where the setup tool's messages go: message boxes owned by the dialog in the program, a
// console on the command line, a recorder in the tests.
#pragma once
#include <string>

struct Prompter {
  virtual ~Prompter() = default;
  // Shows `text` under `caption`; `style` holds the message box flags (MB_YESNO, MB_ICONERROR,
  // ...). Returns the button chosen (IDOK, IDYES, IDNO).
  virtual int Ask(const std::string& text, const char* caption, unsigned style) = 0;
};
