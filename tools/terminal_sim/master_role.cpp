#include "roles.h"

int RunMaster(int, char**) { return 2; }
