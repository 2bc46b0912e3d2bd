// A program run to its end by a test, its output collected.
#pragma once
#include <windows.h>

#include <string>

// Runs a program to its end (bounded); answers its exit code and its standard output.
bool RunProgram(const std::string& command_line, DWORD& exit_code, std::string& output);
