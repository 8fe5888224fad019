// SPDX-License-Identifier: MIT
#pragma once
// What the message box shows for an exception that escaped a handler or start-up.

#include <exception>
#include <string>

namespace kwirl {

// The message with a full stop appended when it is not empty and its last
// character sorts after ".".
std::string exceptionBoxText(const std::string& message);

// The message of the exception being handled; empty for one that is not a
// std::exception. Call only inside a catch block.
std::string currentExceptionMessage();

}  // namespace kwirl
