// SPDX-License-Identifier: MIT
#pragma once
// Failures of the socket transport and the HTTP client. The socket error
// table: every message is the code, ":" and its text, e.g. "10061:Connection
// refused". Beside it, each failure of the client's own has a code of its own
// and a text in one table (clientFailureMessage).

#include <stdexcept>
#include <string>
#include <vector>

namespace kwirl {

// Codes of the table that the transport raises or tests for.
inline constexpr int kInterrupted = 10004;  // a wait ended by a cancel, an abort or a time-out
inline constexpr int kWouldBlock = 10035;
inline constexpr int kDestinationRequired = 10039;  // no address to connect to
inline constexpr int kMessageTooLong = 10040;
inline constexpr int kNotSupported = 10045;
inline constexpr int kAlreadyConnected = 10056;
inline constexpr int kNotConnected = 10057;
inline constexpr int kTimedOut = 10060;
inline constexpr int kNetworkUnavailable = 10091;
inline constexpr int kHostNotFound = 11001;
// Codes up to this one are no socket errors; an errno the table has no entry
// for gets this base added, so that it still counts as one.
inline constexpr int kNoErrorUpTo = 10000;
inline constexpr int kUntabledErrnoBase = 20000;

// The client's own failures, above every socket code (untabled ones included):
// an address or a file it cannot use, a reply that is no HTTP reply or passes
// a bound, a redirect it does not follow.
inline constexpr int kEmptyUrl = 30001;
inline constexpr int kSecureNotSupported = 30002;
inline constexpr int kBadAddress = 30003;  // a control character in the address
inline constexpr int kBadPort = 30004;     // the address's port is no integer
inline constexpr int kRequestLineTooLong = 30005;
inline constexpr int kNoReply = 30006;       // closed before a status line
inline constexpr int kNoStatusLine = 30007;  // the first line is no status line
inline constexpr int kMalformedStatusLine = 30008;
inline constexpr int kHeaderTooLong = 30009;
inline constexpr int kHeaderCutShort = 30010;  // closed before the header's blank line
inline constexpr int kBodyTooLong = 30011;     // beyond the bound of a body kept in memory
inline constexpr int kBodyShort = 30012;       // fewer bytes than its Content-Length
inline constexpr int kTooManyRedirects = 30013;
inline constexpr int kRedirectRefused = 30014;
inline constexpr int kCannotOpenFile = 30015;
inline constexpr int kCannotCreateFile = 30016;
inline constexpr int kCannotWriteFile = 30017;

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

// The text of one of the client's own failures, each "{}" of it replaced by
// the next of `details` (a bound, a count, a file name, a reason).
std::string clientFailureMessage(int code, const std::vector<std::string>& details = {});

// One of the client's own failures: its code with that text.
ESockError clientFailure(int code, const std::vector<std::string>& details = {});

// The table's code for a POSIX errno value; kUntabledErrnoBase + errno for a
// value the table has no entry for.
int socketErrorCode(int errnoValue);

}  // namespace kwirl
