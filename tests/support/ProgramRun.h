// Runs a built program as a user would, for end-to-end tests.
#pragma once

#include <string>
#include <vector>

namespace tvx::test {

struct ProgramResult {
    // The exit status, or -1 when the program could not start or did not
    // exit normally (a signal, a sanitizer abort).
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs `arguments[0]` with the rest as its arguments, without a shell, and
// collects both output streams to the end; in `workingDirectory` when one is given.
ProgramResult RunProgram(const std::vector<std::string>& arguments, const std::string& workingDirectory = {});

} // namespace tvx::test
