#include "url_parts.h"

#include <cctype>
#include <limits>
#include <stdexcept>

namespace kwirl {

std::string NthField(const std::string& text, char c, int n) {
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const auto next = text.find(c, start);
        if (next == std::string::npos) return {};
        start = next + 1;
    }
    const auto end = text.find(c, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::size_t NthPos(const std::string& text, char c, int n) {
    std::size_t from = 0;
    for (int found = 0; found < n; ++found) {
        const auto at = text.find(c, from);
        if (at == std::string::npos) return text.size() + 1;
        if (found + 1 == n) return at + 1;
        from = at + 1;
    }
    return text.size() + 1;
}

namespace {
int portNumber(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) throw std::invalid_argument("'" + text + "' is not a valid integer value");
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i])) || value > std::numeric_limits<int>::max())
            throw std::invalid_argument("'" + text + "' is not a valid integer value");
        value = value * 10 + (text[i] - '0');
    }
    if (value > std::numeric_limits<int>::max()) throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return static_cast<int>(negative ? -value : value);
}

std::string lowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}
}  // namespace

UrlParts parseUrlParts(const std::string& url, const std::string& host, int port) {
    if (url.empty()) throw std::runtime_error("Empty URL");
    UrlParts parts{url, host, port == 0 ? 80 : port, {}};
    const bool hasAuthority = url.find("//") != std::string::npos;
    if (hasAuthority) {
        const auto start = NthPos(url, '/', 3);
        if (start <= url.size()) parts.path = url.substr(start - 1);
    } else if (const auto slash = url.find('/'); slash != std::string::npos) {
        parts.path = url.substr(slash);
    }
    if (url.find(':') != std::string::npos) {
        const std::string scheme = lowerAscii(NthField(url, ':', 1));
        if (scheme == "gopher") parts.port = 70;
        else if (scheme == "ftp") parts.port = 21;
        else if (scheme == "https") throw std::runtime_error("HTTP Secure Socket is not supported");
        else parts.port = 80;
    }
    std::string hostPart;
    if (hasAuthority) hostPart = NthField(url, '/', 3);
    else if (url.front() != '/') hostPart = NthField(url, '/', 1);
    if (const auto colon = hostPart.find(':'); colon != std::string::npos) {
        parts.port = portNumber(NthField(hostPart, ':', 2));
        hostPart.erase(colon);
    }
    if (!hostPart.empty()) parts.host = hostPart;
    if (parts.path.empty()) {
        parts.path = std::string(1, '/');
        parts.url.push_back('/');
    }
    return parts;
}

}  // namespace kwirl
