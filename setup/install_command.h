// Lobrine.exe /install core|master|slave <folder>: runs one copy plan without the dialog, for
// install scripts. The folder takes the place of the plan's folder field. The overwrite
// question is answered Yes; every message is written to standard output.
#pragma once

// Returns 0 when the plan showed no failure, 1 when it did, 2 for a wrong command line.
int RunInstallCommand(int argc, char** argv);

// True when the command line asks for the install command rather than the dialog.
bool IsInstallCommand(int argc, char** argv);
