// SPDX-License-Identifier: MIT
#include "sock_errors.h"

#include <array>
#include <cerrno>
#include <string_view>

namespace kwirl {

namespace {

// One row of the socket error table: its code, its text, and the POSIX errno
// values that mean it (0: none, as no errno is 0).
struct SocketRow {
    int code;
    std::string_view text;
    std::array<int, 2> errnos;
};

constexpr SocketRow kSocketTable[] = {
    {kInterrupted, "Interrupted system call", {EINTR}},
    {10009, "Bad file number", {EBADF}},
    {10013, "Permission denied", {EACCES, EPERM}},
    {10014, "Bad address", {EFAULT}},
    {10022, "Invalid argument", {EINVAL}},
    {10024, "Too many open files", {EMFILE, ENFILE}},
    {kWouldBlock, "Operation would block", {EAGAIN, EWOULDBLOCK}},
    {10036, "Operation now in progress", {EINPROGRESS}},
    {10037, "Operation already in progress", {EALREADY}},
    {10038, "Socket operation on non-socket", {ENOTSOCK}},
    {kDestinationRequired, "Destination address required", {EDESTADDRREQ}},
    {kMessageTooLong, "Message too long", {EMSGSIZE}},
    {10041, "Wrong protocol type for socket", {EPROTOTYPE}},
    {10042, "Bad protocol option", {ENOPROTOOPT}},
    {10043, "Protocol not supported", {EPROTONOSUPPORT}},
    {10044, "Socket type not supported", {ESOCKTNOSUPPORT}},
    {kNotSupported, "Operation not supported on socket", {EOPNOTSUPP}},
    {10046, "Protocol family not supported", {EPFNOSUPPORT}},
    {10047, "Address family not supported by protocol family", {EAFNOSUPPORT}},
    {10048, "Address already in use", {EADDRINUSE}},
    {10049, "Can't assign requested address", {EADDRNOTAVAIL}},
    {10050, "Network is down", {ENETDOWN}},
    {10051, "Network is unreachable", {ENETUNREACH}},
    {10052, "Network dropped connection or reset", {ENETRESET}},
    {10053, "Software caused connection abort", {ECONNABORTED}},
    {10054, "Connection reset by peer", {ECONNRESET}},
    {10055, "No buffer space available", {ENOBUFS, ENOMEM}},
    {kAlreadyConnected, "Socket is already connected", {EISCONN}},
    {kNotConnected, "Socket is not connected", {ENOTCONN}},
    {10058, "Can't send after socket shutdown", {ESHUTDOWN, EPIPE}},
    {10059, "Too many references, can't splice", {ETOOMANYREFS}},
    {kTimedOut, "Connection timed out", {ETIMEDOUT}},
    {10061, "Connection refused", {ECONNREFUSED}},
    {10062, "Too many levels of symbolic links", {ELOOP}},
    {10063, "File name too long", {ENAMETOOLONG}},
    {10064, "Host is down", {EHOSTDOWN}},
    {10065, "No route to Host", {EHOSTUNREACH}},
    {10066, "Directory not empty", {ENOTEMPTY}},
    {10067, "Too many processes", {}},
    {10068, "Too many users", {EUSERS}},
    {10069, "Disc quota exceeded", {EDQUOT}},
    {10070, "Stale NFS file handle", {ESTALE}},
    {10071, "Too many levels of remote in path", {EREMOTE}},
    {kNetworkUnavailable, "Network subsystem is unavailable", {}},
    {10092, "Incompatible version of WINSOCK.DLL", {}},
    {10093, "Successful WSAStartup not yet performed", {}},
    {kHostNotFound, "Host not found", {}},
    {11002, "Non-Authoritative Host not found", {}},
    {11003, "Non-Recoverable error: FORMERR, REFUSED, NOTIMP", {}},
    {11004, "Valid name, no data record of requested type", {}},
};

// The HTTP client's codes follow one another from here.
constexpr int kFirstClientCode = 30001;
constexpr int clientCode(Failure failure) { return kFirstClientCode + static_cast<int>(failure); }

struct FailureRow {
    Failure failure;
    int code;
    std::string_view text;  // each "{}" takes a detail
};

using enum Failure;

constexpr auto kFailures = std::to_array<FailureRow>({
    {EmptyUrl, clientCode(EmptyUrl), "Empty URL"},
    {SecureNotSupported, clientCode(SecureNotSupported), "HTTP Secure Socket is not supported"},
    {BadAddress, clientCode(BadAddress), "Address holds a control character"},
    {BadPort, clientCode(BadPort), "'{}' is not a valid integer value"},
    {RequestLineTooLong, clientCode(RequestLineTooLong), "Request line longer than {} bytes"},
    {NoReply, clientCode(NoReply), "No reply: the connection closed before a status line"},
    {NoStatusLine, clientCode(NoStatusLine), "Reply without a status line"},
    {MalformedStatusLine, clientCode(MalformedStatusLine), "Reply with a malformed status line"},
    {HeaderTooLong, clientCode(HeaderTooLong), "Reply header longer than {} bytes"},
    {HeaderCutShort, clientCode(HeaderCutShort), "Reply header ended before its blank line"},
    {BodyTooLong, clientCode(BodyTooLong), "Reply body longer than {} bytes"},
    {BodyShort, clientCode(BodyShort), "Reply body ended after {} of {} bytes"},
    {TooManyRedirects, clientCode(TooManyRedirects), "Too many redirects: more than {} followed"},
    {RedirectRefused, clientCode(RedirectRefused), "Redirect refused: {}"},
    {CannotOpenFile, clientCode(CannotOpenFile), "Cannot open file \"{}\": {}"},
    {CannotCreateFile, clientCode(CannotCreateFile), "Cannot create file \"{}\": {}"},
    {CannotWriteFile, clientCode(CannotWriteFile), "Cannot write file \"{}\": {}"},
    {SocketsUnavailable, kNetworkUnavailable, "Initializaton of windows sockets failed"},
    {HostLookupTimedOut, kTimedOut, "Host Lookup Timed Out"},
    {HostLookupCanceled, kInterrupted, "Host Lookup Canceled"},
    {HostLookupFailed, kHostNotFound, "Host Lookup Failed"},
    {AlreadyConnected, kAlreadyConnected, "Already connected"},
    {NoRemoteAddress, kDestinationRequired, "Null Remote Address"},
    {ConnectionTimedOut, kTimedOut, "Connection Timed out"},
    {ConnectionCanceled, kInterrupted, "Connection Canceled"},
    {ConnectionFailed, kNoErrorUpTo, "Connection Failed"},  // raised with the code the connect ended with
    {AcceptNotSupported, kNotSupported, "Accepting is not supported: this component opens no listening socket"},
    {SendAborted, kInterrupted, "Socket send aborted"},
    {LineTooLong, kMessageTooLong, "Socket readln line longer than {} bytes"},
    {ReadLineAborted, kInterrupted, "Socket readln aborted"},
    {CaptureAborted, kInterrupted, "Socket capture aborted"},
    {TlsSetupFailed, clientCode(TlsSetupFailed), "TLS cannot be used: {}"},
    {TlsUntrusted, clientCode(TlsUntrusted), "The certificate of {} is not trusted: {}"},
    {TlsExpired, clientCode(TlsExpired), "The certificate of {} has expired or is not valid yet"},
    {TlsWrongHost, clientCode(TlsWrongHost), "The certificate shown is not for {}"},
    {TlsHandshakeFailed, clientCode(TlsHandshakeFailed), "The TLS handshake with {} failed: {}"},
    {TlsHandshakeTimedOut, clientCode(TlsHandshakeTimedOut), "TLS handshake timed out"},
    {TlsHandshakeCanceled, clientCode(TlsHandshakeCanceled), "TLS handshake canceled"},
    {TlsFailed, clientCode(TlsFailed), "The TLS connection with {} failed: {}"},
});

constexpr bool everyFailureHasItsRow() {
    if (kFailures.size() != static_cast<std::size_t>(Count)) return false;
    for (std::size_t i = 0; i < kFailures.size(); ++i) {
        if (kFailures[i].failure != static_cast<Failure>(i)) return false;
    }
    return true;
}
static_assert(everyFailureHasItsRow(), "each failure has its row, in the order of the enum");

const FailureRow& rowOf(Failure failure) { return kFailures.at(static_cast<std::size_t>(failure)); }

}  // namespace

int codeOf(Failure failure) { return rowOf(failure).code; }

EAbortError::EAbortError(Failure failure) : ESockError(codeOf(failure), clientFailureMessage(failure), failure) {}

std::string socketErrorMessage(int code) {
    for (const SocketRow& row : kSocketTable) {
        if (row.code == code) return std::to_string(code) + ":" + std::string(row.text);
    }
    return "Unknown Error No. " + std::to_string(code);
}

ESockError socketFailure(int code) { return ESockError(code, socketErrorMessage(code)); }

std::string clientFailureMessage(Failure failure, const std::vector<std::string>& details) {
    // One pass: a detail that holds "{}" itself stays as it is.
    const std::string_view text = rowOf(failure).text;
    std::string message;
    auto detail = details.begin();
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, 2, "{}") == 0 && detail != details.end()) {
            message += *detail++;
            ++at;
        } else {
            message += text[at];
        }
    }
    return message;
}

ESockError clientFailure(Failure failure, const std::vector<std::string>& details) {
    return ESockError(codeOf(failure), clientFailureMessage(failure, details), failure);
}

ESockError clientFailureWithCode(Failure failure, int code) {
    return ESockError(code, clientFailureMessage(failure), failure);
}

int socketErrorCode(int errnoValue) {
    for (const SocketRow& row : kSocketTable) {
        for (const int value : row.errnos) {
            if (value != 0 && value == errnoValue) return row.code;
        }
    }
    return kUntabledErrnoBase + errnoValue;
}

}  // namespace kwirl
