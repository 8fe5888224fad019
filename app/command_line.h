// SPDX-License-Identifier: MIT
#pragma once
// The client's command line: an empty one starts the window, and so does an
// address of the portal's (http or https, on its domain), which the window
// then shows: the running client's, handed over, or a new one's. --help and
// --version answer on standard output and need no display; --forget forgets
// the portal's data without a window; anything else is a mistake, said on
// standard error with exit status 2.

#include <string>

namespace kwirl {

enum class StartRequest { Window, Help, Version, Forget, Mistake };

struct CommandLine {
    StartRequest request = StartRequest::Window;
    std::string mistake;  // what is wrong, for StartRequest::Mistake
    std::string address;  // the portal's page to show, for StartRequest::Window; empty: none
};

CommandLine readCommandLine(int argc, const char* const* argv);

// Answers a request other than the window; the process's exit status.
int answerWithoutWindow(const CommandLine& line);

}  // namespace kwirl
