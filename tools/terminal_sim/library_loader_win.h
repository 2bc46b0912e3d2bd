// How the simulated terminal finds its experts' DLLs: each library once for all its charts,
// from the path given for its name, else from the simulator's own folder (where the build puts
// the libraries), as a terminal loads them from MQL4\Libraries.
#pragma once
#include <map>
#include <string>

#include "sim_terminal.h"

// `paths`: library file name (as #import names it) -> the path to load it from.
SimTerminal::LibraryLoader LibraryLoaderFor(std::map<std::string, std::string> paths);
