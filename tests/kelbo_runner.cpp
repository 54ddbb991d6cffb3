#include "tests/kelbo_runner.h"

#include <cstdio>
#include <sstream>
#include <sys/wait.h>
#include <vector>

ToolRun RunKelbo(const ScratchDirectory& directory, const std::string& arguments)
{
    const std::string errorsPath = directory.File("errors.txt");
    const std::string command =
        "cd '" + directory.Path().string() + "' && '" KELBO_TOOL "' " + arguments + " 2>'" + errorsPath + "'";
    ToolRun run{-1, "", ""};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<std::uint8_t> errors = ReadWholeFile(errorsPath);
    run.errors.assign(errors.begin(), errors.end());
    return run;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
