// SPDX-License-Identifier: MIT
// Splitting any address: a clear exception or parts that hold together.

#include <cstdint>
#include <stdexcept>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    split(text);
    return 0;
}
