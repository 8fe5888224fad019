// SPDX-License-Identifier: MIT
// TNMHTTP: the request's header, one rule a line, and sending the request.

#include <cerrno>
#include <cstring>
#include <fstream>

#include "NMHttp.h"
#include "encoders.h"

namespace kwirl {

namespace {

const char* requestWord(CmdType cmd) {
    static const char* const words[] = {"GET ",  "OPTIONS ", "HEAD ", "POST ",   "PUT ",   "PATCH ", "COPY ",
                                        "MOVE ", "DELETE ",  "LINK ", "UNLINK ", "TRACE ", ""};
    return words[cmd];
}

bool sendsData(CmdType cmd) {
    return cmd == CmdPOST || cmd == CmdPUT || cmd == CmdPATCH || cmd == CmdTRACE || cmd == CmdRAW || cmd == CmdLINK ||
           cmd == CmdUNLINK;
}

// An optional line: sent only when its value is given.
void setWhenGiven(TExStringList& lines, const std::string& name, const std::string& value) {
    if (!value.empty()) lines.SetHeaderValue(name, value);
}

}  // namespace

void TNMHTTP::BuildRequestHeader() {
    RequestLines.Clear();
    addRequestLine();
    addHostLines();
    RequestLines.Add("Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff");
    RequestLines.Add("Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript");
    setWhenGiven(RequestLines, "User-Agent", HeaderInfo.LocalProgram);
    setWhenGiven(RequestLines, "From", HeaderInfo.LocalMailAddress);
    addCookieLine();
    setWhenGiven(RequestLines, "Referer", HeaderInfo.Referer);
    addCredentialsLine();
    RequestLines.Add("Content-type: application/x-www-form-urlencoded");
    addLinkLine();
    addContentLengthLine();
}

void TNMHTTP::addRequestLine() {
    if (CurrentCmd == CmdRAW) return;
    // A proxy needs the whole address, also when the one asked for was relative.
    const std::string target = !Proxy.empty() ? (absoluteUrl_ ? CurrentUrl : requestedAddress()) : RequestPath;
    const std::string line = std::string(requestWord(CurrentCmd)) + target + " HTTP/1.0";
    // Cut short, it would ask for another page: refused whole instead.
    if (line.size() > kMostRequestLine)
        throw clientFailure(Failure::RequestLineTooLong, {std::to_string(kMostRequestLine)});
    RequestLines.Add(line);
}

// Through a proxy, its own line and the Host line follow the request line.
// The Host line names the port when it is not 80; without a host there is none.
void TNMHTTP::addHostLines() {
    const std::string host = Host.empty() ? std::string() : hostAndPort();
    if (!Proxy.empty()) {
        RequestLines.Add("Proxy-Connection: Keep-Alive");
        RequestLines.Add("Host: " + host);
    }
    RequestLines.SetHeaderValue("Host", host);
}

// A server gets only its own cookie: one taken over from a redirect reply goes
// only to the server that set it, any other only to the server the call began on.
void TNMHTTP::addCookieLine() {
    if (HeaderInfo.Cookie.empty()) return;
    const std::string& setBy = HeaderInfo.Cookie == takenCookie_ ? takenCookieOrigin_ : callOrigin_;
    if (setBy == origin()) RequestLines.SetHeaderValue("Cookie", HeaderInfo.Cookie);
}

// Credentials, both parts given, go only to the server the call began on,
// never to another that a redirect leads to.
void TNMHTTP::addCredentialsLine() {
    if (HeaderInfo.UserId.empty() || HeaderInfo.Password.empty() || callOrigin_ != origin()) return;
    RequestLines.SetHeaderValue("Authorization",
                                "Basic " + base64Encode(HeaderInfo.UserId + ":" + HeaderInfo.Password));
}

void TNMHTTP::addLinkLine() {
    if (CurrentCmd == CmdCOPY || CurrentCmd == CmdMOVE) RequestLines.Add("URI-header: " + LinkValue);
    if (CurrentCmd == CmdLINK || CurrentCmd == CmdUNLINK) RequestLines.Add("Link: " + LinkValue);
}

// The length of the data sent after the header: the file's size when SendData names a file.
void TNMHTTP::addContentLengthLine() {
    if (!sendsData(CurrentCmd)) return;
    std::int64_t length = static_cast<std::int64_t>(SendData.size());
    if (OutputFileMode) {
        std::ifstream file(SendData, std::ios::binary | std::ios::ate);
        if (!file) throw clientFailure(Failure::CannotOpenFile, {SendData, std::strerror(errno)});
        length = static_cast<std::int64_t>(file.tellg());
    }
    RequestLines.Add("Content-Length: " + std::to_string(length));
}

void TNMHTTP::SendRequest() {
    WriteBytes(RequestLines.Text());
    Writeln("");
    if (!sendsData(CurrentCmd)) return;
    if (OutputFileMode) SendFile(SendData);
    else
        WriteBytes(SendData);
}

}  // namespace kwirl
