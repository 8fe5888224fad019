// SPDX-License-Identifier: MIT
#pragma once
// The window's handlers never let a failure reach the user: work that may
// fail runs inside a guard that drops every exception. Each one dropped leaves
// a line in GLib's debug log, domain "kwirl" (shown with G_MESSAGES_DEBUG=kwirl):
// what was being done, and the failure's message.

namespace kwirl {

// Logs the exception being handled as dropped while doing `label`. Call only
// inside a catch block.
void logSwallowedFailure(const char* label) noexcept;

// `label` says what `work` does, in a few words ("opening a fixed page").
template <class Work>
void swallowFailures(const char* label, Work&& work) noexcept {
    try {
        work();
    } catch (...) {
        logSwallowedFailure(label);
    }
}

}  // namespace kwirl
