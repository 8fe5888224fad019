// Splitting any address: a clear exception or parts that hold together.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "url_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string url(reinterpret_cast<const char*>(data), size);
    try {
        const auto parts = kwirl::parseUrlParts(url, "previous.example", 0);
        if (parts.path.empty() || parts.path.size() > url.size() + 1) __builtin_trap();
        if (parts.url.rfind(url, 0) != 0) __builtin_trap();  // the address is kept, at most "/" is added
        if (parts.host.empty()) __builtin_trap();
    } catch (const std::invalid_argument&) {
    } catch (const std::runtime_error&) {
    }
    return 0;
}
