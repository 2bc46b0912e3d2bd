// The command line of the terminal simulator the build made.
#pragma once
#include <string>

// terminal_sim.exe with the given role and arguments, from the build's bin folder.
std::string Simulator(const std::string& arguments);
