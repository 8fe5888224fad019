// SPDX-License-Identifier: MIT
// Resolving any Location against an address: a clear refusal, or an absolute
// http or https address with nothing in it that could split a request line,
// and never a clear-text one after TLS.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "redirect_target.h"
#include "url_parts.h"

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

void resolve(const std::string& requested, const std::string& location) {
    std::string target;
    try {
        target = kwirl::redirectTarget(requested, location);
    } catch (const std::runtime_error&) {
        return;
    }
    // Always an absolute http or https address, https once the request was,
    // with nothing in it that could split a request line.
    const bool secure = startsWith(target, "https://");
    if (!secure && !startsWith(target, "http://")) __builtin_trap();
    if (startsWith(requested, "https://") && !secure) __builtin_trap();
    if (kwirl::holdsControlCharacter(target)) __builtin_trap();
    if (target.find_first_of(" \t") != std::string::npos) __builtin_trap();
    // It names its server and a port that needs no wrapping round.
    const kwirl::UrlParts parts = kwirl::parseUrlParts(target, "", 0);
    if (!parts.absolute || parts.host.empty() || parts.port < 1 || parts.port > 65535) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string location(reinterpret_cast<const char*>(data), size);
    resolve("http://base.example:8080/dir/page?q=1", location);
    resolve("https://base.example/dir/page?q=1", location);
    return 0;
}
