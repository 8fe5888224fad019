// SPDX-License-Identifier: MIT
#pragma once
// The window's handlers never let a failure reach the user: work that may
// fail runs inside a guard that drops every exception silently.

namespace kwirl {

template <class Work>
void swallowFailures(Work&& work) noexcept {
    try {
        work();
    } catch (...) {
    }
}

}  // namespace kwirl
