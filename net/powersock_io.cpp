// SPDX-License-Identifier: MIT
// TPowersock: sending and receiving.

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>

#include <glib.h>

#include "Psock.h"
#include "ascii.h"
#include "message_pump.h"
#include "output_file.h"

namespace kwirl {

namespace {
constexpr gint64 kDispatchEveryUs = 5000;
// A transaction's reply number: the digits among its first ten characters.
constexpr std::size_t kReplyNumberPlaces = 10;

// Keeps the count of receives in progress for as long as one runs.
class ReceiveInProgress {
public:
    explicit ReceiveInProgress(int& count) : count_(count) { ++count_; }
    ~ReceiveInProgress() { --count_; }
    ReceiveInProgress(const ReceiveInProgress&) = delete;
    ReceiveInProgress& operator=(const ReceiveInProgress&) = delete;

private:
    int& count_;
};

// Runs `off` when leaving the scope, also by an exception.
template <class Off>
class Finally {
public:
    explicit Finally(Off off) : off_(off) {}
    ~Finally() { off_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    Off off_;
};
}  // namespace

// Blocks in the main loop until the socket is ready as asked, or anything else
// arrives (a timer, a cancel from a handler, the GUI).
void TPowersock::waitForSocket(TSocketWatch::Interest interest) {
    if (watch_) {
        if (interest == TSocketWatch::Interest::Read) watch_->rearmRead();
        else
            watch_->expectWritable();
    }
    waitForNextMessage();
}

// recv(), with the table code of a failure in pendingError_; -1 on failure.
std::int64_t TPowersock::receiveInto(char* into, std::size_t room, bool peek) {
    if (noticedErrno_ != 0) {
        pendingError_ = socketErrorCode(noticedErrno_);
        noticedErrno_ = 0;
        return -1;
    }
    if (tls_) {
        const auto got = tls_->receive(into, room, peek);
        if (got <= 0 && watch_) watch_->rearmRead();
        if (got < 0) pendingError_ = kWouldBlock;
        return got;
    }
    const auto got = ::recv(fd_, into, room, MSG_DONTWAIT | (peek ? MSG_PEEK : 0));
    // Notifications resume when nothing more is waiting; while data flows the
    // receive loops read on without them.
    if (got <= 0 && watch_) watch_->rearmRead();
    if (got < 0) pendingError_ = fd_ < 0 ? kNotConnected : socketErrorCode(errno);
    return got;
}

bool TPowersock::DataAvailable() {
    ReportStatus(kReportAll, "Data Available");
    char probe;
    if (tls_ && tls_->holdsText()) return true;
    return fd_ >= 0 && ::recv(fd_, &probe, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

// Sends every byte unless cancelled; a full socket buffer waits in the main
// loop for room rather than retrying at once.
void TPowersock::sendAllOrCancel(const char* data, std::size_t length, bool countAndNotify) {
    std::size_t done = 0;
    while (done < length && !Canceled) {
        const auto sent = tls_ ? tls_->send(data + done, length - done)
                               : ::send(fd_, data + done, length - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent == 0) break;
        if (sent < 0) {
            pendingError_ = tls_ ? kWouldBlock : fd_ < 0 ? kNotConnected : socketErrorCode(errno);
            CheckError(kWouldBlock);
            waitForSocket(TSocketWatch::Interest::Write);
            continue;
        }
        done += static_cast<std::size_t>(sent);
        if (countAndNotify) {
            BytesSent += sent;
            if (OnPacketSent) OnPacketSent(this);
        }
    }
}

void TPowersock::SendBuffer(const char* buffer, std::size_t length) {
    ReportStatus(kReportSocket, "Sending Buffer");
    TimerOn();
    Finally off([this] { TimerOff(); });
    if (!Canceled) {
        if (length == 0) {
            length = ::strnlen(buffer, kBufferSize + 1);
            if (length > kBufferSize - 1) throw std::out_of_range("Range check error");
        }
        sendAllOrCancel(buffer, length, false);
    }
    if (Canceled) {
        Canceled = false;
        throw EAbortError(Failure::SendAborted);
    }
}

void TPowersock::Write(const std::string& text) {
    ReportStatus(kReportAll, "Write");
    const std::size_t length = std::min(text.size(), kBufferSize);
    std::memcpy(buffer_.get(), text.data(), length);
    buffer_[length] = '\0';
    SendBuffer(buffer_.get(), 0);
}

void TPowersock::WriteBytes(const std::string& bytes) {
    ReportStatus(kReportAll, "Write");
    for (std::size_t at = 0; at < bytes.size(); at += kBufferSize) {
        const std::size_t part = std::min(bytes.size() - at, kBufferSize);
        std::memcpy(buffer_.get(), bytes.data() + at, part);
        SendBuffer(buffer_.get(), part);
    }
}

void TPowersock::Writeln(const std::string& text) {
    ReportStatus(kReportAll, "Writeln");
    Write(text + "\r\n");
}

void TPowersock::SendFile(const std::string& name) {
    ReportStatus(kReportAll, "SendFile");
    std::ifstream file(name, std::ios::binary);
    if (!file) throw clientFailure(Failure::CannotOpenFile, {name, std::strerror(errno)});
    while (!Canceled) {
        file.read(buffer_.get(), kBufferSize);
        const auto got = file.gcount();
        if (got <= 0) break;
        sendAllOrCancel(buffer_.get(), static_cast<std::size_t>(got), true);
        dispatchPendingMessages();
    }
    file.close();
    if (Canceled) {
        Canceled = false;
        throw EAbortError(Failure::SendAborted);
    }
}

std::string TPowersock::ReadLn() {
    ReportStatus(kReportAll, "ReadLn");
    TimerOn();
    Finally off([this] {
        TimerOff();
        if (watch_) watch_->rearmRead();  // notifications resume once the line is taken
    });
    ReceiveInProgress receiving(receiving_);
    std::size_t taken = 0;
    char* const line = buffer_.get();
    for (;;) {
        if (taken == kBufferSize) {
            throw clientFailure(Failure::LineTooLong, {std::to_string(kBufferSize)});
        }
        const auto peeked = receiveInto(line + taken, kBufferSize - taken, true);
        if (peeked == 0) return std::string(line, taken);  // closed: what came of an unfinished line
        if (peeked < 0) {
            LastError = pendingError_;
            if (LastError == kNotConnected) throw socketFailure(kNotConnected);
            if (LastError != kWouldBlock) CheckError(kWouldBlock);
        } else {
            const auto* end =
                static_cast<const char*>(std::memchr(line + taken, '\n', static_cast<std::size_t>(peeked)));
            const std::size_t wanted =
                end ? static_cast<std::size_t>(end - (line + taken)) + 1 : static_cast<std::size_t>(peeked);
            const auto got = receiveInto(line + taken, wanted, false);
            if (got > 0) taken += static_cast<std::size_t>(got);
            if (end) return std::string(line, taken);
            continue;  // more may already be waiting
        }
        waitForSocket(TSocketWatch::Interest::Read);
        if (Canceled) {
            Canceled = false;
            throw EAbortError(Failure::ReadLineAborted);
        }
    }
}

// Receives part after part until the server closes, `most` bytes have come
// (-1: no bound; no byte past it is taken), or a cancel; each part goes to
// `keep`. The time-out counts from the last part.
void TPowersock::captureParts(std::int64_t most, const std::function<void(const char*, std::size_t)>& keep) {
    BytesReceived = 0;
    TimerOn();
    Finally off([this] {
        TimerOff();
        if (watch_) watch_->rearmRead();
    });
    ReceiveInProgress receiving(receiving_);
    gint64 dispatchedAt = 0;
    while (!Canceled && (most < 0 || BytesReceived < most)) {
        const std::size_t room =
            most < 0 ? kBufferSize
                     : static_cast<std::size_t>(std::min<std::int64_t>(kBufferSize, most - BytesReceived));
        const auto got = receiveInto(buffer_.get(), room, false);
        if (got == 0) break;
        if (got > 0) {
            keep(buffer_.get(), static_cast<std::size_t>(got));
            BytesReceived += got;
            if (OnPacketRecvd) OnPacketRecvd(this);
            TimerOn();
            // While parts arrive back to back, pending messages are dispatched
            // every few milliseconds rather than after each part: the window
            // stays live and a fast transfer is not slowed by the loop.
            if (const gint64 now = g_get_monotonic_time(); now - dispatchedAt >= kDispatchEveryUs) {
                dispatchPendingMessages();
                dispatchedAt = now;
            }
            continue;
        }
        LastError = pendingError_;
        if (LastError == kNotConnected) break;
        if (LastError != kWouldBlock) CheckError(kWouldBlock);
        waitForSocket(TSocketWatch::Interest::Read);
    }
    if (Canceled) {
        Canceled = false;
        throw EAbortError(Failure::CaptureAborted);
    }
}

void TPowersock::CaptureString(std::string& text, std::int64_t maxLength) {
    ReportStatus(kReportAll, "Capture String");
    text.clear();
    captureParts(maxLength, [&](const char* part, std::size_t size) { text.append(part, size); });
}

void TPowersock::CaptureFile(const std::string& name, std::int64_t maxLength) {
    ReportStatus(kReportAll, "CaptureFile");
    TOutputFile file(name);
    captureParts(maxLength, [&](const char* part, std::size_t size) { file.Write(part, size); });
    file.Close();
}

std::string TPowersock::Transaction(const std::string& command) {
    ReportStatus(kReportAll, "Transaction");
    StatusCode = 0;
    Writeln(command);
    TransactionReply = ReadLn();
    if (!TransactionReply.empty()) {
        ReportStatus(kReportReply, TransactionReply);
        const DecimalPrefix number = decimalPrefix(std::string_view(TransactionReply).substr(0, kReplyNumberPlaces));
        if (number.digits > 0) {
            if (number.value > static_cast<std::uint64_t>(std::numeric_limits<std::int16_t>::max())) {
                throw std::out_of_range("Range check error");
            }
            StatusCode = static_cast<std::int16_t>(number.value);
        }
    }
    return TransactionReply;
}

}  // namespace kwirl
