// SPDX-License-Identifier: MIT
#include "address_classes.h"

#include "address_vocabulary.h"
#include "text_ops.h"

namespace kwirl {

namespace {
bool has(const std::string& address, std::string_view token) { return holds(address, std::string(token)); }
bool isLibraryAddress(const std::string& address) {
    return has(address, vocab::kPuzzleToken) || has(address, vocab::kPazzleToken);
}
}  // namespace

bool isGameAddress(const std::string& address) {
    return has(address, vocab::kGameToken) && has(address, vocab::kLevelToken);
}

bool isPagedListAddress(const std::string& address) {
    return isLibraryAddress(address) && !has(address, vocab::kGameToken) && !has(address, vocab::kLevelToken) &&
           has(address, vocab::kOffsetToken);
}

bool isWidePagedListAddress(const std::string& address) {
    return has(address, vocab::kListViewToken) || has(address, vocab::kPagedViewToken) || isPagedListAddress(address);
}

bool isNeutralAddress(const std::string& address) {
    return !isLibraryAddress(address) && !has(address, vocab::kGameToken);
}

}  // namespace kwirl
