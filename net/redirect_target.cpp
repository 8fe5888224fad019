// SPDX-License-Identifier: MIT
#include "redirect_target.h"

#include <cctype>
#include <cstdint>

#include "ascii.h"
#include "sock_errors.h"
#include "url_parts.h"

namespace kwirl {

namespace {

constexpr auto npos = std::string::npos;

// The parts of a reference (RFC 3986, appendix B), without its fragment.
struct Reference {
    std::string scheme, authority, path, query;
    bool hasScheme = false, hasAuthority = false, hasQuery = false;
};

Reference split(const std::string& text) {
    Reference r;
    std::size_t at = 0;
    const auto colon = text.find(':');
    const auto delimiter = text.find_first_of("/?#");
    if (colon != npos && (delimiter == npos || colon < delimiter)) {
        r.scheme = text.substr(0, colon);
        r.hasScheme = true;
        at = colon + 1;
    }
    if (text.compare(at, 2, "//") == 0) {
        const auto end = text.find_first_of("/?#", at + 2);
        r.authority = text.substr(at + 2, end == npos ? npos : end - at - 2);
        r.hasAuthority = true;
        at = end == npos ? text.size() : end;
    }
    auto end = text.find_first_of("?#", at);
    r.path = text.substr(at, end == npos ? npos : end - at);
    at = end == npos ? text.size() : end;
    if (at < text.size() && text[at] == '?') {
        end = text.find('#', at);
        r.query = text.substr(at + 1, end == npos ? npos : end - at - 1);
        r.hasQuery = true;
    }
    return r;
}

bool validScheme(const std::string& scheme) {
    if (scheme.empty() || !std::isalpha(static_cast<unsigned char>(scheme[0]))) return false;
    for (const char c : scheme) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

// Section 5.2.4: "." and ".." segments taken out of a path.
std::string removeDotSegments(std::string in) {
    std::string out;
    const auto dropLastSegment = [&out] {
        const auto slash = out.rfind('/');
        out.erase(slash == npos ? 0 : slash);
    };
    while (!in.empty()) {
        if (in.compare(0, 3, "../") == 0) in.erase(0, 3);
        else if (in.compare(0, 2, "./") == 0)
            in.erase(0, 2);
        else if (in.compare(0, 3, "/./") == 0)
            in.erase(0, 2);
        else if (in == "/.")
            in = "/";
        else if (in.compare(0, 4, "/../") == 0)
            in.erase(0, 3), dropLastSegment();
        else if (in == "/..")
            in = "/", dropLastSegment();
        else if (in == "." || in == "..")
            in.clear();
        else {
            const auto end = in.find('/', in[0] == '/' ? 1 : 0);
            out += in.substr(0, end);
            in.erase(0, end);
        }
    }
    return out;
}

// Section 5.2.3: a relative path taken in the folder of the base's path.
std::string merge(const Reference& base, const std::string& path) {
    if (base.hasAuthority && base.path.empty()) return "/" + path;
    const auto slash = base.path.rfind('/');
    return (slash == npos ? std::string() : base.path.substr(0, slash + 1)) + path;
}

[[noreturn]] void refuse(const std::string& why) { throw clientFailure(Failure::RedirectRefused, {why}); }

// A server a Location names: a host, then a port from 1 to 65535 if any (an
// empty one is the scheme's own and is dropped). A larger number would wrap
// round to another port. Empty when it names no server. The port is what
// follows the first colon, as the address is read when it is requested.
std::string checkedServer(const std::string& authority) {
    const auto colon = authority.find(':');
    if (colon == 0) return {};
    if (colon == npos || colon + 1 == authority.size()) return authority.substr(0, colon);
    std::uint64_t port = 0;
    if (!isDecimal(std::string_view(authority).substr(colon + 1), 65535, port) || port == 0) return {};
    return authority;
}

}  // namespace

std::string redirectTarget(const std::string& requested, const std::string& location) {
    const auto first = location.find_first_not_of(" \t");
    const std::string trimmed =
        first == npos ? std::string() : location.substr(first, location.find_last_not_of(" \t") - first + 1);
    if (holdsControlCharacter(trimmed)) refuse("the Location holds a control character");

    const Reference base = split(requested);
    const std::string baseScheme = lowerAscii(base.scheme) == "https" ? "https" : "http";
    if (trimmed.empty()) return baseScheme + "://" + base.authority + "/";  // no Location: the server's root

    const Reference reference = split(encodeBlanks(trimmed));
    if (reference.hasScheme && !validScheme(reference.scheme)) refuse("the Location is no valid address");
    const std::string scheme = reference.hasScheme ? lowerAscii(reference.scheme) : baseScheme;
    if (scheme != "http" && scheme != "https") {
        refuse("only http: and https: addresses are followed, not " + scheme + ":");
    }
    // What went over TLS never goes on in clear text.
    if (baseScheme == "https" && scheme == "http") refuse("an https: address is never followed to http:");

    // Section 5.2.2.
    Reference target;
    if (reference.hasScheme || reference.hasAuthority) {
        target = reference;
        target.authority = checkedServer(reference.authority);
        target.path = removeDotSegments(reference.path);
    } else {
        target.authority = base.authority;
        if (reference.path.empty()) {
            target.path = base.path;
            target.query = reference.hasQuery ? reference.query : base.query;
            target.hasQuery = reference.hasQuery || base.hasQuery;
        } else {
            target.path = removeDotSegments(reference.path[0] == '/' ? reference.path : merge(base, reference.path));
            target.query = reference.query;
            target.hasQuery = reference.hasQuery;
        }
    }
    if (target.authority.empty()) refuse("the Location is no valid address");
    // An address without a path means the server's root; written out, the
    // query cannot be taken for part of the server.
    if (target.path.empty()) target.path = "/";
    return scheme + "://" + target.authority + target.path + (target.hasQuery ? "?" + target.query : "");
}

}  // namespace kwirl
