// SPDX-License-Identifier: MIT
// TPowersock: construction, status, host resolution, connect and close.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "Psock.h"
#include "message_pump.h"

namespace kwirl {

namespace {
int socketUseCount = 0;
}  // namespace

TPowersock::TPowersock() {
    ReportStatus(kReportAll, "Create");
    buffer_ = std::make_unique<char[]>(kBufferSize + 1);
    timer_ = std::make_unique<TThreadTimer>();
    timer_->SetEnabled(false);
    timer_->SetOnTimer([this](TThreadTimer*) { TimerTriggered(); });
    InitWinsock();
}

TPowersock::~TPowersock() { Teardown(); }

void TPowersock::Teardown() noexcept {
    if (destroying_) return;  // the derived class's destructor ran it already
    ReportStatus(kReportAll, "Destroy");
    destroying_ = true;
    Abort();
    Cancel();
    timer_.reset();
    if (lookup_) {
        g_cancellable_cancel(lookup_);
        g_object_unref(lookup_);
        lookup_ = nullptr;
    }
    destructorRunning_ = true;
    try {
        RequestCloseSocket();
    } catch (...) {
    }
    if (--socketUseCount < 0) socketUseCount = 0;
}

void TPowersock::ReportStatus(int level, const std::string& text) {
    try {
        if (level > ReportLevel) return;
        Status = text;
        if (!destroying_ && OnStatus) OnStatus(this, Status);
    } catch (...) {
    }
}

void TPowersock::InitWinsock() {
    ReportStatus(kReportAll, "Initializing Winsock");
    try {
        if (++socketUseCount == 1) {
            rlimit files{};
            getrlimit(RLIMIT_NOFILE, &files);
            WinsockInfo = {
                "Version= 1.1",
                "High Version= 1.1",
                "Description= POSIX sockets on GLib " + std::to_string(glib_major_version) + "." +
                    std::to_string(glib_minor_version),
                "System= Running",
                "Max Sockets= " + std::to_string(files.rlim_cur),
                "Max Udp pack size= 65507",
            };
        }
        openSocket(true);
    } catch (...) {
        if (--socketUseCount < 0) socketUseCount = 0;
        throw clientFailure(Failure::SocketsUnavailable);
    }
}

// A fresh non-blocking TCP socket with its notifications. The first socket of a
// component closes with a reset (linger on, time 0); later ones close normally.
void TPowersock::openSocket(bool lingerOff) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd_ < 0) throw socketFailure(socketErrorCode(errno));
    if (lingerOff) {
        const linger immediately{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_LINGER, &immediately, sizeof immediately);
    }
    noticedErrno_ = 0;
    watch_ = std::make_unique<TSocketWatch>(
        fd_, [this](TSocketWatch::Event event, int error) { onSocketEvent(event, error); });
}

void TPowersock::onSocketEvent(TSocketWatch::Event event, int error) {
    if (error != 0) noticedErrno_ = error;
    try {
        switch (event) {
            case TSocketWatch::Event::Read:
                LastEventOk = true;
                if (OnDataAvailable) OnDataAvailable(this);
                break;
            case TSocketWatch::Event::Connect: {
                int connectError = 0;
                socklen_t length = sizeof connectError;
                getsockopt(fd_, SOL_SOCKET, SO_ERROR, &connectError, &length);
                LastEventOk = connectError == 0;
                if (!LastEventOk) LastError = socketErrorCode(connectError);
                if (LastEventOk) {
                    Connected = true;
                    watch_->rearmRead();
                    if (OnConnect) OnConnect(this);
                }
                break;
            }
            case TSocketWatch::Event::Close:
                LastEventOk = true;
                // A receive that is waiting sees the end of the stream itself;
                // closing under it would turn the end into "not connected".
                if (receiving_ == 0 && !DataAvailable()) RequestCloseSocket();
                break;
        }
    } catch (...) {
    }
}

template <class Condition>
void TPowersock::waitUntil(Condition done) {
    while (!done()) waitForNextMessage();
}

