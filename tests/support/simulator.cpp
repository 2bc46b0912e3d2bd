#include "simulator.h"

std::string Simulator(const std::string& arguments) {
  return "\"" QELV_BIN_DIR "terminal_sim.exe\" " + arguments;
}
