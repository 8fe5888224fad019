// SPDX-License-Identifier: MIT
#pragma once
// Failures of the socket transport and the HTTP client. The socket error
// table: every message is the code, ":" and its text, e.g. "10061:Connection
// refused". Beside it, each failure of the client's own is a `Failure`, with
// its code and its text in one table.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kwirl {

// Codes of the socket error table that the transport raises or tests for.
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

// The client's own failures. Those of the HTTP client each carry a code of
// their own, above every socket code (untabled ones included): an address or a
// file it cannot use, a reply that is no HTTP reply or passes a bound, a
// redirect it does not follow. Those of the transport carry the socket code of
// what failed, as callers have always read them, with a text of their own.
enum class Failure : std::uint8_t {
    EmptyUrl,
    SecureNotSupported,
    BadAddress,  // a control character in the address
    BadPort,     // the address's port is no integer
    RequestLineTooLong,
    NoReply,       // closed before a status line
    NoStatusLine,  // the first line is no status line
    MalformedStatusLine,
    HeaderTooLong,
    HeaderCutShort,  // closed before the header's blank line
    BodyTooLong,     // beyond the bound of a body kept in memory
    BodyShort,       // fewer bytes than its Content-Length
    TooManyRedirects,
    RedirectRefused,
    CannotOpenFile,
    CannotCreateFile,
    CannotWriteFile,
    SocketsUnavailable,
    HostLookupTimedOut,
    HostLookupCanceled,
    HostLookupFailed,
    AlreadyConnected,
    NoRemoteAddress,
    ConnectionTimedOut,
    ConnectionCanceled,
    ConnectionFailed,  // carries the socket code the connect ended with
    AcceptNotSupported,
    SendAborted,
    LineTooLong,
    ReadLineAborted,
    CaptureAborted,
    // TLS: no session could be made; the server's certificate is not trusted,
    // out of its dates, or for another host; the handshake failed, timed out or
    // was cancelled; the connection failed after it.
    TlsSetupFailed,
    TlsUntrusted,
    TlsExpired,
    TlsWrongHost,
    TlsHandshakeFailed,
    TlsHandshakeTimedOut,
    TlsHandshakeCanceled,
    TlsFailed,
    // Not a failure: how many there are.
    Count
};

// The code a failure carries.
int codeOf(Failure failure);

// Resolution, connection and socket errors. Beside its message each carries
// the table's code for what failed, and which of the client's own failures it
// is, if it is one; code decides, the message is for people.
class ESockError : public std::runtime_error {
public:
    ESockError(int code, const std::string& message, std::optional<Failure> failure = std::nullopt)
        : std::runtime_error(message), code_(code), failure_(failure) {}
    int ErrorCode() const { return code_; }
    std::optional<Failure> failure() const { return failure_; }

private:
    int code_;
    std::optional<Failure> failure_;
};

// An operation found the cancel flag set (a cancel, an abort or a time-out).
class EAbortError : public ESockError {
public:
    explicit EAbortError(Failure failure);
};

// "code:text" from the table, or "Unknown Error No. " + code.
std::string socketErrorMessage(int code);

// The failure of a socket call: the code with its message from the table.
ESockError socketFailure(int code);

// The text of one of the client's own failures, each "{}" of it replaced by
// the next of `details` (a bound, a count, a file name, a reason).
std::string clientFailureMessage(Failure failure, const std::vector<std::string>& details = {});

// One of the client's own failures: its code with that text; `code` in place
// of the table's for a failure that carries the socket code of what failed.
ESockError clientFailure(Failure failure, const std::vector<std::string>& details = {});
ESockError clientFailureWithCode(Failure failure, int code);

// The table's code for a POSIX errno value; kUntabledErrnoBase + errno for a
// value the table has no entry for.
int socketErrorCode(int errnoValue);

}  // namespace kwirl