void TPowersock::ResolveHost() {
    ReportStatus(kReportAll, "Resolve Host");
    const std::string name = Proxy.empty() ? Host : Proxy;
    remote_.sin_addr.s_addr = 0;
    in_addr dotted{};
    if (inet_pton(AF_INET, name.c_str(), &dotted) == 1) {
        remote_.sin_addr = dotted;
        return;
    }

    TimerOn();
    WaitDone = false;
    lookupAddress_ = 0;
    lookup_ = g_cancellable_new();
    // A reference of ours to the resolver, for the call: the lookup keeps its own.
    GResolver* defaultResolver = g_resolver_get_default();
    g_resolver_lookup_by_name_with_flags_async(
        defaultResolver, name.c_str(), G_RESOLVER_NAME_LOOKUP_FLAGS_IPV4_ONLY, lookup_,
        [](GObject* resolver, GAsyncResult* result, gpointer self) {
            GError* error = nullptr;
            GList* addresses = g_resolver_lookup_by_name_with_flags_finish(G_RESOLVER(resolver), result, &error);
            const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
            if (!cancelled) {
                // The component is still waiting: a lookup is cancelled before it goes.
                auto* sock = static_cast<TPowersock*>(self);
                sock->LastEventOk = addresses != nullptr;
                if (addresses) {
                    const auto* bytes =
                        static_cast<const std::uint8_t*>(g_inet_address_to_bytes(G_INET_ADDRESS(addresses->data)));
                    std::memcpy(&sock->lookupAddress_, bytes, sizeof sock->lookupAddress_);
                }
                sock->WaitDone = true;
            }
            if (error) g_error_free(error);
            g_resolver_free_addresses(addresses);
        },
        this);
    g_object_unref(defaultResolver);
    waitUntil([this] { return WaitDone || TimedOut || Canceled; });
    TimerOff();
    g_cancellable_cancel(lookup_);
    g_object_unref(lookup_);
    lookup_ = nullptr;

    if (TimedOut) throw clientFailure(Failure::HostLookupTimedOut);
    if (Canceled) throw clientFailure(Failure::HostLookupCanceled);
    if (!LastEventOk) throw clientFailure(Failure::HostLookupFailed);
    remote_.sin_addr.s_addr = lookupAddress_;
    if (OnHostResolved) OnHostResolved(this);
}

void TPowersock::Connect() {
    ReportStatus(kReportAll, "Connecting");
    Canceled = false;
    if (Connected) throw clientFailure(Failure::AlreadyConnected);

    bool retried = false;
    for (;;) {
        try {
            ResolveHost();
        } catch (const ESockError& error) {
            // A lookup that timed out or was cancelled ends the connect; one
            // that failed leaves no address, which the handler may mend.
            if (error.ErrorCode() == kTimedOut || error.ErrorCode() == kInterrupted) throw;
            remote_.sin_addr.s_addr = 0;
        }
        if (remote_.sin_addr.s_addr != 0) break;
        if (retried || !OnInvalidHost) throw clientFailure(Failure::NoRemoteAddress);
        bool handled = false;
        OnInvalidHost(handled);
        if (!handled) throw clientFailure(Failure::NoRemoteAddress);
        retried = true;
    }

    remote_.sin_family = AF_INET;
    remote_.sin_port = htons(static_cast<std::uint16_t>(Proxy.empty() ? Port : ProxyPort));
    WaitDone = false;
    LastEventOk = true;
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&remote_), sizeof remote_) != 0) {
        const int code = socketErrorCode(errno);
        if (code == socketErrorCode(ECONNREFUSED)) {
            // A refusal known at once is reported like one that arrives later.
            LastEventOk = false;
            LastError = code;
        } else if (code != kWouldBlock && code != socketErrorCode(EINPROGRESS)) {
            pendingError_ = code;
            CheckError(kWouldBlock);
        }
    }
    if (LastEventOk) {
        watch_->expectConnect();
        TimerOn();
        waitUntil([this] { return Connected || TimedOut || Canceled || !LastEventOk; });
        TimerOff();
    }
    if (TimedOut || Canceled || !LastEventOk) {
        if (OnConnectionFailed) OnConnectionFailed(this);
        if (TimedOut) throw clientFailure(Failure::ConnectionTimedOut);
        if (Canceled) throw clientFailure(Failure::ConnectionCanceled);
        throw clientFailureWithCode(Failure::ConnectionFailed, LastError);
    }
    if (Secure) startTls();
}

