// SPDX-License-Identifier: MIT
#pragma once
// The client's command line: nothing starts the window but an empty one.
// --help and --version answer on standard output and need no display;
// --forget forgets the portal's data without a window; anything else is a
// mistake, said on standard error with exit status 2.

#include <string>

namespace kwirl {

enum class StartRequest { Window, Help, Version, Forget, Mistake };

struct CommandLine {
    StartRequest request = StartRequest::Window;
    std::string mistake;  // what is wrong, for StartRequest::Mistake
};

CommandLine readCommandLine(int argc, const char* const* argv);

// Answers a request other than the window; the process's exit status.
int answerWithoutWindow(const CommandLine& line);

}  // namespace kwirl
