// SPDX-License-Identifier: MIT
// Resolving any Location against an address: a clear refusal, or an absolute
// http address with nothing in it that could split a request line.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "redirect_target.h"
#include "url_parts.h"

namespace {

void resolve(const std::string& location) {
    std::string target;
    try {
        target = kwirl::redirectTarget("http://base.example:8080/dir/page?q=1", location);
    } catch (const std::runtime_error&) {
        return;
    }
    // Always an absolute http address, with nothing in it that could split a request line.
    if (target.rfind("http://", 0) != 0 || kwirl::holdsControlCharacter(target)) __builtin_trap();
    if (target.find_first_of(" \t") != std::string::npos) __builtin_trap();
    // It names its server and a port that needs no wrapping round.
    const kwirl::UrlParts parts = kwirl::parseUrlParts(target, "", 0);
    if (!parts.absolute || parts.host.empty() || parts.port < 1 || parts.port > 65535) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    resolve(std::string(reinterpret_cast<const char*>(data), size));
    return 0;
}
