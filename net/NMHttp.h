// SPDX-License-Identifier: MIT
#pragma once
// TNMHTTP: one HTTP/1.0 exchange per call, on the socket transport. The call
// blocks until the reply has been read (to its Content-Length, or else to the
// server's close), follows redirects, and reports the outcome through events.

#include <cstdint>
#include <functional>
#include <string>

#include "Psock.h"
#include "ex_string_list.h"
#include "reply_lines.h"

namespace kwirl {

// Request codes, in the order of the request operations.
enum CmdType : std::uint8_t {
    CmdGET = 0,
    CmdOPTIONS = 1,
    CmdHEAD = 2,
    CmdPOST = 3,
    CmdPUT = 4,
    CmdPATCH = 5,
    CmdCOPY = 6,
    CmdMOVE = 7,
    CmdDELETE = 8,
    CmdLINK = 9,
    CmdUNLINK = 10,
    CmdTRACE = 11,
    CmdRAW = 12,
};

// Optional request header values.
struct THeaderInfo {
    std::string LocalMailAddress;
    std::string LocalProgram;
    std::string Cookie;
    std::string Referer;
    std::string UserId;
    std::string Password;
};

using TResultEvent = std::function<void(CmdType Cmd)>;
// Whether a redirect may go on to a server: its host and port, as the next
// request would connect to them, and whether over TLS.
using TRedirectCheck = std::function<bool(const std::string& host, int port, bool secure)>;

class TNMHTTP : public TPowersock {
public:
    // A request line beyond this is refused before anything is sent.
    static constexpr std::size_t kMostRequestLine = 65536;
    // Redirects followed by one request at the most.
    static constexpr int kMostRedirects = 20;
    // A reply header beyond this is no HTTP reply: reading it stops there.
    static constexpr std::size_t kMostHeaderBytes = 1 << 20;
    // A reply body kept in memory (not in a file) ends with a failure beyond this.
    static constexpr std::int64_t kMostBodyBytes = std::int64_t{256} << 20;
    // The port of an https address that names none.
    static constexpr int kSecurePort = 443;

    TNMHTTP();
    ~TNMHTTP() override;

    // What a caller sets and reads besides the transport's: where the reply
    // goes, the request's optional header values, and the exchange's events.
    std::string Body = "Default.htm";  // the reply body, or the file that receives it
    std::string Header = "Head.txt";   // the reply header text, or the file that receives it
    THeaderInfo HeaderInfo;
    bool InputFileMode = false;   // the body goes to the file named by Body
    bool OutputFileMode = false;  // the header goes to the file named by Header; SendData names a file
    TNotifyEvent OnAboutToSend;
    TResultEvent OnSuccess;
    TResultEvent OnFailure;
    THandlerEvent OnRedirect;
    TNotifyEvent OnAuthenticationNeeded;
    // Unset, every redirect to http or https is followed (from https, to https
    // only); set, a redirect to a server it
    // refuses ends the call with Failure::RedirectRefused, nothing sent there.
    TRedirectCheck RedirectAllowed;

    // State of the request under way (read by tests and tools).
    TExStringList RequestLines;
    std::string RequestPath;
    std::string CurrentUrl;
    CmdType CurrentCmd = CmdGET;
    std::string SendData;
    std::string LinkValue;
    bool EncodePostData = true;
    // The last reply's Location and Set-Cookie, read in its one set of fields.
    std::string& RedirectLocation = reply_.location;
    std::string& ReceivedCookie = reply_.cookie;
    // Every field of the last reply that the client reads.
    const TReplyFields& ReplyFields() const { return reply_; }

    virtual void RunRequest();
    virtual void ParseUrl();
    virtual void BuildRequestHeader();
    virtual void ReadResponseHeader();
    virtual void SendRequest();
    virtual void Options(const std::string& url);
    virtual void Get(const std::string& url);
    virtual void Post(const std::string& url, const std::string& data);
    virtual void Put(const std::string& url, const std::string& data);
    virtual void Head(const std::string& url);
    virtual void Patch(const std::string& url, const std::string& data);
    virtual void Delete(const std::string& url);
    virtual void Trace(const std::string& url, const std::string& data);
    virtual void Copy(const std::string& url, const std::string& value);
    virtual void Move(const std::string& url, const std::string& value);
    virtual void Link(const std::string& url, const std::string& value);
    virtual void Unlink(const std::string& url, const std::string& value);
    // Sends the header lines and the data without a request line.
    virtual void Raw(const std::string& url, const std::string& data);

    void Abort() override;

private:
    void request(CmdType cmd, const std::string& url);
    std::string origin() const;
    std::string hostAndPort() const;
    std::string requestedAddress() const;
    // The request's header, one rule a line, in the order BuildRequestHeader sends them.
    void addRequestLine();
    void addHostLines();
    void addCookieLine();
    void addCredentialsLine();
    void addLinkLine();
    void addContentLengthLine();
    // One exchange's steps, in their order.
    void exchangeOnce();
    std::string readHeadLine(std::size_t& read);
    void readStatusLine(std::size_t& read, const std::function<void(const std::string&)>& keep);
    void readFieldLines(std::size_t& read, const std::function<void(const std::string&)>& keep);
    void readBody();
    void reportOutcome();
    void takeRedirectCookie();
    bool redirectFollows(int redirects);
    void checkRedirectServer(const std::string& target) const;

    // What the header lines of the last reply told: each reply's own, as a
    // reply without a Location has none.
    TReplyFields reply_;
    bool absoluteUrl_ = false;       // CurrentUrl names its scheme and server
    std::string callOrigin_;         // server the call started on: its credentials go nowhere else
    std::string takenCookie_;        // a cookie taken over from a redirect reply
    std::string takenCookieOrigin_;  // ... and the server that set it
};

}  // namespace kwirl
