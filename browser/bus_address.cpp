// SPDX-License-Identifier: MIT
#include "bus_address.h"

#include <filesystem>
#include <string_view>

namespace kwirl {

namespace {
constexpr std::string_view kUnixTransport = "unix:";
constexpr std::string_view kPathKey = "path=";

// The parts of `text` between separators.
std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}
}  // namespace

std::vector<std::string> socketPathsOf(const std::string& address) {
    std::vector<std::string> paths;
    for (const std::string_view entry : split(address, ';')) {
        if (!entry.starts_with(kUnixTransport)) continue;
        for (const std::string_view option : split(entry.substr(kUnixTransport.size()), ',')) {
            if (option.starts_with(kPathKey)) paths.emplace_back(option.substr(kPathKey.size()));
        }
    }
    return paths;
}

bool namesAMissingSocket(const std::string& address) {
    for (const std::string& path : socketPathsOf(address)) {
        std::error_code error;
        if (!std::filesystem::exists(path, error)) return true;
    }
    return false;
}

}  // namespace kwirl
