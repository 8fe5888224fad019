#pragma once
// Splitting a request address into host, port and path, the way the HTTP
// client does it: by counting "/" and ":" rather than by a URL grammar.

#include <string>

namespace kwirl {

// The n-th field of `text` split at every `c` (fields from 1); empty when there are fewer.
std::string NthField(const std::string& text, char c, int n);
// 1-based position of the n-th `c` in `text`, or its length + 1 when there are fewer.
std::size_t NthPos(const std::string& text, char c, int n);

struct UrlParts {
    std::string url;   // the address, with "/" appended when it had no path
    std::string host;  // unchanged when the address names none
    int port = 0;
    std::string path;
};

// Raises std::runtime_error "Empty URL" or "HTTP Secure Socket is not supported",
// and std::invalid_argument for a port that is no integer.
UrlParts parseUrlParts(const std::string& url, const std::string& host, int port);

}  // namespace kwirl
