// The system's message text for an error code, for the dialog programs' reports.
#pragma once
#include <string>

// Trimmed of white space at both ends; "..." when the system has no text for the code.
std::string SystemErrorText(unsigned long code);
