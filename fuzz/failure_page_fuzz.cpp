// SPDX-License-Identifier: MIT
// The client's own failure page for any address and any message of the
// engine: what it shows is text, never markup or script of its own.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "error_pages.h"

namespace {

// The characters that open or close markup or a quoted value.
std::size_t markup(const std::string& page) {
    return static_cast<std::size_t>(
        std::count_if(page.begin(), page.end(), [](char c) { return c == '<' || c == '>' || c == '"' || c == '\''; }));
}

}  // namespace

// The input is an address, a line end, and the engine's message.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\n');
    const std::string address(input.substr(0, split));
    const std::string detail(split == std::string_view::npos ? std::string_view() : input.substr(split + 1));
    for (const auto kind : {kwirl::PageKind::NoConnection, kwirl::PageKind::CannotShow, kwirl::PageKind::Crashed}) {
        const std::string page = kwirl::ownPageHtml(kind, address, detail, true);
        // As much markup as the page has for a plain address: the text added none.
        if (markup(page) != markup(kwirl::ownPageHtml(kind, "x", detail.empty() ? "" : "y", true))) __builtin_trap();
    }
    return 0;
}
