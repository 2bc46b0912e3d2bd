#include "roles.h"

int RunSlave(int, char**) { return 2; }
