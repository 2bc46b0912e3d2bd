// A critical error of an MQL4 program (an index outside an array, a library or function that
// cannot be called): the terminal stops the expert and writes why in its journal. The emulated
// functions throw it; whoever delivers the program's events catches it, and no exception leaves
// a translated program any other way.
#pragma once
#include <stdexcept>
#include <string>

namespace mql {

class CriticalError : public std::runtime_error {
 public:
  explicit CriticalError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace mql
