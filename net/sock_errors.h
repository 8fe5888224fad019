// SPDX-License-Identifier: MIT
#pragma once
// Failures of the socket transport, and the socket error table: every message
// is the code, ":" and its text, e.g. "10061:Connection refused".

#include <stdexcept>
#include <string>

namespace kwirl {

// Resolution, connection and socket errors.
class ESockError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An operation found the cancel flag set (a cancel, an abort or a time-out).
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// Socket error codes the transport itself tests for.
inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotConnected = 10057;

// "code:text" from the table, or "Unknown Error No. " + code.
std::string socketErrorMessage(int code);

// The table's code for a POSIX errno value. Values the table has no entry for
// map above the table's range (20000 + errno) so they still count as errors.
int socketErrorCode(int errnoValue);

}  // namespace kwirl
