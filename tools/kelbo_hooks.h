// What the kelbo tool's hooks saw of the game.
#pragma once

#include <string>

// The message of the last data-file problem that a new game met; empty while there was none.
extern std::string ReportedDataFileProblem;