// The handshake, each of its waits in the main loop under the time-out.
void TPowersock::startTls() {
    ReportStatus(kReportSocket, "TLS Handshake");
    // Each send is a record of its own: the next one goes at once rather than
    // wait for the server to acknowledge the last (tens of milliseconds each).
    const int noDelay = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
    tls_ = std::make_unique<TTlsSession>(fd_, Host);
    // Counted as a receive: a server that closes is seen by the handshake itself.
    ++receiving_;
    TimerOn();
    try {
        for (TTlsSession::Need need = tls_->handshake(); need != TTlsSession::Need::Nothing; need = tls_->handshake()) {
            waitForSocket(need == TTlsSession::Need::Writable ? TSocketWatch::Interest::Write
                                                              : TSocketWatch::Interest::Read);
            if (TimedOut) throw clientFailure(Failure::TlsHandshakeTimedOut);
            if (Canceled) throw clientFailure(Failure::TlsHandshakeCanceled);
            if (!tls_) throw clientFailure(Failure::TlsHandshakeFailed, {Host, "the connection closed"});
        }
    } catch (...) {
        TimerOff();
        --receiving_;
        throw;
    }
    TimerOff();
    --receiving_;
    if (watch_) watch_->rearmRead();
}

void TPowersock::Disconnect() {
    ReportStatus(kReportAll, "Disconnecting");
    RequestCloseSocket();
}

void TPowersock::RequestCloseSocket() {
    ReportStatus(kReportSocket, "Request Close Socket");
    Connected = false;
    if (fd_ < 0) return;
    if (tls_) tls_->closeQuietly();
    tls_.reset();
    watch_.reset();
    const int closing = fd_;
    fd_ = -1;
    if (::close(closing) != 0) {
        pendingError_ = socketErrorCode(errno);
        CheckError(kWouldBlock);
    }
    if (!destroying_ && OnDisconnect) OnDisconnect(this);
    if (!destructorRunning_) openSocket(false);
}

int TPowersock::Accept() {
    ReportStatus(kReportSocket, "Accepting");
    throw clientFailure(Failure::AcceptNotSupported);
}

void TPowersock::Cancel() {
    ReportStatus(kReportAll, "Canceling");
    Canceled = true;
}

void TPowersock::Abort() {
    ReportStatus(kReportAll, "Abort");
    Cancel();
}

void TPowersock::CheckError(int tolerated) {
    LastError = pendingError_;
    if (LastError == tolerated || LastError <= kNoErrorUpTo) return;
    ReportStatus(kReportAll, "Looking Up Error Message");
    const ESockError failure = socketFailure(LastError);
    if (OnSocketError) OnSocketError(this, LastError, failure.what());
    throw failure;
}

void TPowersock::TimerOn() {
    ReportStatus(kReportAll, "Timer On");
    TimedOut = false;
    if (TimeOut < 0) throw std::out_of_range("Range check error");
    // Off first, so that arming it again restarts the count.
    timer_->SetEnabled(false);
    timer_->SetInterval(static_cast<unsigned>(TimeOut));
    timer_->SetEnabled(true);
}

void TPowersock::TimerOff() {
    ReportStatus(kReportAll, "Timer Off");
    timer_->SetEnabled(false);
}

void TPowersock::TimerTriggered() {
    ReportStatus(kReportAll, "Timer Triggered");
    TimerOff();
    TimedOut = true;
    WaitDone = true;
    Abort();
}

}  // namespace kwirl
