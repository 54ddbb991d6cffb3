// Runs the built kelbo tool as a player would, for the tests of its commands.
#pragma once

#include <string>
#include <vector>

#include "tests/test_files.h"

struct ToolRun {
    int exitCode;
    std::string output;  // standard output
    std::string errors;  // standard error
};

// The lines of a command's output, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// Runs kelbo with these arguments in the directory, where kelbo.dat is its default file.
ToolRun RunKelbo(const ScratchDirectory& directory, const std::string& arguments);
