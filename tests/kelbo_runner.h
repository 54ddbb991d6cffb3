// Runs the built kelbo tool as a player would, for the tests of its commands.
#pragma once

#include <string>

#include "tests/test_files.h"

struct ToolRun {
    int exitCode;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// Runs kelbo with these arguments in the directory, where kelbo.dat is its default file.
ToolRun RunKelbo(const ScratchDirectory& directory, const std::string& arguments);
