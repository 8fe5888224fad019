// SPDX-License-Identifier: MIT
#pragma once
// Failures of the socket transport, and the socket error table: every message
// is the code, ":" and its text, e.g. "10061:Connection refused".

#include <stdexcept>
#include <string>

namespace kwirl {

// Codes of the table that the transport raises or tests for.
inline constexpr int kInterrupted = 10004;          // a wait ended by a cancel, an abort or a time-out
inline constexpr int kWouldBlock = 10035;
inline constexpr int kDestinationRequired = 10039;  // no address to connect to
inline constexpr int kMessageTooLong = 10040;
inline constexpr int kNotSupported = 10045;
inline constexpr int kAlreadyConnected = 10056;
inline constexpr int kNotConnected = 10057;
inline constexpr int kTimedOut = 10060;
inline constexpr int kNetworkUnavailable = 10091;
inline constexpr int kHostNotFound = 11001;
// The code of a failure the table has no entry for: a reply that is no HTTP reply.
inline constexpr int kNoTableCode = 0;
// Codes up to this one are no socket errors; an errno the table has no entry
// for gets this base added, so that it still counts as one.
inline constexpr int kNoErrorUpTo = 10000;
inline constexpr int kUntabledErrnoBase = 20000;

// Resolution, connection and socket errors. Beside its message each carries
// the table's code for what failed; code decides, the message is for people.
class ESockError : public std::runtime_error {
public:
    ESockError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int ErrorCode() const { return code_; }

private:
    int code_;
};

// An operation found the cancel flag set (a cancel, an abort or a time-out).
class EAbortError : public ESockError {
public:
    explicit EAbortError(const std::string& message) : ESockError(kInterrupted, message) {}
};

// "code:text" from the table, or "Unknown Error No. " + code.
std::string socketErrorMessage(int code);

// The failure of a socket call: the code with its message from the table.
ESockError socketFailure(int code);

// The table's code for a POSIX errno value; kUntabledErrnoBase + errno for a
// value the table has no entry for.
int socketErrorCode(int errnoValue);

}  // namespace kwirl
