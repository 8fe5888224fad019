// SPDX-License-Identifier: MIT
// TNMHTTP: the request operations, the transaction loop and reading the reply's head.

#include <functional>
#include <memory>

#include "NMHttp.h"
#include "encoders.h"
#include "output_file.h"
#include "redirect_target.h"
#include "reply_lines.h"
#include "url_parts.h"

namespace kwirl {

namespace {
ESockError bodyTooLong() { return clientFailure(Failure::BodyTooLong, {std::to_string(TNMHTTP::kMostBodyBytes)}); }
}  // namespace

TNMHTTP::TNMHTTP() = default;
// The transport's teardown, while this is still an HTTP client: its own Abort
// ends a wait for the exchange too.
TNMHTTP::~TNMHTTP() { Teardown(); }

void TNMHTTP::Abort() {
    ReportStatus(kReportAll, "Abort");
    WaitDone = true;
    Cancel();
}

void TNMHTTP::request(CmdType cmd, const std::string& url) {
    CurrentCmd = cmd;
    CurrentUrl = url;
    callOrigin_.clear();
    RunRequest();
}

void TNMHTTP::Get(const std::string& url) { request(CmdGET, url); }
void TNMHTTP::Options(const std::string& url) { request(CmdOPTIONS, url); }
void TNMHTTP::Head(const std::string& url) { request(CmdHEAD, url); }
void TNMHTTP::Delete(const std::string& url) { request(CmdDELETE, url); }

void TNMHTTP::Post(const std::string& url, const std::string& data) {
    SendData = EncodePostData && !OutputFileMode ? urlEncode(data) : data;
    request(CmdPOST, url);
}

void TNMHTTP::Put(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdPUT, url);
}

void TNMHTTP::Patch(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdPATCH, url);
}

void TNMHTTP::Trace(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdTRACE, url);
}

void TNMHTTP::Raw(const std::string& url, const std::string& data) {
    SendData = data;
    request(CmdRAW, url);
}

void TNMHTTP::Copy(const std::string& url, const std::string& value) {
    LinkValue = value;
    request(CmdCOPY, url);
}

void TNMHTTP::Move(const std::string& url, const std::string& value) {
    LinkValue = value;
    request(CmdMOVE, url);
}

void TNMHTTP::Link(const std::string& url, const std::string& value) {
    LinkValue = value;
    SendData = "Send.dat";
    request(CmdLINK, url);
}

void TNMHTTP::Unlink(const std::string& url, const std::string& value) {
    LinkValue = value;
    SendData = "Send.dat";
    request(CmdUNLINK, url);
}

// A server as its credentials and cookies belong to it: the scheme counts.
std::string TNMHTTP::origin() const { return (Secure ? "https://" : "http://") + Host + ":" + std::to_string(Port); }

void TNMHTTP::RunRequest() {
    for (int redirects = 0;; ++redirects) {
        ParseUrl();
        if (callOrigin_.empty()) callOrigin_ = origin();
        BuildRequestHeader();
        if (OnAboutToSend) OnAboutToSend(this);
        exchangeOnce();
        if (!redirectFollows(redirects)) return;
    }
}

// One request and its reply on a connection of its own, closed whatever the outcome.
void TNMHTTP::exchangeOnce() {
    try {
        Connect();
        SendRequest();
        StatusCode = 0;
        ReadResponseHeader();
        readBody();
        reportOutcome();
    } catch (...) {
        try {
            Disconnect();
        } catch (...) {
        }
        throw;
    }
    Disconnect();
}

// With a Content-Length the body is that many bytes, no more, and fewer is a
// failure; without one it runs to the close. A reply to HEAD, a 204 or a 304
// has no body of that length.
void TNMHTTP::readBody() {
    const bool bodyOfItsLength = CurrentCmd != CmdHEAD && StatusCode != 204 && StatusCode != 304;
    const std::int64_t announced = bodyOfItsLength ? reply_.announcedLength : -1;
    if (InputFileMode) {
        CaptureFile(Body, announced);
    } else {
        if (announced > kMostBodyBytes) throw bodyTooLong();
        // One byte past the bound tells a body that ended there from one that went on.
        CaptureString(Body, announced >= 0 ? announced : kMostBodyBytes + 1);
        if (static_cast<std::int64_t>(Body.size()) > kMostBodyBytes) throw bodyTooLong();
    }
    if (BytesReceived < announced) {
        throw clientFailure(Failure::BodyShort, {std::to_string(BytesReceived), std::to_string(announced)});
    }
}

void TNMHTTP::reportOutcome() {
    if (StatusCode < 299) {
        if (OnSuccess) OnSuccess(CurrentCmd);
        ReportStatus(kReportTransaction, "Transaction Completed");
    } else if (StatusCode >= 400) {
        if (OnFailure) OnFailure(CurrentCmd);
    } else if (StatusCode >= 300 && StatusCode <= 302) {
        CurrentUrl = RedirectLocation;
    }
}

// A cookie set by a redirect reply goes with the requests that follow it.
void TNMHTTP::takeRedirectCookie() {
    if (ReceivedCookie.empty()) return;
    HeaderInfo.Cookie = ReceivedCookie;
    takenCookie_ = ReceivedCookie;
    takenCookieOrigin_ = origin();
}

