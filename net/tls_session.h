// SPDX-License-Identifier: MIT
#pragma once
// TTlsSession: TLS over a connected non-blocking socket, for the transport.
// It never waits: each step says whether it needs the socket readable or
// writable, and the transport waits for that in the main loop. The server's
// certificate is checked against the system's trust store (and the
// certificates trusted besides it) with the host name asked for; a check that
// fails ends the handshake with a failure of its own kind.

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct gnutls_session_int* gnutls_session_t;

namespace kwirl {

class TTlsSession {
public:
    // What a step needs before it can go on.
    enum class Need { Nothing, Readable, Writable };

    // Raises ESockError Failure::TlsSetupFailed when no session can be made.
    TTlsSession(int fd, const std::string& host);
    ~TTlsSession();
    TTlsSession(const TTlsSession&) = delete;
    TTlsSession& operator=(const TTlsSession&) = delete;

    // One step of the handshake; Nothing once it is done. Raises ESockError
    // Failure::TlsUntrusted, TlsExpired, TlsWrongHost or TlsHandshakeFailed.
    Need handshake();
    // Up to `room` bytes of the plain text, kept for the next receive when
    // `peek`; 0 when the server closed, -1 when nothing has come yet. Raises
    // ESockError Failure::TlsFailed, also for a close the server did not
    // announce inside the tunnel.
    std::int64_t receive(char* into, std::size_t room, bool peek);
    // How many of `length` bytes went; -1 when the socket is full (then the
    // same bytes are given again). Raises ESockError Failure::TlsFailed.
    std::int64_t send(const char* data, std::size_t length);
    // Plain text received and not yet taken.
    bool holdsText() const { return !text_.empty(); }
    // Tells the server the client is done, without waiting for anything.
    void closeQuietly() noexcept;

private:
    std::int64_t takeText(char* into, std::size_t room, bool peek);

    gnutls_session_t session_ = nullptr;
    std::string host_;
    std::string text_;  // decrypted, not yet taken: a peek leaves it here
};

}  // namespace kwirl
