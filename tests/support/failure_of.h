// SPDX-License-Identifier: MIT
#pragma once
// What an operation's failure was: its message, or the code it carries.

#include <exception>
#include <optional>
#include <ostream>
#include <string>

#include "sock_errors.h"

namespace kwirl::test {

// The message of the exception an operation raises, or "no failure".
template <class Operation>
std::string failureOf(Operation operation) {
    try {
        operation();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

// A failure as tables of outcomes write it: by its code, which is what tests
// decide by (its message is for people).
inline std::string failed(int code) { return "failure " + std::to_string(code); }
inline std::string failed(Failure failure) { return failed(codeOf(failure)); }

// The code of the failure an operation raises, or kNoFailure when it raises none.
inline constexpr int kNoFailure = -1;
template <class Operation>
int failureCodeOf(Operation operation) {
    try {
        operation();
    } catch (const ESockError& error) {
        return error.ErrorCode();
    }
    return kNoFailure;
}

// Which of the client's own failures an operation raises, if it raises one.
template <class Operation>
std::optional<Failure> clientFailureOf(Operation operation) {
    try {
        operation();
    } catch (const ESockError& error) {
        return error.failure();
    }
    return std::nullopt;
}

}  // namespace kwirl::test

namespace kwirl {
// A failure in a test's message: its place among the client's own and its code.
inline std::ostream& operator<<(std::ostream& out, Failure failure) {
    return out << "failure #" << static_cast<int>(failure) << " (code " << codeOf(failure) << ")";
}
}  // namespace kwirl
