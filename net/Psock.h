// SPDX-License-Identifier: MIT
#pragma once
// TPowersock: one TCP client socket driven by the main loop. Its operations
// block the caller while the main loop goes on dispatching (GUI, sockets,
// timers), can be cancelled from any handler, and time out after TimeOut ms.

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sock_errors.h"
#include "socket_watch.h"
#include "thread_timer.h"
#include "tls_session.h"

typedef struct _GCancellable GCancellable;

namespace kwirl {

class TPowersock;
using TNotifyEvent = std::function<void(TPowersock* Sender)>;
using THandlerEvent = std::function<void(bool& Handled)>;
using TOnHostResolved = std::function<void(TPowersock* Sender)>;
using TOnStatus = std::function<void(TPowersock* Sender, const std::string& Status)>;
using TOnSocketError = std::function<void(TPowersock* Sender, int ErrorCode, const std::string& Message)>;

// Status levels: a Transaction reply, a completed transaction, socket-level
// steps, and everything else.
enum TReportLevel { kReportReply = 1, kReportTransaction = 2, kReportSocket = 4, kReportAll = 8 };

class TPowersock {
public:
    // Size of the one I/O buffer: the longest line, the largest part.
    static constexpr std::size_t kBufferSize = 65536;

    TPowersock();
    virtual ~TPowersock();
    TPowersock(const TPowersock&) = delete;
    TPowersock& operator=(const TPowersock&) = delete;

    // What a caller sets: the server, the time-out of each wait, the highest
    // status level reported, and the handlers of the connection's events.
    std::string Host;
    int Port = 0;
    int TimeOut = 0;  // milliseconds for each wait; 0: none
    int ReportLevel = 0;
    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnect;
    THandlerEvent OnInvalidHost;
    TOnHostResolved OnHostResolved;
    TOnStatus OnStatus;
    TNotifyEvent OnConnectionFailed;
    // Set, Connect goes on with a TLS handshake with Host once connected, and
    // everything sent and received goes through it.
    bool Secure = false;
    // When Proxy is set, resolution and connect use Proxy and ProxyPort.
    std::string Proxy;
    int ProxyPort = 0;

    // Lower-level events, for components built on the socket: data waiting,
    // an accepted connection, a socket error, each part received or sent.
    TNotifyEvent OnDataAvailable;
    TNotifyEvent OnAccept;
    TOnSocketError OnSocketError;
    TNotifyEvent OnPacketRecvd;
    TNotifyEvent OnPacketSent;

    // State that callers read.
    bool Canceled = false;
    bool TimedOut = false;
    bool Connected = false;
    bool WaitDone = false;
    bool LastEventOk = false;
    int LastError = 0;
    std::string Status;
    std::int16_t StatusCode = 0;
    std::int64_t ContentLength = 0;
    std::int64_t BytesReceived = 0;
    std::int64_t BytesSent = 0;
    std::string TransactionReply;
    std::vector<std::string> WinsockInfo;  // what the socket layer reported when the first component started it

    virtual int Accept();
    virtual void Connect();
    virtual void Disconnect();
    virtual std::string Transaction(const std::string& command);
    virtual void Abort();

    void Cancel();
    void Write(const std::string& text);
    void Writeln(const std::string& text);
    // Sends every byte of `bytes`, zero bytes included, through the I/O buffer
    // in parts of at most kBufferSize: what a request announces is what it sends.
    void WriteBytes(const std::string& bytes);
    void SendBuffer(const char* buffer, std::size_t length);
    std::string ReadLn();
    void SendFile(const std::string& name);
    // Both receive until the server closes or maxLength bytes have come (-1:
    // no bound); a byte past maxLength is left waiting.
    void CaptureFile(const std::string& name, std::int64_t maxLength = -1);
    void CaptureString(std::string& text, std::int64_t maxLength);
    bool DataAvailable();

    void ReportStatus(int level, const std::string& text);

protected:
    // What the destructor does: report "Destroy", Abort, Cancel, stop the
    // timer and the lookup, close the socket. A destructor calls no override,
    // so each class that overrides Abort calls this first in its own
    // destructor, while the object is still of its class; it runs once.
    void Teardown() noexcept;

private:
    void InitWinsock();
    void ResolveHost();
    void RequestCloseSocket();
    void CheckError(int tolerated);
    void TimerOn();
    void TimerOff();
    void TimerTriggered();
    void openSocket(bool lingerOff);
    void startTls();
    void onSocketEvent(TSocketWatch::Event event, int error);
    // Blocks in the main loop until `done` holds, dispatching everything meanwhile.
    template <class Condition>
    void waitUntil(Condition done);
    void waitForSocket(TSocketWatch::Interest interest);
    std::int64_t receiveInto(char* into, std::size_t room, bool peek);
    void sendAllOrCancel(const char* data, std::size_t length, bool countAndNotify);
    void captureParts(std::int64_t most, const std::function<void(const char*, std::size_t)>& keep);

    int fd_ = -1;
    std::unique_ptr<TSocketWatch> watch_;
    std::unique_ptr<TTlsSession> tls_;  // while a secure connection is open
    sockaddr_in remote_{};
    std::unique_ptr<char[]> buffer_;  // kBufferSize plus one terminating byte
    std::unique_ptr<TThreadTimer> timer_;
    GCancellable* lookup_ = nullptr;
    std::uint32_t lookupAddress_ = 0;
    int pendingError_ = 0;     // the table code of the last failed socket call
    int noticedErrno_ = 0;     // a failure the notifications found first, for the next receive
    int receiving_ = 0;        // receive operations waiting on this socket
    bool destroying_ = false;  // Teardown has begun: it runs once, and tells no more
    bool destructorRunning_ = false;
};

}  // namespace kwirl
