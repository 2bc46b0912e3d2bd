// The two roles of the terminal simulator; each parses its own arguments.
#pragma once

int RunMaster(int argc, char** argv);
int RunSlave(int argc, char** argv);
