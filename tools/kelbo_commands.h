// The kelbo tool's commands, callable in-process: the tool's main and the data-file fuzzer run
// the same code.
#pragma once

// Runs one kelbo command line (argv[0] the program's name); the process's exit code. Output goes
// to standard output and standard error. A --file option changes DataFileName for good.
int RunKelboCommand(int argc, char** argv);
