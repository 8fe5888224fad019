// SPDX-License-Identifier: MIT
#include "url_parts.h"

#include <limits>

#include "ascii.h"
#include "sock_errors.h"

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
// An optional sign and decimal digits, within the range of an int.
int portNumber(const std::string& text) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) digits.remove_prefix(1);
    std::uint64_t value = 0;
    if (!isDecimal(digits, std::numeric_limits<int>::max(), value)) {
        throw clientFailure(Failure::BadPort, {text});
    }
    const int port = static_cast<int>(value);
    return negative ? -port : port;
}
}  // namespace

bool holdsControlCharacter(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7f) return true;
    }
    return false;
}

std::string encodeBlanks(const std::string& text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        if (c == ' ') encoded += "%20";
        else if (c == '\t')
            encoded += "%09";
        else
            encoded += c;
    }
    return encoded;
}

UrlParts parseUrlParts(const std::string& given, const std::string& host, int port) {
    if (given.empty()) throw clientFailure(Failure::EmptyUrl);
    if (holdsControlCharacter(given)) throw clientFailure(Failure::BadAddress);
    // A blank or a tab would split the request line: sent encoded.
    const std::string url = encodeBlanks(given);
    UrlParts parts{url, host, port == 0 ? 80 : port, {}, false};

    // A colon before any "/" ends a scheme ("http:") or a host ("host:8080/"):
    // then the port is the scheme's unless the address names one. A colon in
    // the path ("/list?t=12:30") changes nothing.
    const auto colon = url.find(':');
    const auto slash = url.find('/');
    const bool startsWithScheme = colon != std::string::npos && (slash == std::string::npos || colon < slash);
    if (startsWithScheme) {
        const std::string scheme = lowerAscii(url.substr(0, colon));
        if (scheme == "gopher") parts.port = 70;
        else if (scheme == "ftp")
            parts.port = 21;
        else if (scheme == "https")
            parts.port = 443;
        else
            parts.port = 80;
        parts.schemeNamed = true;
        parts.secure = scheme == "https";
    }

    // The server: after "//" at the start or right after the scheme; or, in an
    // address that starts with neither "/" nor a scheme, its first field.
    std::size_t serverAt = std::string::npos;
    if (url.compare(0, 2, "//") == 0) serverAt = 2;
    else if (startsWithScheme && url.compare(colon + 1, 2, "//") == 0)
        serverAt = colon + 3;
    else if (url.front() != '/')
        serverAt = 0;
    std::string hostPart;
    if (serverAt == std::string::npos) {
        parts.path = url;
    } else {
        const auto pathAt = url.find('/', serverAt);
        hostPart = url.substr(serverAt, pathAt == std::string::npos ? std::string::npos : pathAt - serverAt);
        if (pathAt != std::string::npos) parts.path = url.substr(pathAt);
    }
    parts.absolute = startsWithScheme && serverAt == colon + 3;
    if (const auto hostColon = hostPart.find(':'); hostColon != std::string::npos) {
        parts.port = portNumber(NthField(hostPart, ':', 2));
        hostPart.erase(hostColon);
    }
    if (!hostPart.empty()) parts.host = hostPart;
    if (parts.path.empty()) {
        parts.path = std::string(1, '/');
        parts.url.push_back('/');
    }
    return parts;
}

}  // namespace kwirl