// Whether the exchange goes on at the address the reply names; CurrentUrl is then that address.
bool TNMHTTP::redirectFollows(int redirects) {
    if (StatusCode >= 300 && StatusCode <= 398) {
        takeRedirectCookie();
        bool handled = false;
        if (OnRedirect) OnRedirect(handled);
        if (handled) return false;
    }
    if (StatusCode == 401 && OnAuthenticationNeeded) OnAuthenticationNeeded(this);
    // Only these redirect; any other reply, 299 and 303 to 399 among them, ends the exchange.
    if (StatusCode < 300 || StatusCode > 302) return false;
    if (redirects + 1 > kMostRedirects)
        throw clientFailure(Failure::TooManyRedirects, {std::to_string(kMostRedirects)});
    // A relative Location stays on this server, port included; only an
    // absolute one names another.
    const std::string target = redirectTarget(requestedAddress(), CurrentUrl);
    checkRedirectServer(target);
    CurrentUrl = target;
    return true;
}

// The caller's say on the server a redirect leads to, read as the next request
// would read it.
void TNMHTTP::checkRedirectServer(const std::string& target) const {
    if (!RedirectAllowed) return;
    const UrlParts next = parseUrlParts(target, Host, Port);
    if (!RedirectAllowed(next.host, next.port, next.secure)) {
        throw clientFailure(Failure::RedirectRefused, {"the Location leads to a server this request does not go to (" +
                                                       next.host + ":" + std::to_string(next.port) + ")"});
    }
}

void TNMHTTP::ParseUrl() {
    const UrlParts parts = parseUrlParts(CurrentUrl, Host, Secure && Port == 0 ? kSecurePort : Port);
    // TLS goes to the server itself: through a proxy it would need a tunnel, which this client does not make.
    if (parts.secure && !Proxy.empty()) throw clientFailure(Failure::SecureNotSupported);
    CurrentUrl = parts.url;
    Host = parts.host;
    Port = parts.port;
    if (parts.schemeNamed) Secure = parts.secure;
    RequestPath = parts.path;
    absoluteUrl_ = parts.absolute;
}

// The server as a Host line names it: its port only when that is not the scheme's.
std::string TNMHTTP::hostAndPort() const {
    const auto port = static_cast<std::uint16_t>(Port);
    return port == (Secure ? kSecurePort : 80) ? Host : Host + ":" + std::to_string(port);
}

std::string TNMHTTP::requestedAddress() const {
    return (Secure ? "https://" : "http://") + hostAndPort() + RequestPath;
}

namespace {
bool isBlank(const std::string& line) { return line == "\n" || line == "\r\n"; }
// A line without its line end is the last one before the connection closed.
bool cutShort(const std::string& line) { return line.empty() || line.back() != '\n'; }
}  // namespace

void TNMHTTP::ReadResponseHeader() {
    reply_ = {};
    ContentLength = 0;
    std::unique_ptr<TOutputFile> headerFile;
    if (OutputFileMode) {
        headerFile = std::make_unique<TOutputFile>(Header);
    } else {
        Header.clear();
    }
    const auto keep = [&](const std::string& line) {
        if (headerFile) {
            headerFile->Write(line);
        } else {
            Header += line;
        }
    };
    std::size_t read = 0;
    try {
        readStatusLine(read, keep);
        readFieldLines(read, keep);
    } catch (...) {
        ContentLength = reply_.contentLength;  // what was read up to the failure
        throw;
    }
    ContentLength = reply_.contentLength;
    if (headerFile) headerFile->Close();
}

// Every line read counts towards the bound, those of interim replies too.
std::string TNMHTTP::readHeadLine(std::size_t& read) {
    std::string line = ReadLn();
    read += line.size();
    if (read > kMostHeaderBytes) throw clientFailure(Failure::HeaderTooLong, {std::to_string(kMostHeaderBytes)});
    return line;
}

// The final reply's status line; an interim reply (1xx) is read and dropped:
// the answer follows it.
void TNMHTTP::readStatusLine(std::size_t& read, const std::function<void(const std::string&)>& keep) {
    for (;;) {
        const std::string status = readHeadLine(read);
        if (status.empty()) throw clientFailure(Failure::NoReply);
        StatusCode = static_cast<std::int16_t>(statusOf(status));
        if (StatusCode >= 200) return keep(status);
        for (std::string line = readHeadLine(read); !isBlank(line); line = readHeadLine(read)) {
            if (cutShort(line)) throw clientFailure(Failure::HeaderCutShort);
        }
    }
}

// The header lines up to the blank one, each read for the fields the client acts on.
void TNMHTTP::readFieldLines(std::size_t& read, const std::function<void(const std::string&)>& keep) {
    for (;;) {
        const std::string line = readHeadLine(read);
        if (cutShort(line)) {
            keep(line);
            throw clientFailure(Failure::HeaderCutShort);
        }
        readReplyField(line, reply_);
        keep(line);
        if (isBlank(line)) return;
    }
}

}  // namespace kwirl
