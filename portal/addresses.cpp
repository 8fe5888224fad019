// SPDX-License-Identifier: MIT
#include "addresses.h"

#include "address_vocabulary.h"
#include "portal_host.h"
#include "text_ops.h"

namespace kwirl {

std::string baseAddress() { return portalSchemePrefix() + portalHost() + std::string(vocab::kScript); }

std::string pageAddress(std::string_view pageName) {
    return baseAddress() + "?" + std::string(vocab::kNameKey) + "=" + std::string(pageName);
}

std::string startPageAddress() { return pageAddress(vocab::kPuzzle1); }

std::string catalogueAddress() {
    return portalSchemePrefix() + portalDomain() + std::string(vocab::kScript) + "?" + std::string(vocab::kNameKey) +
           "=" + std::string(vocab::kServstop);
}

std::string appendParameter(const std::string& address, std::string_view key, const std::string& value) {
    return address + std::string(vocab::kSeparator) + std::string(key) + "=" + value;
}

std::string offsetOfPage(std::int32_t pageIndex) {
    // 64-bit so that a page far past the end gives its true offset (which the
    // navigation filter then refuses) rather than an overflowed one.
    return std::to_string(static_cast<std::int64_t>(pageIndex) * vocab::kEntriesPerPage);
}

std::string appendPageOffset(const std::string& address, std::int32_t pageIndex) {
    return appendParameter(address, vocab::kOffsetKey, offsetOfPage(pageIndex));
}

std::string withFirstPageOffset(const std::string& address) {
    const bool listView =
        holds(address, std::string(vocab::kListViewToken)) || holds(address, std::string(vocab::kPagedViewToken));
    if (!listView || holds(address, std::string(vocab::kOffsetToken))) return address;
    return appendPageOffset(address, 0);
}

}  // namespace kwirl
