// terminal_sim master|slave [options]: a console program that loads a bridge library and
// calls its exports as an expert in a terminal would.
#include <cstdio>
#include <cstring>

#include "roles.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "master") == 0) return RunMaster(argc - 1, argv + 1);
  if (argc >= 2 && std::strcmp(argv[1], "slave") == 0) return RunSlave(argc - 1, argv + 1);
  std::fprintf(stderr, "usage: terminal_sim master|slave [options]\n");
  return 2;
}
