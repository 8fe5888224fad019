// SPDX-License-Identifier: MIT
#pragma once
// Splitting a request address into host, port and path, the way the HTTP
// client does it: a scheme or a host with its port changes the port, "//"
// after the scheme (or at the start) introduces the server, the rest is the path.

#include <string>

namespace kwirl {

// The n-th field of `text` split at every `c` (fields from 1); empty when there are fewer.
std::string NthField(const std::string& text, char c, int n);
// 1-based position of the n-th `c` in `text`, or its length + 1 when there are fewer.
std::size_t NthPos(const std::string& text, char c, int n);

// True when `text` holds a byte below 32 other than a tab, or 127: such a byte
// in an address or a header value could end a request line early.
bool holdsControlCharacter(const std::string& text);
// `text` with every blank written "%20" and every tab "%09".
std::string encodeBlanks(const std::string& text);

struct UrlParts {
    std::string url;   // the address, blanks encoded, with "/" appended when it had no path
    std::string host;  // unchanged when the address names none
    int port = 0;      // unchanged when the address names neither a scheme nor a server's port
    std::string path;
    bool absolute = false;     // the address names its scheme and server: "scheme://server/path"
    bool schemeNamed = false;  // the address starts with a scheme ...
    bool secure = false;       // ... and it is https
};

// Raises ESockError Failure::EmptyUrl, Failure::BadAddress (a control character),
// or Failure::BadPort for a port that is no integer.
UrlParts parseUrlParts(const std::string& url, const std::string& host, int port);

}  // namespace kwirl
