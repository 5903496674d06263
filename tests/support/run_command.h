#pragma once
// Runs a program of the build or of the system through the shell, for tests
// that check what a tool prints and how it ends.
#include <string>

namespace testing_support {

struct CommandResult {
    int status = -1; // the exit status; -1 when it could not run or did not exit
    std::string output; // standard output and standard error together
};

CommandResult RunCommand(const std::string& command);

} // namespace testing_support
