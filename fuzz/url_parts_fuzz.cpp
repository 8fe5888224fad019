// SPDX-License-Identifier: MIT
// Splitting any address, and resolving any Location against an address: a
// clear exception or parts that hold together.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "redirect_target.h"
#include "url_parts.h"

namespace {

void split(const std::string& url) {
    try {
        const auto parts = kwirl::parseUrlParts(url, "previous.example", 0);
        const std::string encoded = kwirl::encodeBlanks(url);
        if (parts.path.empty() || parts.path.size() > encoded.size() + 1) __builtin_trap();
        if (parts.url.rfind(encoded, 0) != 0) __builtin_trap();  // the address is kept, at most "/" is added
        if (parts.host.empty()) __builtin_trap();
        if (parts.url.find_first_of(" \t") != std::string::npos) __builtin_trap();
    } catch (const std::invalid_argument&) {
    } catch (const std::runtime_error&) {
    }
}

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
    try {
        if (!kwirl::parseUrlParts(target, "previous.example", 0).absolute) __builtin_trap();
    } catch (const std::invalid_argument&) {  // a port that is no number
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    split(text);
    resolve(text);
    return 0;
}
