// SPDX-License-Identifier: MIT
#include "text_ops.h"

namespace kwirl {

std::int64_t positionOf(const std::string& sub, const std::string& text) {
    if (sub.empty()) return 0;
    const auto found = text.find(sub);
    return found == std::string::npos ? 0 : static_cast<std::int64_t>(found) + 1;
}

std::string substring(const std::string& text, std::int64_t start, std::int64_t count) {
    const auto length = static_cast<std::int64_t>(text.size());
    if (length < start || count < 1) return {};
    if (start < 1) start = 1;
    const auto available = length - start + 1;
    return text.substr(static_cast<std::size_t>(start - 1),
                       static_cast<std::size_t>(count < available ? count : available));
}

}  // namespace kwirl
